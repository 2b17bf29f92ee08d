// SPDX-License-Identifier: GPL-3.0-or-later
#include "bevel/bvlBUTTON.h"

#include "bevel/mdlSHPCLR.h"
#include "platform/ui/InputCodes.h"
#include "platform/ui/Timer.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>
#include <limits>

namespace bevel
{

using namespace mdlSHPCLR;

bvlBUTTON::bvlBUTTON(QWidget *parent) : UserControl(parent), tmrRCB_(new ui::Timer(this))
{
    Properties().ApplyDefaults(*this, ui::PropertyTable<bvlBUTTON>::ConstantFields);
    tmrRCB_->SetEnabled(false);
    tmrRCB_->SetInterval(HoverInterval);
    connect(tmrRCB_, &ui::Timer::Tick, this, &bvlBUTTON::tmrRCB_Timer);
    connect(this, &UserControl::AccessKeyPress, this, &bvlBUTTON::UserControl_AccessKeyPress);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

bvlBUTTON::~bvlBUTTON()
{
    terminated_ = true;
    outline_.reset();
}

// ---------------------------------------------------------------------------------------------
// Properties

void bvlBUTTON::Changed(const char *name)
{
    // Values restored from the window definition are not changes.
    if (!reading_)
        Q_EMIT PropertyChanged(QString::fromLatin1(name));
}

QString bvlBUTTON::OwnName() const
{
    return Ambient().DisplayName.isEmpty() ? objectName() : Ambient().DisplayName;
}

bool bvlBUTTON::ReportsAtDesignTime() const
{
    return !Ambient().UserMode;
}

void bvlBUTTON::SetAccessKeys(const QString &keys)
{
    UserControl::SetAccessKeys(keys);
    Changed("AccessKeys");
}

void bvlBUTTON::SetAppearance(std::int32_t appearance)
{
    appearance_ = appearance;
    Changed("Appearance");
    ResizeWork();
}

void bvlBUTTON::SetBackColour(std::uint32_t colour)
{
    backColour_ = colour;
    Changed("BackColour");
    RebuildBevels();
}

void bvlBUTTON::SetBehaviour(std::uint8_t behaviour)
{
    behaviour_ = behaviour;
    Changed("Behaviour");
}

void bvlBUTTON::SetBevelAutoAdjust(bool automatic)
{
    bevelAutoAdjust_ = automatic;
    Changed("BevelAutoAdjust");
    RebuildBevels();
}

void bvlBUTTON::SetBevelHeight(std::int16_t height)
{
    bevelHeight_ = height;
    Changed("BevelHeight");
    RebuildBevels();
}

void bvlBUTTON::SetCaption(const QString &caption)
{
    caption_ = caption;
    Changed("Caption");
    DrawState(true);
}

void bvlBUTTON::SetCaptionColour(std::uint32_t colour)
{
    captionColour_ = colour;
    Changed("CaptionColour");
    DrawState(true);
}

void bvlBUTTON::SetCaptionHoverColour(std::uint32_t colour)
{
    captionHoverColour_ = colour;
    Changed("CaptionHoverColour");
}

void bvlBUTTON::SetCaptionJustify(std::int32_t justify)
{
    captionJustify_ = justify;
    Changed("CaptionJustify");
    LayoutContent();
    DrawState(true);
}

void bvlBUTTON::SetCaptionOffset(const QString &offset)
{
    QString text = offset;
    if (!ParseCartesian(text, captionX_, captionY_, ReportsAtDesignTime()))
        return;
    captionOffset_ = text;
    Changed("CaptionOffset");
    LayoutContent();
    DrawState(true);
}

void bvlBUTTON::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    state_ = enabled ? (state_ & ~Disabled) : (state_ | Disabled);
    Changed("Enabled");
    DrawState(true);
}

void bvlBUTTON::SetFont(const ui::StdFont &font)
{
    UserControl::SetFont(font);
    Changed("Font");
    DrawState(true);
}

void bvlBUTTON::SetMouseIcon(const ui::Picture &icon)
{
    UserControl::SetMouseIcon(icon);
    Changed("MouseIcon");
}

void bvlBUTTON::SetMouseKeys(std::int32_t keys)
{
    mouseKeys_ = keys;
    Changed("MouseKeys");
}

bool bvlBUTTON::SetMousePointer(int pointer)
{
    if (!UserControl::SetMousePointer(pointer))
        return false;
    Changed("MousePointer");
    return true;
}

void bvlBUTTON::SetPicture(const ui::Picture &picture)
{
    picture_ = picture;
    Changed("Picture");
    PreparePictures();
    DrawState(true);
}

void bvlBUTTON::SetPictureHover(const ui::Picture &picture)
{
    pictureHover_ = picture;
    Changed("PictureHover");
    PreparePictures();
}

void bvlBUTTON::SetPictureJustify(std::int32_t justify)
{
    pictureJustify_ = justify;
    Changed("PictureJustify");
    LayoutContent();
    DrawState(true);
}

void bvlBUTTON::SetPictureOffset(const QString &offset)
{
    QString text = offset;
    if (!ParseCartesian(text, pictureX_, pictureY_, ReportsAtDesignTime()))
        return;
    pictureOffset_ = text;
    Changed("PictureOffset");
    LayoutContent();
    DrawState(true);
}

void bvlBUTTON::SetTransparency(std::uint32_t colour)
{
    transparency_ = colour;
    Changed("Transparency");
    PreparePictures();
    DrawState(true);
}

void bvlBUTTON::SetUseTransparency(bool use)
{
    useTransparency_ = use;
    Changed("UseTransparency");
    PreparePictures();
    DrawState(true);
}

void bvlBUTTON::SetValue(bool value)
{
    if (BehaviourCode() == bevel::Behaviour::PushButton || value == value_)
        return;
    value_ = value;
    if (value) {
        if (BehaviourCode() == bevel::Behaviour::OptionButton)
            ResetOptionGroup();
        state_ |= Pressed;
        if (!pressInProgress_)
            Q_EMIT Click();
    } else {
        state_ &= ~Pressed;
        // An option button switched off by its group stays silent.
        if (BehaviourCode() == bevel::Behaviour::ToggleButton && !pressInProgress_)
            Q_EMIT Click();
    }
    DrawState(true);
    Changed("Value");
}

void bvlBUTTON::ResetOptionGroup()
{
    QWidget *host = window();
    const QWidget *container = parentWidget();
    if (!host || !container)
        return;
    // Buttons in containers of the same name form one group. Unnamed containers only group the
    // buttons they hold themselves, or every unnamed frame of a window would be one group.
    auto sameContainer = [container](const QWidget *other) {
        return other == container ||
               (!container->objectName().isEmpty() && other->objectName() == container->objectName());
    };
    for (bvlBUTTON *button : host->findChildren<bvlBUTTON *>()) {
        if (button == this || !button->parentWidget() || !sameContainer(button->parentWidget()))
            continue;
        if (button->BehaviourCode() == bevel::Behaviour::OptionButton && button->Value())
            button->SetValue(false);
    }
}

// ---------------------------------------------------------------------------------------------
// Methods

void bvlBUTTON::Refresh()
{
    ResizeWork();
}

void bvlBUTTON::Flash()
{
    if (!enabled_)
        return;
    state_ = FlashState;
    DrawState(false);
    tmrRCB_->SetEnabled(true);
}

void bvlBUTTON::UserControl_AccessKeyPress(int keyAscii)
{
    Q_UNUSED(keyAscii);
    if (!enabled_)
        return;
    Flash();
    Q_EMIT Click();
}

void bvlBUTTON::tmrRCB_Timer()
{
    if (!IsMouseOver(this)) {
        tmrRCB_->SetEnabled(false);
        if (state_ == FlashState) {
            state_ = 0;
        } else {
            state_ &= ~Hover;
            Q_EMIT MouseExit();
        }
    } else if (state_ == FlashState) {
        state_ = Hover;
        tmrRCB_->SetEnabled(false);
    }
    DrawState(false);
}

// ---------------------------------------------------------------------------------------------
// Input

void bvlBUTTON::mousePressEvent(QMouseEvent *event)
{
    const std::int16_t button = ui::MouseButtonCode(event->button());
    // The platform clicks with the left button, and with any other the host made a pressing one.
    clickButton_ = (event->button() == Qt::LeftButton || (button & mouseKeys_) == button) ? event->button()
                                                                                          : Qt::NoButton;
    if (!enabled_ || (button & mouseKeys_) != button)
        return;
    pressInProgress_ = true;
    state_ = Pressed | Hover;
    DrawState(false);
    Q_EMIT MouseDown(button, ui::ShiftCode(event->modifiers()), float(event->position().x()),
                     float(event->position().y()));
}

void bvlBUTTON::mouseMoveEvent(QMouseEvent *event)
{
    if (!enabled_)
        return;
    state_ = IsMouseOver(this) ? (state_ | Hover) : (state_ & ~Hover);
    DrawState(false);
    if (!tmrRCB_->Enabled())
        tmrRCB_->SetEnabled(true);
    float x = float(event->position().x());
    float y = float(event->position().y());
    if (state_ & Pressed) {
        x -= 2;
        y -= 2;
    }
    Q_EMIT MouseMove(ui::MouseButtonCode(event->buttons()), ui::ShiftCode(event->modifiers()), x, y);
}

void bvlBUTTON::mouseReleaseEvent(QMouseEvent *event)
{
    const bool clicked = event->button() == clickButton_;
    if (clicked)
        clickButton_ = Qt::NoButton;
    if (!enabled_)
        return;
    const bool over = IsMouseOver(this);
    if (over) {
        switch (BehaviourCode()) {
        case bevel::Behaviour::PushButton:
            state_ = Hover;
            break;
        case bevel::Behaviour::ToggleButton:
            if (value_) {
                SetValue(false);
                state_ = Hover;
            } else {
                SetValue(true);
            }
            break;
        case bevel::Behaviour::OptionButton:
            if (!value_)
                SetValue(true);
            break;
        default:
            break; // an unknown behaviour changes nothing on release
        }
        Q_EMIT MouseUp(ui::MouseButtonCode(event->button()), ui::ShiftCode(event->modifiers()),
                       float(event->position().x()), float(event->position().y()));
    } else {
        state_ = (BehaviourCode() != bevel::Behaviour::PushButton && value_) ? Pressed : 0;
    }
    DrawState(false);
    pressInProgress_ = false;
    // The platform's click follows the release over the button of the button that pressed it.
    if (clicked && over && enabled_)
        Q_EMIT Click();
}

void bvlBUTTON::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click is no press of its own and no click either.
    Q_UNUSED(event);
    clickButton_ = Qt::NoButton;
    if (enabled_)
        Q_EMIT DblClick();
}

