// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/MenuBar.h"

#include "platform/gdi/Colour.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPixmap>

namespace studio
{

namespace
{

QString Css(std::uint32_t colour)
{
    const std::uint32_t rgb = gdi::TranslateColour(colour);
    return QStringLiteral("#%1%2%3")
        .arg(rgb & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((rgb >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((rgb >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

} // namespace

MenuBar::MenuBar(QWidget *parent) : QMenuBar(parent)
{
    setNativeMenuBar(false);
}

int MenuBar::AddItem(const QString &parentKey, const QString &key, int kind, const QString &caption, int icon)
{
    Item item;
    item.key = key;
    item.caption = caption;
    item.kind = kind;
    const int index = Count();
    if (parentKey.isEmpty()) {
        item.menu = addMenu(caption);
        item.action = item.menu->menuAction();
    } else {
        QMenu *parentMenu = nullptr;
        for (const Item &candidate : items_)
            if (candidate.menu && candidate.key == parentKey)
                parentMenu = candidate.menu;
        if (!parentMenu)
            return -1;
        if (kind == Separator) {
            item.action = parentMenu->addSeparator();
        } else {
            item.action = parentMenu->addAction(caption);
            if (icon >= 0 && icon < static_cast<int>(images_.size()) && !images_[std::size_t(icon)].isNull())
                item.action->setIcon(QIcon(QPixmap::fromImage(images_[std::size_t(icon)])));
            connect(item.action, &QAction::triggered, this, [this, index] { Q_EMIT ItemClick(index); });
        }
    }
    items_.push_back(item);
    return index;
}

QString MenuBar::Key(int index) const
{
    return index >= 0 && index < Count() ? items_[std::size_t(index)].key : QString();
}

QString MenuBar::ItemCaption(int index) const
{
    return index >= 0 && index < Count() ? items_[std::size_t(index)].caption : QString();
}

QAction *MenuBar::Action(int index) const
{
    return index >= 0 && index < Count() ? items_[std::size_t(index)].action : nullptr;
}

void MenuBar::SetFontName(const QString &name)
{
    QFont f = font();
    f.setFamily(name);
    setFont(f);
    for (const Item &item : items_)
        if (item.menu)
            item.menu->setFont(f);
}

void MenuBar::SetFontSize(double points)
{
    if (!(points > 0))
        return;
    QFont f = font();
    f.setPointSizeF(points);
    setFont(f);
    for (const Item &item : items_)
        if (item.menu)
            item.menu->setFont(f);
}

void MenuBar::SetColours(std::uint32_t back, std::uint32_t text, std::uint32_t selectionBack,
                         std::uint32_t selectionText)
{
    style_ = QStringLiteral(
                 "QMenuBar { background: %1; color: %2; border: 1px solid %2; padding: 0px; spacing: 0px; }"
                 "QMenuBar::item { background: transparent; padding: 1px 1px; margin: 0px; }"
                 "QMenuBar::item:selected, QMenuBar::item:pressed { background: %3; color: %4; }"
                 "QMenu { background: %1; color: %2; border: 1px solid %2; }"
                 "QMenu::item { padding: 3px 18px 3px 24px; }"
                 "QMenu::item:selected { background: %3; color: %4; }"
                 "QMenu::separator { height: 1px; background: %2; margin: 2px 4px; }")
                 .arg(Css(back), Css(text), Css(selectionBack), Css(selectionText));
    ApplyStyle();
}

void MenuBar::ApplyStyle()
{
    setStyleSheet(style_);
}

} // namespace studio
