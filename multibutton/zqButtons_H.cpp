// SPDX-License-Identifier: GPL-3.0-or-later
#include "multibutton/zqButtons_H.h"

#include "multibutton/modZqTimer.h"
#include "multibutton/zqStrings.h"
#include "platform/services/MessageBox.h"
#include "platform/ui/WindowProps.h"

#include <QShortcut>
#include <QShowEvent>

#include <cmath>

namespace multibutton
{

namespace
{

constexpr std::uint32_t ButtonFace = 0x8000000Fu;
constexpr std::uint32_t ButtonText = 0x80000012u;

bool InRange(std::int32_t value, std::int32_t low, std::int32_t high)
{
    return value >= low && value <= high;
}

// The access key of a caption: the character after the last single "&"; "&&" is a literal
// ampersand and never makes a key.
std::optional<QChar> AccessKeyOf(const QString &caption)
{
    std::optional<QChar> key;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (i + 1 >= caption.size())
            break;
        if (caption.at(i + 1) != QLatin1Char('&'))
            key = caption.at(i + 1);
        ++i; // skip the marked character or the second ampersand of a pair
    }
    return key;
}

} // namespace

zqButtons_H::zqButtons_H(QWidget *parent) : UserControl(parent), surfaceDc_(&surface_)
{
    Properties().ApplyDefaults(*this, ui::PropertyTable<zqButtons_H>::ConstantFields);
    backDc_.SelectObject(&backBitmap_);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    connect(this, &UserControl::AccessKeyPress, this, &zqButtons_H::UserControl_AccessKeyPress);
    connect(this, &UserControl::AmbientChanged, this, &zqButtons_H::UserControl_AmbientChanged);
    RefreshResources(QStringLiteral("BackColor"));
    RefreshResources(QStringLiteral("Font"));
}

zqButtons_H::~zqButtons_H()
{
    // Terminate: stop the hover timer by its id and let go of every drawing object.
    if (hovering_)
        modZqTimer::KillTimer(this, HoverTimerId);
    // The group holds plain references: a member that goes away while its container lives on
    // must not stay behind in it.
    if (mode_ == OptionMode)
        OptionToggle(OptionLeave);
    inner1_ = gdi::Region();
    inner2_ = gdi::Region();
    backDc_.SelectClipRgn(nullptr);
    backDc_.SelectObject(static_cast<gdi::Bitmap *>(nullptr));
    custom_ = Prepared();
}

// ---------------------------------------------------------------------------------------------
// Helpers

void zqButtons_H::Changed(const char *name)
{
    if (!reading_)
        Q_EMIT PropertyChanged(QString::fromLatin1(name));
}

void zqButtons_H::DesignMessage(const QString &text)
{
    if (DesignTime())
        services::MessageBox::Current().Show(text, Ambient().DisplayName, services::MB_ICONINFORMATION);
}

void zqButtons_H::RememberContainer()
{
    if (QWidget *container = parentWidget())
        SetTag(QString::number(reinterpret_cast<quintptr>(container)));
}