void bvlBUTTON::keyPressEvent(QKeyEvent *event)
{
    std::int16_t keyCode = ui::VirtualKeyCode(event);
    std::int16_t shift = ui::ShiftCode(event->modifiers());
    Q_EMIT KeyDown(keyCode, shift);
    const QString text = event->text();
    if (!text.isEmpty() &&
        (text.at(0).unicode() >= 0x20 || text.at(0) == QLatin1Char('\r') || text.at(0) == QLatin1Char('\b') ||
         text.at(0) == QLatin1Char('\x1b') || text.at(0) == QLatin1Char('\t'))) {
        std::int16_t keyAscii = std::int16_t(text.at(0).unicode());
        Q_EMIT KeyPress(keyAscii);
    }
    event->accept();
}

void bvlBUTTON::keyReleaseEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return;
    std::int16_t keyCode = ui::VirtualKeyCode(event);
    std::int16_t shift = ui::ShiftCode(event->modifiers());
    Q_EMIT KeyUp(keyCode, shift);
    event->accept();
}

// ---------------------------------------------------------------------------------------------
// Persistence

const ui::PropertyTable<bvlBUTTON> &bvlBUTTON::Properties()
{
    using ui::Accessor;
    using ui::Field;
    using B = bvlBUTTON;
    const QString DefaultOffset = QStringLiteral("(0,0)");
    const auto ownName = [](const B &b) { return b.OwnName(); };
    const auto ambientFont = [](const B &b) { return b.Ambient().Font; };
    static const ui::PropertyTable<B> table{
        Accessor<B, QString>(
            QStringLiteral("AccessKeys"), QString(), [](const B &b) { return b.UserControl::AccessKeys(); },
            [](B &b, const QString &keys) { b.UserControl::SetAccessKeys(keys); }),
        Field(QStringLiteral("Appearance"), &B::appearance_,
              std::int32_t(bevel::Appearance::RoundedRectangle)),
        Field(QStringLiteral("BackColour"), &B::backColour_, std::uint32_t(0x8000000Fu)), // button face
        Field(QStringLiteral("Behaviour"), &B::behaviour_, std::uint8_t(bevel::Behaviour::PushButton)),
        Field(QStringLiteral("BevelAutoAdjust"), &B::bevelAutoAdjust_, true),
        Field(QStringLiteral("BevelHeight"), &B::bevelHeight_, std::int16_t(0)),
        Field(QStringLiteral("Caption"), &B::caption_, ownName),
        Field(QStringLiteral("CaptionJustify"), &B::captionJustify_, std::int32_t(Justify::Centre)),
        Field(QStringLiteral("CaptionColour"), &B::captionColour_, std::uint32_t(0x80000008u)), // window text
        Field(QStringLiteral("CaptionHoverColour"), &B::captionHoverColour_,
              std::uint32_t(0x8000000Eu)), // highlighted text
        Field(QStringLiteral("CaptionOffset"), &B::captionOffset_, DefaultOffset),
        Field(QStringLiteral("Enabled"), &B::enabled_, true),
        Accessor<B, ui::StdFont>(
            QStringLiteral("Font"), ambientFont, [](const B &b) { return b.UserControl::Font(); },
            [](B &b, const ui::StdFont &font) { b.SetFont(font); }),
        Field(QStringLiteral("MouseKeys"), &B::mouseKeys_, std::int32_t(1)), // the left button
        Accessor<B, ui::Picture>(
            QStringLiteral("Picture"), ui::Picture(), [](const B &b) { return b.picture_; },
            [](B &b, const ui::Picture &picture) { b.SetPicture(picture); }),
        Field(QStringLiteral("PictureJustify"), &B::pictureJustify_, std::int32_t(Justify::Centre)),
        Accessor<B, ui::Picture>(
            QStringLiteral("PictureHover"), ui::Picture(), [](const B &b) { return b.pictureHover_; },
            [](B &b, const ui::Picture &picture) { b.SetPictureHover(picture); }),
        Field(QStringLiteral("PictureOffset"), &B::pictureOffset_, DefaultOffset),
        Field(QStringLiteral("Transparency"), &B::transparency_, std::uint32_t(0xC0C0C0u)), // silver
        Field(QStringLiteral("UseTransparency"), &B::useTransparency_, true),
        Field(QStringLiteral("Value"), &B::value_, false),
        Accessor<B, ui::Picture>(
            QStringLiteral("MouseIcon"), ui::Picture(), [](const B &b) { return b.UserControl::MouseIcon(); },
            [](B &b, const ui::Picture &icon) { b.SetMouseIcon(icon); }),
        // Stored as a 16-bit code: anything wider reads as the default pointer.
        Accessor<B, int>(
            QStringLiteral("MousePointer"), 0, [](const B &b) { return b.UserControl::MousePointer(); },
            [](B &b, int pointer) {
                b.SetMousePointer(pointer >= std::numeric_limits<std::int16_t>::min() &&
                                          pointer <= std::numeric_limits<std::int16_t>::max()
                                      ? pointer
                                      : 0);
            }),
    };
    return table;
}

