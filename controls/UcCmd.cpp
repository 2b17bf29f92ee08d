// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/UcCmd.h"

#include "platform/gdi/Colour.h"
#include "platform/gdi/Rounding.h"
#include "platform/services/Resources.h"
#include "platform/ui/InputCodes.h"
#include "platform/ui/Twips.h"
#include "skin/Failure.h"
#include "skin/HostControls.h"
#include "skin/ReportError.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>

#include <cmath>

namespace controls
{

// One of the button's picture elements: shows its image stretched to its box. Mouse input goes
// to the button, which decides which element was hit.
class UcCmdImage : public QWidget
{
  public:
    explicit UcCmdImage(QWidget *parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }
    void SetImage(const QImage &image)
    {
        image_ = image;
        update();
    }

  protected:
    void paintEvent(QPaintEvent *) override
    {
        if (image_.isNull())
            return;
        QPainter painter(this);
        painter.drawImage(rect(), image_);
    }

  private:
    QImage image_;
};

namespace
{

constexpr long ErrResourceNotFound = 326;

// Caption colours, kept as numbers in the string table.
constexpr int EntryEnabledColour = 101; // "65535": enabled written, push style
constexpr int EntryNormalColour = 102;  // "12": at rest
constexpr int EntryPressedColour = 103; // "&HFFFFFF": pressed
constexpr std::uint32_t InactiveCaptionText = 0x80000000u | gdi::COLOR_INACTIVECAPTIONTEXT;

std::uint32_t StringColour(int entry)
{
    const auto number = services::Resources::StringAsNumber(entry);
    return number ? std::uint32_t(*number) : 0;
}

QImage SkinPicture(const QString &name)
{
    const QImage image = services::Resources::Bitmap(name);
    if (image.isNull())
        throw skin::Failure(ErrResourceNotFound,
                            QStringLiteral("Resource with identifier '%1' not found").arg(name));
    return image;
}

} // namespace

UcCmd::UcCmd(QWidget *parent)
    : ui::UserControl(parent), imgUp_(new UcCmdImage(this)), imgDn_(new UcCmdImage(this)),
      label1_(new QLabel(this))
{
    Properties().ApplyDefaults(*this, ui::PropertyTable<UcCmd>::ConstantFields);
    label1_->setAttribute(Qt::WA_TransparentForMouseEvents);
    label1_->setFont(Font().ToQFont());
    label1_->raise();
    imgDn_->hide();
    setMouseTracking(true);
    SetCaptionColour(StringColour(EntryNormalColour));
    picture1Width_ = NoPictureWidth;
    picture1Height_ = NoPictureHeight;
}

UcCmd::~UcCmd() = default;

// -- properties --------------------------------------------------------------------------------

void UcCmd::SetBorderStyle(int style)
{
    ui::UserControl::SetBorderStyle(style);
    Q_EMIT PropertyChanged(QStringLiteral("BorderStyle"));
}

void UcCmd::SetEnabled(bool enabled)
{
    ui::UserControl::SetEnabled(enabled);
    SetCaptionColour(enabled ? StringColour(EntryEnabledColour) : InactiveCaptionText);
    Q_EMIT PropertyChanged(QStringLiteral("Enabled"));
}

void UcCmd::LoadPicture1(const QString &name, UcCmdImage *target)
{
    const QImage image = SkinPicture(name);
    picture1_ = image;
    picture1Width_ = image.width() * TwipsPerPixelX();
    picture1Height_ = image.height() * TwipsPerPixelY();
    target->SetImage(image);
}

void UcCmd::SetPictureUP(const QString &name)
{
    pictureUp_ = name;
    Q_EMIT PropertyChanged(QStringLiteral("PictureUP"));
    LoadPicture1(name, imgUp_);
    RePaint();
}

void UcCmd::SetPictureDN(const QString &name)
{
    pictureDn_ = name;
    Q_EMIT PropertyChanged(QStringLiteral("PictureDN"));
    LoadPicture1(name, imgDn_);
    RePaint();
}

void UcCmd::SetStyle(int style)
{
    style_ = style;
    Q_EMIT PropertyChanged(QStringLiteral("Style"));
    struct Look {
        const char *tag;
        bool caption;
        const char *up;
        const char *down;
    };
    auto apply = [this](const Look &look) {
        SetTag(QString::fromLatin1(look.tag));
        label1_->setVisible(look.caption);
        if (look.up) {
            // The pressed picture first, so Picture1 ends up with the released one.
            SetPictureDN(QString::fromLatin1(look.down));
            SetPictureUP(QString::fromLatin1(look.up));
        }
    };
    switch (style) {
    case StylePlain:
        apply({"", true, nullptr, nullptr});
        break;
    case StyleClose:
        apply({"TOPCLOSE", false, "CLOSEUP", "CLOSEDN"});
        break;
    case StyleRestore:
        apply({"RESTORE", false, "RESTOREUP", "RESTOREDN"});
        break;
    case StyleMinimise:
        apply({"MINIMISE", false, "MINIUP", "MINIDN"});
        break;
    case StylePush:
        apply({TagPush, true, "BUTTONUP", "BUTTONDN"});
        SetCaptionColour(StringColour(EntryEnabledColour));
        break;
    case StyleCheck:
        apply({TagCheck, true, "CHECKOFF", "CHECKON"});
        SetValue(false);
        SetBackgroundPicture(QString::fromLatin1(CheckBackground));
        break;
    case StyleOption:
        apply({TagOption, true, "RADIOOFF", "RADIOON"});
        SetOptionGroup(QString::fromLatin1(DefaultOptionGroup));
        SetValue(false);
        SetBackgroundPicture(QString::fromLatin1(CheckBackground));
        break;
    default:
        break;
    }
    RePaint();
}

void UcCmd::SetFont(const ui::StdFont &font)
{
    ui::UserControl::SetFont(font);
    label1_->setFont(font.ToQFont());
    Q_EMIT PropertyChanged(QStringLiteral("Font"));
    RePaint();
}

QString UcCmd::Caption() const
{
    return label1_->text();
}

void UcCmd::SetCaption(const QString &caption)
{
    label1_->setText(caption);
    Q_EMIT PropertyChanged(QStringLiteral("Caption"));
    RePaint();
}

void UcCmd::SetScaleFactor(double factor)
{
    scaleFactor_ = factor > MaxScaleFactor ? MaxScaleFactor : factor;
    Q_EMIT PropertyChanged(QStringLiteral("ScaleFactor"));
    RePaint();
}

void UcCmd::SetValue(bool value)
{
    value_ = value;
    Q_EMIT PropertyChanged(QStringLiteral("Value"));
    RePaint();
}

void UcCmd::SetOptionGroup(const QString &group)
{
    optionGroup_ = group;
    Q_EMIT PropertyChanged(QStringLiteral("OptionGroup"));
}

void UcCmd::SetBackgroundPicture(const QString &name)
{
    background_ = name.isEmpty() ? QImage() : SkinPicture(name);
    update();
}

void UcCmd::SetCaptionColour(std::uint32_t colour)
{
    captionColour_ = colour;
    QPalette pal = label1_->palette();
    pal.setColor(QPalette::WindowText, gdi::ToQColor(colour));
    label1_->setPalette(pal);
}

// -- what it shows -----------------------------------------------------------------------------

bool UcCmd::CaptionShown() const
{
    return !label1_->isHidden();
}

bool UcCmd::PressedLook() const
{
    return !imgDn_->isHidden() && imgUp_->isHidden();
}

QRect UcCmd::CaptionGeometry() const
{
    return label1_->geometry();
}

QRect UcCmd::PictureGeometry() const
{
    return imgUp_->geometry();
}

void UcCmd::ShowPressed(bool pressed)
{
    imgUp_->setVisible(!pressed);
    imgDn_->setVisible(pressed);
}

void UcCmd::FitCaption()
{
    label1_->adjustSize();
}

QWidget *UcCmd::HostWindow() const
{
    if (!parentWidget())
        throw skin::Failure(ErrNoHost, QStringLiteral("Client Site not available"));
    return window();
}

// -- layout ------------------------------------------------------------------------------------

void UcCmd::RePaint()
{
    // Its own size changes bring resize events (and option groups repaints) back here.
    if (layoutBusy_)
        return;
    const QScopedValueRollback busy(layoutBusy_, true);
    try {
        if (pictureUp_.isEmpty()) {
            picture1Width_ = NoPictureWidth;
            picture1Height_ = NoPictureHeight;
        }
        const double tx = TwipsPerPixelX();
        const double ty = TwipsPerPixelY();
        const double b = gdi::RoundEven(picture1Width_ * scaleFactor_);
        const double c = gdi::RoundEven(picture1Height_ * scaleFactor_);

        FitCaption();
        const double captionWidth = label1_->width() * tx;
        const double captionHeight = label1_->height() * ty;
        const double captionTop = (c - captionHeight) / 2;
        double captionLeft = 0;
        double width = b;
        if (style_ == StyleCheck || style_ == StyleOption) {
            captionLeft = b + CaptionGap;
            width = captionWidth + b + CaptionGap;
        } else {
            captionLeft = (b - captionWidth) / 2;
        }
        label1_->move(ui::Twips::ToPixelsX(captionLeft, this), ui::Twips::ToPixelsY(captionTop, this));
        SetHeight(c);
        SetWidth(width);

        const QRect pictureBox(imgUp_->x(), imgUp_->y(), ui::Twips::ToPixelsX(b, this),
                               ui::Twips::ToPixelsY(c, this));
        imgUp_->setGeometry(pictureBox);
        imgDn_->setGeometry(pictureBox);
        ShowPressed(false);

        switch (style_) {
        case StyleClose:
        case StyleRestore:
        case StyleMinimise: {
            label1_->hide();
            const double count = style_ == StyleClose ? 1 : style_ == StyleRestore ? 2 : 3;
            const double hostWidth = skin::WindowWidth(HostWindow());
            SetTop(55);
            SetLeft(hostWidth - count * Width() - 90);
            break;
        }
        case StyleOption:
            ResetParent();
            [[fallthrough]];
        case StyleCheck:
            label1_->show();
            ShowPressed(value_);
            break;
        default:
            break;
        }
    } catch (const skin::Failure &failure) {
        if (failure.Number() != ErrNoHost)
            skin::ReportError(failure, QStringLiteral("RePaint"), QLatin1String(ModuleName));
    }
}

void UcCmd::ResetParent()
{
    try {
        // An option button that is off has nothing to exclude; clearing the group from it would
        // wipe out a sibling's restored state on this button's first layout.
        if (!value_)
            return;
        QWidget *host = HostWindow();
        const bool keep = value_;
        for (QWidget *control : skin::HostControls(host)) {
            if (skin::ControlTag(control) != QLatin1String(TagOption))
                continue;
            auto *option = qobject_cast<UcCmd *>(control);
            if (!option)
                throw skin::Failure(skin::ErrObjectDoesNotSupport,
                                    QStringLiteral("Object doesn't support this property or method"));
            if (option->OptionGroup() == optionGroup_)
                option->SetValue(false);
        }
        SetValue(keep);
    } catch (const skin::Failure &failure) {
        if (failure.Number() != ErrNoHost)
            skin::ReportError(failure, QStringLiteral("ResetParent"), QLatin1String(ModuleName));
    }
}

// -- persistence -------------------------------------------------------------------------------

const ui::PropertyTable<UcCmd> &UcCmd::Properties()
{
    using ui::Accessor;
    using ui::Field;
    static const ui::PropertyTable<UcCmd> table{
        Accessor<UcCmd, int>(
            QStringLiteral("BorderStyle"), 0, [](const UcCmd &c) { return c.BorderStyle(); },
            [](UcCmd &c, int style) { c.ui::UserControl::SetBorderStyle(style); }),
        Accessor<UcCmd, bool>(
            QStringLiteral("Enabled"), true, [](const UcCmd &c) { return c.Enabled(); },
            [](UcCmd &c, bool enabled) { c.ui::UserControl::SetEnabled(enabled); }),
        Field(QStringLiteral("ScaleFactor"), &UcCmd::scaleFactor_, 1.0),
        Field(QStringLiteral("PictureUP"), &UcCmd::pictureUp_, QString()),
        Field(QStringLiteral("PictureDN"), &UcCmd::pictureDn_, QString()),
        Field(QStringLiteral("Style"), &UcCmd::style_, int(StylePlain)),
        // A new button takes the container's font.
        Accessor<UcCmd, ui::StdFont>(
            QStringLiteral("Font"), [](const UcCmd &c) { return c.Ambient().Font; },
            [](const UcCmd &c) { return c.Font(); },
            [](UcCmd &c, const ui::StdFont &font) {
                c.ui::UserControl::SetFont(font);
                c.label1_->setFont(font.ToQFont());
            }),
        Accessor<UcCmd, QString>(
            QStringLiteral("Caption"), QString(), [](const UcCmd &c) { return c.Caption(); },
            [](UcCmd &c, const QString &caption) { c.label1_->setText(caption); }),
        Field(QStringLiteral("Value"), &UcCmd::value_, false),
        Field(QStringLiteral("OptionGroup"), &UcCmd::optionGroup_, QString()),
    };
    return table;
}

void UcCmd::InitProperties()
{
    Properties().ApplyDefaults(*this, ui::PropertyTable<UcCmd>::ConstantFields |
                                          ui::PropertyTable<UcCmd>::DependentDefaults);
}

void UcCmd::ReadProperties(const ui::PropertyBag &bag)
{
    Properties().Read(*this, bag);
    ApplyLoadedState();
}

void UcCmd::ApplyLoadedState()
{
    imgUp_->move(0, imgUp_->y());
    imgDn_->move(0, imgDn_->y());
    SetCaptionColour(Enabled() ? StringColour(EntryNormalColour) : InactiveCaptionText);
    // The host keeps the tag in its own saved data; without one, the style's tag comes back.
    if (Tag().isEmpty()) {
        switch (style_) {
        case StyleClose:
            SetTag(QStringLiteral("TOPCLOSE"));
            break;
        case StyleRestore:
            SetTag(QStringLiteral("RESTORE"));
            break;
        case StyleMinimise:
            SetTag(QStringLiteral("MINIMISE"));
            break;
        case StylePush:
            SetTag(QLatin1String(TagPush));
            break;
        case StyleCheck:
            SetTag(QLatin1String(TagCheck));
            break;
        case StyleOption:
            SetTag(QLatin1String(TagOption));
            break;
        default:
            break;
        }
    }
    label1_->setVisible(style_ != StyleClose && style_ != StyleRestore && style_ != StyleMinimise);
    // A saved picture name that is no skin bitmap (a damaged definition) is reported and the
    // button goes on without that picture.
    try {
        if (!pictureUp_.isEmpty())
            LoadPicture1(pictureUp_, imgUp_);
        if (!pictureDn_.isEmpty())
            imgDn_->SetImage(SkinPicture(pictureDn_));
        SetBackgroundPicture(
            style_ == StyleCheck || style_ == StyleOption ? QString::fromLatin1(CheckBackground) : QString());
    } catch (const skin::Failure &failure) {
        skin::ReportError(failure, QStringLiteral("ReadProperties"), QLatin1String(ModuleName));
    }
    RePaint();
}

void UcCmd::WriteProperties(ui::PropertyBag &bag) const
{
    Properties().Write(*this, bag);
}

// -- events ------------------------------------------------------------------------------------

void UcCmd::paintEvent(QPaintEvent *event)
{
    ui::UserControl::paintEvent(event);
    if (!background_.isNull()) {
        QPainter painter(this);
        painter.drawImage(QPoint(0, 0), background_);
    }
    // The first paint lays the control out; after that its elements draw themselves.
    if (!firstPaintDone_) {
        firstPaintDone_ = true;
        RePaint();
    }
}

void UcCmd::resizeEvent(QResizeEvent *event)
{
    ui::UserControl::resizeEvent(event);
    RePaint();
}

UcCmd::Element UcCmd::ElementAt(const QPoint &p) const
{
    // The caption lies over the pictures.
    if (!label1_->isHidden() && label1_->geometry().contains(p))
        return Element::Caption;
    if (!imgUp_->isHidden() && imgUp_->geometry().contains(p))
        return Element::Up;
    if (!imgDn_->isHidden() && imgDn_->geometry().contains(p))
        return Element::Down;
    return Element::Surface;
}

void UcCmd::mousePressEvent(QMouseEvent *event)
{
    const Element element = ElementAt(event->position().toPoint());
    const bool pushLike = style_ != StyleCheck && style_ != StyleOption;
    switch (element) {
    case Element::Up:
        if (pushLike) {
            ShowPressed(true);
            SetCaptionColour(StringColour(EntryPressedColour));
            pressedOn_ = Element::Up;
        } else if (style_ == StyleCheck) {
            SetValue(true);
            ShowPressed(true);
        } else {
            ResetParent();
            SetValue(true);
            ShowPressed(true);
        }
        break;
    case Element::Down:
        if (style_ == StyleCheck) {
            SetValue(false);
            ShowPressed(false);
            SetCaptionColour(StringColour(EntryNormalColour));
        }
        break;
    case Element::Caption:
        if (pushLike) {
            ShowPressed(true);
            SetCaptionColour(StringColour(EntryPressedColour));
            pressedOn_ = Element::Caption;
        }
        break;
    default:
        break;
    }
    event->accept();
}

void UcCmd::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    const Element pressed = pressedOn_;
    pressedOn_ = Element::None;
    if (pressed != Element::Up && pressed != Element::Caption)
        return;
    // Wherever the pointer is now: the release of a press on the button is its click.
    ShowPressed(false);
    SetCaptionColour(StringColour(EntryNormalColour));
    Q_EMIT Click();
}

void UcCmd::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF p = event->position();
    const Element element = ElementAt(p.toPoint());
    if (element == Element::Up) {
        // Undo a resize pointer the window skin may have set while crossing the window's edge.
        skin::SetWindowMousePointer(window(), ui::vbDefault);
    } else if (element == Element::Surface) {
        SetMousePointer(ui::vbDefault);
    } else {
        return;
    }
    Q_EMIT MouseMove(ui::MouseButtonCode(event->buttons()), ui::ShiftCode(event->modifiers()), float(p.x()),
                     float(p.y()));
}

} // namespace controls