QWidget *zqButtons_H::Container() const
{
    QWidget *container = parentWidget();
    if (!container)
        return nullptr;
    // The Tag names the container by its handle; only the real parent can match it.
    if (Tag().isEmpty() || Tag() == QString::number(reinterpret_cast<quintptr>(container)))
        return container;
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Properties

void zqButtons_H::SetButtonStyle(std::int32_t style)
{
    if (!InRange(style, 0, 7))
        return;
    const std::int32_t old = buttonStyle_;
    buttonStyle_ = style;
    if (((old == 5 || style == 5) && buttonShape_ < 7) || buttonShape_ < 4)
        BuildButtonRegion();
    LayoutCaption(false);
    RefreshResources(QStringLiteral("BackColor"));
    RedrawButton();
    Changed("BackStyle");
}

void zqButtons_H::SetMode(std::int32_t mode)
{
    if (!InRange(mode, 0, 2))
        return;
    const std::int32_t old = mode_;
    if (old == OptionMode && mode != OptionMode)
        OptionToggle(OptionLeave);
    else if (mode == OptionMode && old != OptionMode)
        OptionToggle(OptionJoin);
    if (mode == CommandMode && old > CommandMode)
        value_ = false;
    mode_ = mode;
    RedrawButton();
    Changed("Mode");
}

void zqButtons_H::SetCaption(const QString &caption)
{
    if (const auto key = AccessKeyOf(caption))
        UserControl::SetAccessKeys(QString(*key));
    caption_ = caption;
    LayoutCaption(false);
    RedrawButton();
    Changed("Caption");
}

void zqButtons_H::SetCaptionAlign(std::int32_t align)
{
    if (!InRange(align, 0, 2))
        return;
    if (!(align == 2 || pictureAlign_ < 4 || !HasPicture())) {
        DesignMessage(strings::CaptionAlignRefused);
        return;
    }
    captionAlign_ = align;
    LayoutCaption(false);
    RedrawButton();
    Changed("CapAlign");
}

void zqButtons_H::SetCaptionStyle(std::int32_t style)
{
    if (!InRange(style, 0, 2))
        return;
    captionStyle_ = style;
    Changed("CapStyle");
    if (!caption_.isEmpty()) {
        LayoutCaption(false);
        RedrawButton();
    }
}

void zqButtons_H::SetCustomClick(std::int32_t direction)
{
    if (!InRange(direction, 0, 8))
        return;
    if (buttonShape_ < 7 && direction > 0)
        DesignMessage(strings::CustomClickNoEffect);
    customClick_ = direction;
    Changed("CustomClick");
}

void zqButtons_H::SetButtonShape(std::int32_t shape)
{
    if (!InRange(shape, 0, 8))
        return;
    if (shape >= 7) {
        if (!HasPicture() || pictureIsIcon_) {
            DesignMessage(strings::PictureFirst);
            return;
        }
        if (PictureSize() != 4) {
            delayDrawing_ = true;
            pictureSizeCode_ = 48;
            Changed("ImgSize");
            delayDrawing_ = false;
        }
    }
    buttonShape_ = shape;
    captionAlign_ = 2;
    // The outline, the layout and the back buffer all follow the shape.
    delayDrawing_ = false;
    UserControl_Resize();
    DelayDrawing(false);
    Changed("Shape");
}

void zqButtons_H::SetPicture(const ui::Picture &picture)
{
    picture_ = picture;
    if (pictureSizeCode_ == 0)
        pictureSizeCode_ = 16;
    RefreshResources(QStringLiteral("Picture"));
    if (buttonShape_ < 7) {
        LayoutCaption(true);
        RedrawButton();
    } else {
        if (picture_.IsNull()) {
            buttonShape_ = 0;
        } else if (pictureIsIcon_) {
            buttonShape_ = 0;
            DesignMessage(strings::IconsNotCustom);
        }
        UserControl_Resize();
    }
    Changed("Image");
}

void zqButtons_H::SetPictureAlign(std::int32_t align)
{
    if (!InRange(align, 0, 5))
        return;
    pictureAlign_ = align;
    if (align >= 4)
        captionAlign_ = 2;
    LayoutCaption(false);
    RedrawButton();
    Changed("ImgAlign");
}

void zqButtons_H::SetEnabled(bool enabled)
{
    if (enabled == UserControl::Enabled())
        return;
    UserControl::SetEnabled(enabled);
    if (buttonStyle_ == 3 && mode_ == CommandMode && buttonShape_ <= 3) {
        // Style 3 trims two corners only while enabled.
        DelayDrawing(true);
        BuildButtonRegion();
        LayoutCaption(false);
        DelayDrawing(false);
    } else {
        RedrawButton();
    }
    Changed("Enabled");
}

void zqButtons_H::SetShowFocusRect(bool show)
{
    showFocusRect_ = show;
    if (flags_ & DefaultFrame) {
        if (!DesignTime()) {
            flags_ &= ~DefaultFrame;
            RedrawButton();
        } else {
            DesignMessage(strings::FocusOnDefault);
        }
    } else {
        RedrawButton();
    }
    Changed("Focus");
}

void zqButtons_H::SetValue(bool value)
{
    if (value && mode_ == CommandMode) {
        DesignMessage(strings::ValueNotApplicable);
        return;
    }
    value_ = value;
    if (value && mode_ == OptionMode)
        OptionToggle(OptionClearOthers);
    RedrawButton();
    Changed("Value");
}

std::int32_t zqButtons_H::PictureSize() const
{
    switch (pictureSizeCode_ == 0 ? 16 : pictureSizeCode_) {
    case 24:
        return 1;
    case 32:
        return 2;
    case 40:
        return 3;
    case 48:
        return 4;
    default:
        return 0;
    }
}

void zqButtons_H::SetPictureSize(std::int32_t size)
{
    if (!InRange(size, 0, 4))
        return;
    if (buttonShape_ >= 7) {
        DesignMessage(strings::PictureSizeShaped);
        return;
    }
    pictureSizeCode_ = (size + 2) * 8;
    LayoutCaption(true);
    RedrawButton();
    Changed("ImgSize");
}

void zqButtons_H::SetMousePointer(int pointer)
{
    if (!UserControl::SetMousePointer(pointer))
        return;
    Changed("mPointer");
}

void zqButtons_H::SetMouseIcon(const ui::Picture &icon)
{
    if (icon.IsNull()) {
        UserControl::SetMouseIcon(icon);
        Changed("mIcon");
        return;
    }
    // A pointer can only be made from an icon or a cursor.
    if (icon.Type() != ui::Picture::Icon) {
        if (DesignTime())
            services::MessageBox::Current().Show(strings::MouseIconInvalid, strings::MouseIconTitle,
                                                 services::MB_ICONINFORMATION);
        return;
    }
    UserControl::SetMouseIcon(icon);
    UserControl::SetMousePointer(ui::vbCustom);
    Changed("mIcon");
}

void zqButtons_H::SetFont(const ui::StdFont &font)
{
    UserControl::SetFont(font);
    RefreshResources(QStringLiteral("Font"));
    LayoutCaption(false);
    RedrawButton();
    Changed("Font");
}

int zqButtons_H::FontStyle() const
{
    const ui::StdFont &f = UserControl::Font();
    return (f.Bold ? 2 : 0) + (f.Italic ? 4 : 0) + (f.Underline ? 8 : 0);
}

void zqButtons_H::SetFontStyle(int style)
{
    ui::StdFont f = UserControl::Font();
    f.Bold = (style & 2) != 0;
    f.Italic = (style & 4) != 0;
    f.Underline = (style & 8) != 0;
    UserControl::SetFont(f);
    RefreshResources(QStringLiteral("Font"));
    LayoutCaption(false);
    Changed("Font");
    RedrawButton();
}

void zqButtons_H::SetForeColor(std::uint32_t colour)
{
    if (colour == UserControl::ForeColor())
        return;
    UserControl::SetForeColor(colour);
    if (hoverColorLocks_ == 0 || hoverColorLocks_ == 1)
        hoverForeColor_ = colour;
    RefreshResources(QStringLiteral("BackColor"));
    delayDrawing_ = false;
    RedrawButton();
    Changed("cFore");
}

void zqButtons_H::SetBackColor(std::uint32_t colour)
{
    backColor_ = colour;
    if (hoverColorLocks_ == 0 || hoverColorLocks_ == 2)
        hoverBackColor_ = gradientMode_ != 0 ? gradientColor_ : colour;
    RefreshResources(QStringLiteral("BackColor"));
    RedrawButton();
    Changed("cBack");
}

void zqButtons_H::SetGradientColor(std::uint32_t colour)
{
    if ((hoverColorLocks_ == 0 || hoverColorLocks_ == 2) && gradientMode_ > 0)
        hoverBackColor_ = colour;
    gradientColor_ = colour;
    RefreshResources(QStringLiteral("BackColor"));
    if (gradientMode_ != 0)
        RedrawButton();
    Changed("cGradient");
}

void zqButtons_H::SetGradientMode(std::int32_t mode)
{
    if (!InRange(mode, 0, 4))
        return;
    gradientMode_ = mode;
    if (hoverColorLocks_ == 0 || hoverColorLocks_ == 2) {
        hoverBackColor_ = mode == 0 ? backColor_ : gradientColor_;
        RefreshResources(QStringLiteral("BackColor"));
    }
    RedrawButton();
    Changed("Gradient");
}

void zqButtons_H::SetResetDefaultColors(bool reset)
{
    if (!reset || !DesignTime())
        return;
    DelayDrawing(true);
    SetBackColor(ButtonFace);
    SetForeColor(ButtonText);
    SetGradientColor(ButtonFace);
    SetGradientMode(0);
    SetHoverColorLocks(0);
    RefreshResources(QStringLiteral("BackColor"));
    DelayDrawing(false);
    Changed("cGradient");
    Changed("cBack");
}

void zqButtons_H::SetHoverColorLocks(std::int32_t locks)
{
    hoverColorLocks_ = locks;
    if (locks == 0 || locks == 2) {
        hoverBackColor_ = gradientMode_ != 0 ? gradientColor_ : backColor_;
        Changed("cBHover");
    }
    if (locks == 0 || locks == 1) {
        hoverForeColor_ = UserControl::ForeColor();
        Changed("cFHover");
    }
    RefreshResources(QStringLiteral("BackColor"));
    Changed("LockHover");
}

void zqButtons_H::SetHoverForeColor(std::uint32_t colour)
{
    if (colour == hoverForeColor_)
        return;
    hoverForeColor_ = colour;
    if (colour != UserControl::ForeColor()) {
        if (hoverColorLocks_ == 0)
            hoverColorLocks_ = 2;
        else if (hoverColorLocks_ == 1)
            hoverColorLocks_ = 3;
    }
    RefreshResources(QStringLiteral("BackColor"));
    Changed("cFHover");
}

void zqButtons_H::SetHoverBackColor(std::uint32_t colour)
{
    if (colour == hoverBackColor_)
        return;
    hoverBackColor_ = colour;
    if (colour != backColor_) {
        if (hoverColorLocks_ == 0)
            hoverColorLocks_ = 1;
        else if (hoverColorLocks_ == 2)
            hoverColorLocks_ = 3;
    }
    RefreshResources(QStringLiteral("BackColor"));
    Changed("cBHover");
}

void zqButtons_H::SetDefault(bool isDefault)
{
    default_ = isDefault;
    UpdateShortcuts();
    ui::AmbientProperties ambient = Ambient();
    ambient.DisplayAsDefault = isDefault;
    SetAmbient(ambient);
}

void zqButtons_H::SetCancel(bool isCancel)
{
    cancel_ = isCancel;
    UpdateShortcuts();
}

void zqButtons_H::UpdateShortcuts()
{
    for (QShortcut *shortcut : keyShortcuts_)
        delete shortcut;
    keyShortcuts_.clear();
    auto add = [this](Qt::Key key, int keyAscii) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, keyAscii] {
            if (isEnabled())
                UserControl_AccessKeyPress(keyAscii);
        });
        keyShortcuts_.push_back(shortcut);
    };
    if (default_) {
        add(Qt::Key_Return, 13);
        add(Qt::Key_Enter, 13);
    }
    if (cancel_)
        add(Qt::Key_Escape, 27);
}

