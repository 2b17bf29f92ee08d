// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace ui
{
class Form;
}

namespace studio
{

struct ControlEntry;

// What a factory needs besides the entry itself.
struct ControlContext {
    ui::Form *window = nullptr;                       // the studio window: its screen sets the twips scale
    QWidget *parent = nullptr;                        // the window or a container placed before
    std::function<QImage(const QString &)> icon;      // an icon of the definition by name (null when missing)
    const std::vector<QImage> *smallImages = nullptr; // the menu's image list
};

// Makes the widget of one control kind from its entry: the Qt widget standing in for the kind,
// with the entry's properties applied. Owner-drawn controls are also placed and restored here,
// since they read their persisted properties at their final size.
using ControlFactory = QWidget *(*)(const ControlEntry &entry, const ControlContext &context);

// The factory for a kind of the definition ("Label", "bvlBUTTON", ...); nullptr for unknown kinds.
ControlFactory FactoryFor(const QString &kind);

// The entry's rectangle in pixels of `window`.
QRect PixelBox(const ControlEntry &entry, const ui::Form *window);

// What every control gets once made: its object name, its place (for plain widgets) and the common
// properties ToolTipText, Tag and Visible.
void FinishControl(QWidget *widget, const ControlEntry &entry, const ControlContext &context);

} // namespace studio