void bvlBUTTON::InitProperties()
{
    // A new button takes its caption from its name and its font from the container.
    {
        const QScopedValueRollback reading(reading_, true);
        Properties().ApplyDefaults(*this, ui::PropertyTable<bvlBUTTON>::DependentDefaults);
    }
    ResizeWork();
}

void bvlBUTTON::ReadProperties(const ui::PropertyBag &bag)
{
    {
        const QScopedValueRollback reading(reading_, true);
        Properties().Read(*this, bag);
        state_ = enabled_ ? (state_ & ~Disabled) : (state_ | Disabled);
        // A malformed offset keeps its text (so saving loses nothing) but places nothing off centre.
        const bool report = ReportsAtDesignTime();
        if (!ParseCartesian(captionOffset_, captionX_, captionY_, report))
            captionX_ = captionY_ = 0;
        if (!ParseCartesian(pictureOffset_, pictureX_, pictureY_, report))
            pictureX_ = pictureY_ = 0;
    }
    if (BehaviourCode() != bevel::Behaviour::PushButton && value_) {
        state_ |= Pressed;
        DrawState(true);
    }
    // Everything skipped while reading (faces, pictures, layout) is built now for the size the
    // control already has.
    ResizeWork();
}

void bvlBUTTON::WriteProperties(ui::PropertyBag &bag) const
{
    Properties().Write(*this, bag);
}

} // namespace bevel