// ---------------------------------------------------------------------------------------------
// Methods

void zqButtons_H::Refresh()
{
    delayDrawing_ = false;
    RedrawButton();
}

void zqButtons_H::DelayDrawing(bool delay)
{
    delayDrawing_ = delay;
    if (!delay)
        Refresh();
}

bool zqButtons_H::OptionToggle(int action)
{
    QWidget *container = Container();
    if (!container)
        return false;
    const auto memberKey = [](qintptr i) -> QString { return QString::number(i) + strings::OptObj; };
    // A stored reference is only followed when it names a live button on this container.
    const QList<zqButtons_H *> live = container->findChildren<zqButtons_H *>(Qt::FindDirectChildrenOnly);
    const auto member = [&](qintptr i) -> zqButtons_H * {
        const qintptr ref = ui::WindowProps::GetProp(container, memberKey(i));
        for (zqButtons_H *button : live)
            if (reinterpret_cast<qintptr>(button) == ref)
                return button;
        return nullptr;
    };
    qintptr n = ui::WindowProps::GetProp(container, strings::OptCount);
    if (n < 0 || n > 0xFFFF)
        n = 0;

    if ((action == OptionJoin || n >= 1) && value_) {
        for (qintptr i = 1; i <= n; ++i) {
            zqButtons_H *other = member(i);
            if (other && other != this && other->value_)
                other->SetValue(false);
        }
    }
    switch (action) {
    case OptionJoin:
        ++n;
        ui::WindowProps::SetProp(container, strings::OptCount, n);
        ui::WindowProps::SetProp(container, memberKey(n), reinterpret_cast<qintptr>(this));
        return true;
    case OptionLeave: {
        qintptr own = 0;
        for (qintptr i = 1; i <= n && own == 0; ++i)
            if (ui::WindowProps::GetProp(container, memberKey(i)) == reinterpret_cast<qintptr>(this))
                own = i;
        // A button that is not in the group has nothing to leave.
        if (own == 0)
            return false;
        for (qintptr i = own + 1; i <= n; ++i)
            ui::WindowProps::SetProp(container, memberKey(i - 1),
                                     ui::WindowProps::GetProp(container, memberKey(i)));
        ui::WindowProps::RemoveProp(container, memberKey(n));
        if (n == 1)
            ui::WindowProps::RemoveProp(container, strings::OptCount);
        else
            ui::WindowProps::SetProp(container, strings::OptCount, n - 1);
        return true;
    }
    case OptionQuery:
        for (qintptr i = 1; i <= n; ++i)
            if (zqButtons_H *m = member(i); m && m->value_)
                return true;
        return false;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------------------------
// Lifecycle and persistence

void zqButtons_H::UserControl_Resize()
{
    PrepareBackBuffer(false);
    if (delayDrawing_)
        return;
    BuildButtonRegion();
    LayoutCaption(true);
    RedrawButton();
}

void zqButtons_H::resizeEvent(QResizeEvent *event)
{
    UserControl::resizeEvent(event);
    UserControl_Resize();
}

void zqButtons_H::showEvent(QShowEvent *event)
{
    UserControl::showEvent(event);
    if (DesignTime() && showFocusRect_ && Ambient().DisplayAsDefault) {
        flags_ |= DefaultFrame;
        RedrawButton();
    }
}

void zqButtons_H::UserControl_AmbientChanged(const QString &name)
{
    if (name == QLatin1String("DisplayAsDefault")) {
        const bool frame = Ambient().DisplayAsDefault && (showFocusRect_ || DesignTime());
        flags_ = frame ? (flags_ | DefaultFrame) : (flags_ & ~DefaultFrame);
        if (buttonShape_ >= 7 && !DesignTime()) {
            // Custom shapes show the default frame through the hover frame for this one redraw.
            const bool saved = hovering_;
            hovering_ = frame;
            RedrawButton();
            hovering_ = saved;
        } else {
            RedrawButton();
        }
    } else if (name == QLatin1String("BackColor")) {
        ambientBack_ = gdi::TranslateColour(Ambient().BackColor);
        if (buttonShape_ > 3 || buttonStyle_ == 5)
            RedrawButton();
    }
}

// Saved in the order of the rows; read in the order of their ranks, so the hover back colour
// (whose default is the back colour) comes after the back colour.
const ui::PropertyTable<zqButtons_H> &zqButtons_H::Properties()
{
    namespace key = strings::key;
    using B = zqButtons_H;
    using ui::Accessor;
    using ui::Field;
    using ui::Ranged;
    using ui::ReadAt;
    using ui::Saved;
    static const ui::PropertyTable<B> table{
        ReadAt(0, Field(key::Caption, &B::caption_, QString())),
        ReadAt(1, Ranged(key::CapAlign, &B::captionAlign_, std::int32_t(CaptionAlign::Centre), 0, 2)),
        ReadAt(2, Ranged(key::BackStyle, &B::buttonStyle_, std::int32_t(Look::Classic), 0, 7)),
        ReadAt(3, Ranged(key::Shape, &B::buttonShape_, std::int32_t(Shape::Rectangle), 0, 8)),
        ReadAt(7, Accessor<B, ui::StdFont>(
                      key::Font, [](const B &b) { return b.Ambient().Font; },
                      [](const B &b) { return b.UserControl::Font(); },
                      [](B &b, const ui::StdFont &font) { b.UserControl::SetFont(font); })),
        ReadAt(6, Accessor<B, std::uint32_t>(
                      key::cFore, ButtonText, [](const B &b) { return b.UserControl::ForeColor(); },
                      [](B &b, std::uint32_t colour) { b.UserControl::SetForeColor(colour); })),
        ReadAt(15, Field(key::cFHover, &B::hoverForeColor_, ButtonText)),
        ReadAt(18, Field(key::cBHover, &B::hoverBackColor_, [](const B &b) { return b.backColor_; })),
        ReadAt(8, Field(key::Focus, &B::showFocusRect_, true)),
        ReadAt(19, Ranged(key::LockHover, &B::hoverColorLocks_, std::int32_t(0), 0, 3)),
        ReadAt(5, Field(key::cGradient, &B::gradientColor_, ButtonFace)),
        ReadAt(4, Ranged(key::Gradient, &B::gradientMode_, std::int32_t(0), 0, 4)),
        ReadAt(20, Ranged(key::CapStyle, &B::captionStyle_, std::int32_t(0), 0, 2)),
        ReadAt(9, Ranged(key::Mode, &B::mode_, std::int32_t(Mode::Command), 0, 2, Saved::Always)),
        ReadAt(10, Field(key::Value, &B::value_, false, Saved::Always)),
        ReadAt(11, Ranged(key::CustomClick, &B::customClick_, std::int32_t(0), 0, 8)),
        ReadAt(14, Ranged(key::ImgAlign, &B::pictureAlign_, std::int32_t(PictureAlign::LeftEdge), 0, 5)),
        ReadAt(12, Field(key::Image, &B::picture_, ui::Picture())),
        // The size code is 16, 24, 32, 40 or 48; anything else reads as 16.
        ReadAt(13, Accessor<B, int>(
                       key::ImgSize, 16,
                       [](const B &b) { return b.pictureSizeCode_ == 0 ? 16 : b.pictureSizeCode_; },
                       [](B &b, int code) {
                           const bool known =
                               code == 16 || code == 24 || code == 32 || code == 40 || code == 48;
                           b.pictureSizeCode_ = known ? code : 16;
                       })),
        ReadAt(16, Accessor<B, bool>(
                       key::Enabled, true, [](const B &b) { return b.UserControl::Enabled(); },
                       [](B &b, bool enabled) { b.UserControl::SetEnabled(enabled); })),
        ReadAt(17, Field(
                       key::cBack, &B::backColor_, [](const B &b) { return b.Ambient().BackColor; },
                       Saved::Always)),
        ReadAt(22, Accessor<B, int>(
                       key::mPointer, 0, [](const B &b) { return b.UserControl::MousePointer(); },
                       [](B &b, int pointer) { b.SetMousePointer(pointer); })),
        ReadAt(21, Accessor<B, ui::Picture>(
                       key::mIcon, ui::Picture(), [](const B &b) { return b.UserControl::MouseIcon(); },
                       [](B &b, const ui::Picture &icon) { b.SetMouseIcon(icon); })),
    };
    return table;
}

void zqButtons_H::InitProperties()
{
    RememberContainer();
    caption_ = Ambient().DisplayName;
    captionAlign_ = 2;
    showFocusRect_ = true;
    hoverForeColor_ = ButtonText;
    hoverBackColor_ = ButtonFace;
    UserControl::SetFont(Ambient().Font);
    ambientBack_ = gdi::TranslateColour(Ambient().BackColor);
    backColor_ = ButtonFace;
    RefreshResources(QStringLiteral("BackColor"));
    RefreshResources(QStringLiteral("Font"));
    for (const char *key : {"Caption", "CapAlign", "Focus", "cFHover", "cBHover", "Font"})
        Changed(key);
    delayDrawing_ = false;
    UserControl_Resize();
}

void zqButtons_H::ReadProperties(const ui::PropertyBag &stored)
{
    // Keys are matched without regard to case whatever bag the host hands over.
    const ui::PropertyBag bag =
        stored.CaseInsensitive() ? stored : ui::PropertyBag::Parse(stored.ToJson(), true);

    reading_ = true;
    RememberContainer();
    ambientBack_ = gdi::TranslateColour(Ambient().BackColor);
    delayDrawing_ = true;
    Properties().Read(*this, bag);
    value_ = value_ && mode_ != CommandMode; // a command button is never checked

    // A damaged picture or font still leaves a usable button.
    RefreshResources(QStringLiteral("Picture"));
    if (buttonShape_ >= 7 && (!HasPicture() || pictureIsIcon_))
        buttonShape_ = 0;
    RefreshResources(QStringLiteral("BackColor"));
    RefreshResources(QStringLiteral("Font"));
    SetCaption(caption_);
    if (mode_ == OptionMode)
        OptionToggle(OptionJoin);
    reading_ = false;
    delayDrawing_ = false;
    UserControl_Resize();
}

void zqButtons_H::WriteProperties(ui::PropertyBag &bag) const
{
    Properties().Write(*this, bag);
}

} // namespace multibutton
