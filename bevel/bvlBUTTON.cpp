// SPDX-License-Identifier: GPL-3.0-or-later
#include "bevel/bvlBUTTON.h"

#include "bevel/mdlSHPCLR.h"
#include "platform/ui/InputCodes.h"
#include "platform/ui/Timer.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace bevel
{

using namespace mdlSHPCLR;

namespace
{

// Keys under which the properties are stored, in the order they are read and written.
namespace key
{
const QString AccessKeys = QStringLiteral("AccessKeys");
const QString Appearance = QStringLiteral("Appearance");
const QString BackColour = QStringLiteral("BackColour");
const QString Behaviour = QStringLiteral("Behaviour");
const QString BevelAutoAdjust = QStringLiteral("BevelAutoAdjust");
const QString BevelHeight = QStringLiteral("BevelHeight");
const QString Caption = QStringLiteral("Caption");
const QString CaptionJustify = QStringLiteral("CaptionJustify");
const QString CaptionColour = QStringLiteral("CaptionColour");
const QString CaptionHoverColour = QStringLiteral("CaptionHoverColour");
const QString CaptionOffset = QStringLiteral("CaptionOffset");
const QString Enabled = QStringLiteral("Enabled");
const QString Font = QStringLiteral("Font");
const QString MouseKeys = QStringLiteral("MouseKeys");
const QString Picture = QStringLiteral("Picture");
const QString PictureJustify = QStringLiteral("PictureJustify");
const QString PictureHover = QStringLiteral("PictureHover");
const QString PictureOffset = QStringLiteral("PictureOffset");
const QString Transparency = QStringLiteral("Transparency");
const QString UseTransparency = QStringLiteral("UseTransparency");
const QString Value = QStringLiteral("Value");
const QString MouseIcon = QStringLiteral("MouseIcon");
const QString MousePointer = QStringLiteral("MousePointer");
} // namespace key

constexpr std::uint32_t DefaultBackColour = 0x8000000Fu;
constexpr std::uint32_t DefaultCaptionColour = 0x80000008u;
constexpr std::uint32_t DefaultCaptionHoverColour = 0x8000000Eu;
constexpr std::uint32_t DefaultTransparency = 0xC0C0C0u;
const QString DefaultOffset = QStringLiteral("(0,0)");

template <typename T> T ReadInRange(const ui::PropertyBag &bag, const QString &name, T defaultValue)
{
    const int stored = bag.ReadProperty<int>(name, int(defaultValue));
    if (stored < int(std::numeric_limits<T>::min()) || stored > int(std::numeric_limits<T>::max()))
        return defaultValue;
    return T(stored);
}

// An image with an alpha channel is laid over the transparent colour, so its see-through parts
// are masked out like the transparent colour of a plain bitmap.
QImage OverTransparentColour(const QImage &image, gdi::Colour transparent)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(gdi::ToQRgb(transparent));
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

} // namespace

bvlBUTTON::bvlBUTTON(QWidget *parent) : UserControl(parent), tmrRCB_(new ui::Timer(this))
{
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
    if (behaviour_ == PushButton || value == value_)
        return;
    value_ = value;
    if (value) {
        if (behaviour_ == OptionButton)
            ResetOptionGroup();
        state_ |= Pressed;
        if (!pressInProgress_)
            Q_EMIT Click();
    } else {
        state_ &= ~Pressed;
        // An option button switched off by its group stays silent.
        if (behaviour_ == ToggleButton && !pressInProgress_)
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
        if (button->Behaviour() == OptionButton && button->Value())
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
        switch (behaviour_) {
        case PushButton:
            state_ = Hover;
            break;
        case ToggleButton:
            if (value_) {
                SetValue(false);
                state_ = Hover;
            } else {
                SetValue(true);
            }
            break;
        case OptionButton:
            if (!value_)
                SetValue(true);
            break;
        default:
            break;
        }
        Q_EMIT MouseUp(ui::MouseButtonCode(event->button()), ui::ShiftCode(event->modifiers()),
                       float(event->position().x()), float(event->position().y()));
    } else {
        state_ = (behaviour_ != PushButton && value_) ? Pressed : 0;
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

void bvlBUTTON::InitProperties()
{
    reading_ = true;
    caption_ = OwnName();
    UserControl::SetFont(Ambient().Font);
    reading_ = false;
    ResizeWork();
}

void bvlBUTTON::ReadProperties(const ui::PropertyBag &bag)
{
    reading_ = true;
    UserControl::SetAccessKeys(bag.ReadProperty(key::AccessKeys, ""));
    appearance_ = bag.ReadProperty<int>(key::Appearance, 2);
    backColour_ = bag.ReadProperty<std::uint32_t>(key::BackColour, DefaultBackColour);
    behaviour_ = ReadInRange<std::uint8_t>(bag, key::Behaviour, PushButton);
    bevelAutoAdjust_ = bag.ReadProperty<bool>(key::BevelAutoAdjust, true);
    bevelHeight_ = ReadInRange<std::int16_t>(bag, key::BevelHeight, 0);
    caption_ = bag.ReadProperty<QString>(key::Caption, OwnName());
    captionJustify_ = bag.ReadProperty<int>(key::CaptionJustify, 4);
    captionColour_ = bag.ReadProperty<std::uint32_t>(key::CaptionColour, DefaultCaptionColour);
    captionHoverColour_ = bag.ReadProperty<std::uint32_t>(key::CaptionHoverColour, DefaultCaptionHoverColour);
    captionOffset_ = bag.ReadProperty<QString>(key::CaptionOffset, DefaultOffset);
    enabled_ = bag.ReadProperty<bool>(key::Enabled, true);
    state_ = enabled_ ? (state_ & ~Disabled) : (state_ | Disabled);
    SetFont(bag.ReadProperty<ui::StdFont>(key::Font, Ambient().Font));
    mouseKeys_ = bag.ReadProperty<int>(key::MouseKeys, 1);
    SetPicture(bag.ReadProperty<ui::Picture>(key::Picture, ui::Picture()));
    pictureJustify_ = bag.ReadProperty<int>(key::PictureJustify, 4);
    SetPictureHover(bag.ReadProperty<ui::Picture>(key::PictureHover, ui::Picture()));
    pictureOffset_ = bag.ReadProperty<QString>(key::PictureOffset, DefaultOffset);
    transparency_ = bag.ReadProperty<std::uint32_t>(key::Transparency, DefaultTransparency);
    useTransparency_ = bag.ReadProperty<bool>(key::UseTransparency, true);
    value_ = bag.ReadProperty<bool>(key::Value, false);
    SetMouseIcon(bag.ReadProperty<ui::Picture>(key::MouseIcon, ui::Picture()));
    SetMousePointer(ReadInRange<std::int16_t>(bag, key::MousePointer, 0));

    // A malformed offset keeps its text (so saving loses nothing) but places nothing off centre.
    const bool report = ReportsAtDesignTime();
    if (!ParseCartesian(captionOffset_, captionX_, captionY_, report))
        captionX_ = captionY_ = 0;
    if (!ParseCartesian(pictureOffset_, pictureX_, pictureY_, report))
        pictureX_ = pictureY_ = 0;
    reading_ = false;

    if ((behaviour_ == ToggleButton || behaviour_ == OptionButton) && value_) {
        state_ |= Pressed;
        DrawState(true);
    }
    // Everything skipped while reading (faces, pictures, layout) is built now for the size the
    // control already has.
    ResizeWork();
}

void bvlBUTTON::WriteProperties(ui::PropertyBag &bag) const
{
    bag.WriteProperty(key::AccessKeys, UserControl::AccessKeys(), QString());
    bag.WriteProperty(key::Appearance, int(appearance_), 2);
    bag.WriteProperty(key::BackColour, backColour_, DefaultBackColour);
    bag.WriteProperty(key::Behaviour, int(behaviour_), int(PushButton));
    bag.WriteProperty(key::BevelAutoAdjust, bevelAutoAdjust_, true);
    bag.WriteProperty(key::BevelHeight, int(bevelHeight_), 0);
    bag.WriteProperty(key::Caption, caption_, OwnName());
    bag.WriteProperty(key::CaptionJustify, int(captionJustify_), 4);
    bag.WriteProperty(key::CaptionColour, captionColour_, DefaultCaptionColour);
    bag.WriteProperty(key::CaptionHoverColour, captionHoverColour_, DefaultCaptionHoverColour);
    bag.WriteProperty(key::CaptionOffset, captionOffset_, DefaultOffset);
    bag.WriteProperty(key::Enabled, enabled_, true);
    bag.WriteProperty(key::Font, UserControl::Font(), Ambient().Font);
    bag.WriteProperty(key::MouseKeys, int(mouseKeys_), 1);
    bag.WriteProperty(key::Picture, picture_, ui::Picture());
    bag.WriteProperty(key::PictureJustify, int(pictureJustify_), 4);
    bag.WriteProperty(key::PictureHover, pictureHover_, ui::Picture());
    bag.WriteProperty(key::PictureOffset, pictureOffset_, DefaultOffset);
    bag.WriteProperty(key::Transparency, transparency_, DefaultTransparency);
    bag.WriteProperty(key::UseTransparency, useTransparency_, true);
    bag.WriteProperty(key::Value, value_, false);
    bag.WriteProperty(key::MouseIcon, UserControl::MouseIcon(), ui::Picture());
    bag.WriteProperty(key::MousePointer, UserControl::MousePointer(), 0);
}

// ---------------------------------------------------------------------------------------------
// Drawing

void bvlBUTTON::resizeEvent(QResizeEvent *event)
{
    UserControl::resizeEvent(event);
    ResizeWork();
}

void bvlBUTTON::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (surface_.isNull() || reading_)
        painter.fillRect(rect(), gdi::ToQColor(backColour_));
    else
        painter.drawImage(0, 0, surface_);
}

void bvlBUTTON::ResizeWork()
{
    if (resizeBusy_ || terminated_)
        return;
    resizeBusy_ = true;

    int w = int(RoundEven(UserControl::Width() / TwipsPerPixelX()));
    int h = int(RoundEven(UserControl::Height() / TwipsPerPixelY()));
    std::optional<gdi::Region> outline;
    switch (appearance_) {
    case ShapeRectangle:
        outline = gdi::CreateRectRgn(0, 0, w + 1, h + 1);
        break;
    case ShapeCircle: {
        const int s = std::max(w, h);
        if (w != s || h != s)
            resize(s, s);
        w = h = s;
        outline = gdi::CreateEllipticRgn(0, 0, s + 1, s + 1);
        break;
    }
    case ShapeRoundedRectangle: {
        const int r = int(RoundEven(h < w ? h / 2.0 : w / 2.0));
        outline = gdi::CreateRoundRectRgn(0, 0, w + 1, h + 1, r, r);
        break;
    }
    case ShapeCapsule: {
        const int r = h < w ? h : w;
        outline = gdi::CreateRoundRectRgn(0, 0, w + 1, h + 1, r, r);
        break;
    }
    default:
        break; // an unknown outline leaves the present one in place
    }
    if (outline) {
        outline_ = outline;
        if (outline_->IsEmpty())
            clearMask();
        else
            setMask(outline_->ToQRegion());
        update();
    }

    // The face images and the surface take the control's size.
    raised_.bitmap = gdi::Bitmap(std::max(w, 0), std::max(h, 0), 24);
    sunken_.bitmap = gdi::Bitmap(std::max(w, 0), std::max(h, 0), 24);
    if (surface_.size() != QSize(w, h)) {
        surfaceDc_.reset();
        surface_ = (w > 0 && h > 0) ? QImage(w, h, QImage::Format_RGB32) : QImage();
        if (!surface_.isNull()) {
            surface_.fill(gdi::ToQRgb(TranslateColour(backColour_)));
            surfaceDc_ = std::make_unique<gdi::Dc>(&surface_, [this](const QRect &area) { update(area); });
        }
    }
    RebuildBevels();
    resizeBusy_ = false;
}

void bvlBUTTON::RebuildBevels()
{
    if (reading_)
        return;
    if (bevelAutoAdjust_)
        bevelHeight_ = 0;
    // The shader hands back the band region each time; it is not needed beyond the shading.
    ShadeBevel(raised_.bitmap, bevelHeight_, backColour_, appearance_, 2, false);
    ShadeBevel(sunken_.bitmap, bevelHeight_, backColour_, appearance_, 1, true);
    ++bevelBuilds_;
    PreparePictures();
    DrawState(true);
}

void bvlBUTTON::LoadPictureElement(HiddenPicture &element, const ui::Picture &picture)
{
    // A face picture larger than any screen cannot be shown, and its work strip (four copies
    // side by side, prepared pixel by pixel) would take gigabytes and minutes: it is left out.
    constexpr int largest = 4096;
    if (picture.IsNull() || picture.Width() > largest || picture.Height() > largest) {
        element.bitmap = gdi::Bitmap();
        return;
    }
    element.bitmap = gdi::Bitmap(OverTransparentColour(picture.Image(), TranslateColour(transparency_)));
}

void bvlBUTTON::LayoutContent()
{
    const int b = bevelHeight_;
    const int w = ScaleWidth();
    const int h = ScaleHeight();
    captionRect_ = {b + captionX_, b + captionY_, w - b + captionX_ - 1, h - b + captionY_ - 1};
    pictureRect_ = {b + pictureX_, b + pictureY_, w - b + pictureX_ - 1, h - b + pictureY_ - 1};
    PlacePicture(basic_.bitmap, normal_);
    PlacePicture(hoverPicture_.bitmap, hover_);
}

void bvlBUTTON::PlacePicture(const gdi::Bitmap &element, Placement &placement)
{
    if (reading_)
        return;
    if (element.IsNull()) {
        placement = {};
        return;
    }
    placement.width = std::int16_t(element.Width());
    placement.height = std::int16_t(element.Height());
    const gdi::Rect &r = pictureRect_;
    switch (pictureJustify_) {
    case 1:
    case 4:
    case 7:
        placement.x = r.left + int(std::floor((r.right - r.left - placement.width) / 2.0));
        break;
    case 2:
    case 5:
    case 8:
        placement.x = r.right - placement.width;
        break;
    default:
        placement.x = r.left;
        break;
    }
    switch (pictureJustify_) {
    case 3:
    case 4:
    case 5:
        placement.y = r.top + int(std::floor((r.bottom - r.top - placement.height) / 2.0));
        break;
    case 6:
    case 7:
    case 8:
        placement.y = r.bottom - placement.height;
        break;
    default:
        placement.y = r.top;
        break;
    }
}

void bvlBUTTON::PreparePictures()
{
    if (reading_)
        return;
    LoadPictureElement(basic_, picture_);
    LoadPictureElement(hoverPicture_, pictureHover_);
    LayoutContent();
    if (picture_.IsNull() && pictureHover_.IsNull()) {
        work_.bitmap = gdi::Bitmap();
        return;
    }
    const int nw = normal_.width, nh = normal_.height;
    const int hw = hover_.width, hh = hover_.height;
    const gdi::Colour t = TranslateColour(transparency_);
    constexpr gdi::Colour black = 0x000000, white = 0xFFFFFF;

    work_.bitmap = gdi::Bitmap(std::max(4 * nw, 2 * hw), nh + hh, 24);
    gdi::Dc &work = work_.dc;
    if (!picture_.IsNull()) {
        for (int i = 0; i < 4; ++i)
            work.BitBlt(i * nw, 0, nw, nh, &basic_.dc, 0, 0, gdi::SRCCOPY);
        for (int y = 0; y < nh; ++y) {
            for (int x = 0; x < nw; ++x) {
                const gdi::Colour c = basic_.dc.GetPixel(x, y);
                HLS grey = RGBToHLS(c);
                grey.Saturation = 0;
                grey.Luminance = grey.Luminance < 220 ? std::int16_t(grey.Luminance + 20) : std::int16_t(240);
                const gdi::Colour g = HLSToRGB(grey);
                if (c != t) {
                    work.SetPixelV(x, y, black);
                    work.SetPixelV(3 * nw + x, y, g);
                } else {
                    work.SetPixelV(x, y, white);
                    work.SetPixelV(nw + x, y, black);
                    work.SetPixelV(3 * nw + x, y, black);
                }
                work.SetPixelV(2 * nw + x, y, g);
            }
        }
    }
    if (!pictureHover_.IsNull()) {
        work.BitBlt(0, nh, hw, hh, &hoverPicture_.dc, 0, 0, gdi::SRCCOPY);
        work.BitBlt(hw, nh, hw, hh, &hoverPicture_.dc, 0, 0, gdi::SRCCOPY);
        for (int y = 0; y < hh; ++y) {
            for (int x = 0; x < hw; ++x) {
                if (hoverPicture_.dc.GetPixel(x, y) != t) {
                    work.SetPixelV(x, nh + y, black);
                } else {
                    work.SetPixelV(x, nh + y, white);
                    work.SetPixelV(hw + x, nh + y, black);
                }
            }
        }
    }
}

void bvlBUTTON::DrawState(bool force)
{
    if (reading_) {
        lastState_ = -1;
        return;
    }
    if (state_ == lastState_ && !force)
        return;
    if (surfaceDc_) {
        const HiddenPicture &face = (state_ & Pressed) ? sunken_ : raised_;
        surfaceDc_->BitBlt(0, 0, surface_.width(), surface_.height(), &face.dc, 0, 0, gdi::SRCCOPY);
        DrawPicture();
        DrawCaption();
    }
    lastState_ = state_;
}

void bvlBUTTON::DrawPicture()
{
    Placement normal = normal_, hover = hover_;
    if (state_ & Pressed) {
        ++normal.x, ++normal.y;
        ++hover.x, ++hover.y;
    }
    const bool disabled = state_ & Disabled;
    enum { None, Normal, HoverPicture } which = None;
    if ((state_ & Hover) && !disabled)
        which = !pictureHover_.IsNull() ? HoverPicture : (!picture_.IsNull() ? Normal : None);
    else
        which = !picture_.IsNull() ? Normal : None;
    if (which == None)
        return;

    gdi::Dc &dc = *surfaceDc_;
    const int nw = normal_.width, nh = normal_.height;
    const int hw = hover_.width, hh = hover_.height;
    if (useTransparency_) {
        if (which == HoverPicture) {
            dc.BitBlt(hover.x, hover.y, hw, hh, &work_.dc, 0, nh, gdi::SRCAND);
            dc.BitBlt(hover.x, hover.y, hw, hh, &work_.dc, hw, nh, gdi::SRCPAINT);
        } else {
            dc.BitBlt(normal.x, normal.y, nw, nh, &work_.dc, 0, 0, gdi::SRCAND);
            dc.BitBlt(normal.x, normal.y, nw, nh, &work_.dc, disabled ? 3 * nw : nw, 0, gdi::SRCPAINT);
        }
    } else if (which == HoverPicture) {
        dc.BitBlt(hover.x, hover.y, hw, hh, &hoverPicture_.dc, 0, 0, gdi::SRCCOPY);
    } else if (disabled) {
        dc.BitBlt(normal.x, normal.y, nw, nh, &work_.dc, 2 * nw, 0, gdi::SRCCOPY);
    } else {
        dc.BitBlt(normal.x, normal.y, nw, nh, &basic_.dc, 0, 0, gdi::SRCCOPY);
    }
}

void bvlBUTTON::DrawCaption()
{
    using namespace gdi;
    unsigned format = 0;
    switch (captionJustify_) {
    case 0:
        format = DT_LEFT | DT_TOP | DT_SINGLELINE;
        break;
    case 1:
        format = DT_CENTER | DT_TOP | DT_SINGLELINE;
        break;
    case 2:
        format = DT_RIGHT | DT_TOP | DT_SINGLELINE;
        break;
    case 3:
        format = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
        break;
    case 4:
        format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        break;
    case 5:
        format = DT_RIGHT | DT_VCENTER | DT_SINGLELINE;
        break;
    case 6:
        format = DT_LEFT | DT_BOTTOM | DT_SINGLELINE;
        break;
    case 7:
        format = DT_CENTER | DT_BOTTOM | DT_SINGLELINE;
        break;
    case 8:
        format = DT_RIGHT | DT_BOTTOM | DT_SINGLELINE;
        break;
    default:
        format = DT_LEFT | DT_TOP;
        break;
    }

    Colour colour = 0;
    if (state_ & Disabled) {
        // Disabled captions are the face colour, lightened by a fifth.
        HLS hls = RGBToHLS(TranslateColour(backColour_));
        const double lighter = RoundEven(hls.Luminance * 1.2);
        hls.Luminance = lighter < 240.0 ? std::int16_t(lighter) : std::int16_t(240);
        colour = HLSToRGB(hls);
    } else if (state_ & Hover) {
        colour = TranslateColour(captionHoverColour_);
    } else {
        colour = TranslateColour(captionColour_);
    }

    Rect rect = captionRect_;
    if (state_ & Pressed) {
        ++rect.left, ++rect.top, ++rect.right, ++rect.bottom;
    }
    Dc &dc = *surfaceDc_;
    const gdi::Font previous = dc.SelectObject(gdi::Font(font()));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(colour);
    dc.DrawText(caption_, &rect, format);
    dc.SelectObject(previous);
    update();
}

} // namespace bevel
