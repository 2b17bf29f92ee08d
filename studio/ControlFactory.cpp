// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/ControlFactory.h"

#include "bevel/bvlBUTTON.h"
#include "controls/UcCmd.h"
#include "controls/UcScroll.h"
#include "multibutton/zqButtons_H.h"
#include "platform/gdi/Colour.h"
#include "platform/ui/Form.h"
#include "platform/ui/PropertyBag.h"
#include "platform/ui/Twips.h"
#include "skin/HostControls.h"
#include "studio/FontSubstitutes.h"
#include "studio/LevelDisplay.h"
#include "studio/MenuBar.h"
#include "studio/RichTextBox.h"
#include "studio/VoiceOption.h"
#include "studio/WindowDefinition.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

#include <optional>

namespace studio
{

namespace
{

void SetColours(QWidget *w, std::optional<std::uint32_t> back, std::optional<std::uint32_t> fore,
                QPalette::ColorRole backRole = QPalette::Window,
                QPalette::ColorRole foreRole = QPalette::WindowText)
{
    QPalette p = w->palette();
    if (back) {
        p.setColor(backRole, gdi::ToQColor(*back));
        w->setAutoFillBackground(backRole == QPalette::Window);
    }
    if (fore)
        p.setColor(foreRole, gdi::ToQColor(*fore));
    w->setPalette(p);
}

// A colour the entry sets, or nothing when it leaves the key out.
std::optional<std::uint32_t> Colour(const ControlEntry &entry, const char *key)
{
    const QString k = QString::fromLatin1(key);
    if (!entry.properties.Contains(k))
        return std::nullopt;
    return entry.properties.ReadProperty<std::uint32_t>(k, 0);
}

QFont FontOf(const ControlEntry &entry)
{
    return FontSubstitutes::ToQFont(
        entry.properties.ReadProperty<ui::StdFont>(QStringLiteral("Font"), ui::StdFont()));
}

QString Caption(const ControlEntry &entry)
{
    return entry.properties.ReadProperty<QString>(QStringLiteral("Caption"), QString());
}

QWidget *MakeShape(const ControlEntry &entry, const ControlContext &context)
{
    auto *shape = new QFrame(context.parent);
    shape->setFrameShape(QFrame::Box);
    SetColours(shape, Colour(entry, "FillColor"), Colour(entry, "BorderColor").value_or(0));
    return shape;
}

QWidget *MakeLabel(const ControlEntry &entry, const ControlContext &context)
{
    auto *label = new QLabel(Caption(entry), context.parent);
    label->setFont(FontOf(entry));
    const int alignment = entry.properties.ReadProperty<int>(QStringLiteral("Alignment"), 0);
    label->setAlignment((alignment == 2   ? Qt::AlignHCenter
                         : alignment == 1 ? Qt::AlignRight
                                          : Qt::AlignLeft) |
                        Qt::AlignTop);
    SetColours(label, Colour(entry, "BackColor"), Colour(entry, "ForeColor"));
    return label;
}

QWidget *MakePictureBox(const ControlEntry &entry, const ControlContext &context)
{
    auto *picture = new LevelDisplay(context.parent);
    if (const auto back = Colour(entry, "BackColor"))
        picture->SetBackColor(*back);
    return picture;
}

QWidget *MakeImage(const ControlEntry &entry, const ControlContext &context)
{
    auto *image = new QLabel(context.parent);
    image->setPixmap(
        QPixmap::fromImage(context.icon(entry.icon))
            .scaled(PixelBox(entry, context.window).size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    image->setAttribute(Qt::WA_TranslucentBackground);
    return image;
}

QWidget *MakeRichTextBox(const ControlEntry &entry, const ControlContext &context)
{
    auto *editor = new RichTextBox(context.parent);
    editor->setFont(FontOf(entry));
    return editor;
}

QWidget *MakeTextBox(const ControlEntry &entry, const ControlContext &context)
{
    auto *text = new QLineEdit(context.parent);
    text->setFont(FontOf(entry));
    text->setFrame(false);
    SetColours(text, Colour(entry, "BackColor"), Colour(entry, "ForeColor"), QPalette::Base, QPalette::Text);
    return text;
}

QWidget *MakeFrame(const ControlEntry &entry, const ControlContext &context)
{
    auto *frame = new QFrame(context.parent);
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    SetColours(frame, Colour(entry, "BackColor"), Colour(entry, "ForeColor"));
    return frame;
}

QWidget *MakeOptionButton(const ControlEntry &entry, const ControlContext &context)
{
    auto *option = new VoiceOption(Caption(entry), context.parent);
    option->setFont(FontOf(entry));
    SetColours(option, std::nullopt, Colour(entry, "ForeColor"));
    option->setChecked(entry.properties.ReadProperty<bool>(QStringLiteral("Value"), false));
    return option;
}

QWidget *MakeMenuBar(const ControlEntry &entry, const ControlContext &context)
{
    auto *menu = new MenuBar(context.parent);
    menu->SetImageList(*context.smallImages);
    const ui::PropertyBag &bag = entry.properties;
    menu->SetColours(bag.ReadProperty<std::uint32_t>(QStringLiteral("BackColor"), 0x47A7DA),
                     bag.ReadProperty<std::uint32_t>(QStringLiteral("ForeColor"), 0x404040),
                     bag.ReadProperty<std::uint32_t>(QStringLiteral("SelBackColor"), 0xC0A898),
                     bag.ReadProperty<std::uint32_t>(QStringLiteral("SelForeColor"), 0xFFFFFF));
    menu->setFont(FontOf(entry));
    return menu;
}

// The owner-drawn controls join the window's control list before they restore their properties,
// and restore at their final size, so what they compute from their size is right from the start.
QWidget *PlaceUserControl(ui::UserControl *control, const ControlEntry &entry, const ControlContext &context,
                          const QString &pictureKey = QString(), bool asBitmap = false)
{
    control->setObjectName(entry.name);
    ui::PropertyBag bag = entry.properties;
    if (!entry.icon.isEmpty() && !pictureKey.isEmpty()) {
        const QImage image = context.icon(entry.icon);
        if (!image.isNull())
            bag.WriteProperty(pictureKey,
                              asBitmap ? ui::Picture::FromBitmap(image) : ui::Picture::FromIcon(image));
    }
    if (context.parent == context.window)
        context.window->AddControl(control, entry.name);
    control->Move(entry.left, entry.top, entry.width, entry.height);
    control->Restore(bag);
    control->Move(entry.left, entry.top, entry.width, entry.height);
    return control;
}

QWidget *MakeUcScroll(const ControlEntry &entry, const ControlContext &context)
{
    return PlaceUserControl(new controls::UcScroll(context.parent), entry, context);
}

QWidget *MakeUcCmd(const ControlEntry &entry, const ControlContext &context)
{
    return PlaceUserControl(new controls::UcCmd(context.parent), entry, context);
}

QWidget *MakeBevelButton(const ControlEntry &entry, const ControlContext &context)
{
    return PlaceUserControl(new bevel::bvlBUTTON(context.parent), entry, context, QStringLiteral("Picture"),
                            true);
}

QWidget *MakeMultiStyleButton(const ControlEntry &entry, const ControlContext &context)
{
    return PlaceUserControl(new multibutton::zqButtons_H(context.parent), entry, context,
                            QStringLiteral("Image"));
}

struct KindFactory {
    const char *kind;
    ControlFactory make;
};
const KindFactory kFactories[] = {
    {"Shape", &MakeShape},
    {"Label", &MakeLabel},
    {"PictureBox", &MakePictureBox},
    {"Image", &MakeImage},
    {"RichTextBox", &MakeRichTextBox},
    {"TextBox", &MakeTextBox},
    {"Frame", &MakeFrame},
    {"OptionButton", &MakeOptionButton},
    {"MenuBar", &MakeMenuBar},
    {"UcScroll", &MakeUcScroll},
    {"UcCmd", &MakeUcCmd},
    {"bvlBUTTON", &MakeBevelButton},
    {"zqButtons_H", &MakeMultiStyleButton},
};

} // namespace

ControlFactory FactoryFor(const QString &kind)
{
    for (const KindFactory &f : kFactories) {
        if (kind == QLatin1String(f.kind))
            return f.make;
    }
    return nullptr;
}

QRect PixelBox(const ControlEntry &entry, const ui::Form *window)
{
    return QRect(ui::Twips::ToPixelsX(entry.left, window), ui::Twips::ToPixelsY(entry.top, window),
                 ui::Twips::ToPixelsX(entry.width, window), ui::Twips::ToPixelsY(entry.height, window));
}

void FinishControl(QWidget *widget, const ControlEntry &entry, const ControlContext &context)
{
    if (widget->objectName().isEmpty())
        widget->setObjectName(entry.IndexedName());
    if (!qobject_cast<ui::UserControl *>(widget)) {
        widget->setGeometry(PixelBox(entry, context.window));
        if (context.parent == context.window)
            context.window->AddControl(widget, widget->objectName());
    }
    const ui::PropertyBag &bag = entry.properties;
    const QString tip = bag.ReadProperty<QString>(QStringLiteral("ToolTipText"), QString());
    if (!tip.isEmpty())
        widget->setToolTip(tip);
    const QString tag = bag.ReadProperty<QString>(QStringLiteral("Tag"), QString());
    if (!tag.isEmpty())
        skin::SetControlTag(widget, tag);
    if (!bag.ReadProperty<bool>(QStringLiteral("Visible"), true))
        widget->hide();
}

} // namespace studio
