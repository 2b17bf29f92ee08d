// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/HostControls.h"

#include "platform/gdi/Colour.h"
#include "platform/ui/Form.h"
#include "platform/ui/Twips.h"
#include "platform/ui/UserControl.h"
#include "skin/Failure.h"

#include <QLabel>
#include <QMetaObject>
#include <QVariant>
#include <QWidget>

namespace skin {
namespace {

constexpr const char *TagProperty = "Tag";
constexpr const char *PointerProperty = "MousePointer";

Failure NotSupported()
{
    return Failure(ErrObjectDoesNotSupport, QStringLiteral("Object doesn't support this property or method"));
}

// True when the widget is an inner part of an owner-drawn control rather than a control itself.
bool InsideUserControl(const QWidget *widget, const QWidget *host)
{
    for (const QWidget *p = widget->parentWidget(); p && p != host; p = p->parentWidget()) {
        if (qobject_cast<const ui::UserControl *>(p))
            return true;
    }
    return false;
}

} // namespace

std::vector<QWidget *> HostControls(QWidget *host)
{
    if (!host)
        return {};
    if (auto *form = qobject_cast<ui::Form *>(host))
        return form->Controls();
    std::vector<QWidget *> list;
    for (QWidget *child : host->findChildren<QWidget *>()) {
        if (!child->isWindow() && !InsideUserControl(child, host))
            list.push_back(child);
    }
    return list;
}

QString ControlTag(const QWidget *control)
{
    if (!control)
        return {};
    if (auto *uc = qobject_cast<const ui::UserControl *>(control))
        return uc->Tag();
    return control->property(TagProperty).toString();
}

void SetControlTag(QWidget *control, const QString &tag)
{
    if (!control)
        return;
    if (auto *uc = qobject_cast<ui::UserControl *>(control))
        uc->SetTag(tag);
    else
        control->setProperty(TagProperty, tag);
}

void SetControlEnabled(QWidget *control, bool enabled)
{
    const QMetaObject *meta = control->metaObject();
    if (meta->indexOfMethod("SetEnabled(bool)") >= 0 &&
        QMetaObject::invokeMethod(control, "SetEnabled", Qt::DirectConnection, Q_ARG(bool, enabled)))
        return;
    control->setEnabled(enabled);
}

void SetControlVisible(QWidget *control, bool visible)
{
    control->setVisible(visible);
}

double ControlWidth(const QWidget *control)
{
    return control->width() * ui::Twips::PerPixelX(control);
}

double ControlHeight(const QWidget *control)
{
    return control->height() * ui::Twips::PerPixelY(control);
}

void SetControlLeft(QWidget *control, double twips)
{
    control->move(ui::Twips::ToPixelsX(twips, control), control->y());
}

void SetControlTop(QWidget *control, double twips)
{
    control->move(control->x(), ui::Twips::ToPixelsY(twips, control));
}

double WindowWidth(const QWidget *window)
{
    if (auto *form = qobject_cast<const ui::Form *>(window))
        return form->Width();
    return window->frameGeometry().width() * ui::Twips::PerPixelX(window);
}

void SetLabelColour(QWidget *label, unsigned colour)
{
    if (auto *uc = qobject_cast<ui::UserControl *>(label)) {
        uc->SetForeColor(colour);
        return;
    }
    if (!qobject_cast<QLabel *>(label))
        throw NotSupported();
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, gdi::ToQColor(colour));
    label->setPalette(pal);
}

void SetLabelCaption(QWidget *label, const QString &caption)
{
    auto *ql = qobject_cast<QLabel *>(label);
    if (!ql)
        throw NotSupported();
    ql->setText(caption);
}

void SetWindowMousePointer(QWidget *window, int pointer)
{
    if (!window || !ui::UserControl::IsValidMousePointer(pointer))
        return;
    window->setProperty(PointerProperty, pointer);
    if (const auto cursor = ui::UserControl::CursorFor(pointer))
        window->setCursor(*cursor);
    else
        window->unsetCursor();
}

int WindowMousePointer(const QWidget *window)
{
    return window ? window->property(PointerProperty).toInt() : 0;
}

} // namespace skin
