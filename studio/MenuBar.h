// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QMenuBar>
#include <QString>

#include <cstdint>
#include <vector>

class QAction;

namespace studio
{

// The studio's menu bar: items are added with a parent key, their own key, a kind, a caption
// and an icon index into the image list; a click reports the item's index, whose key the host
// reads back.
class MenuBar : public QMenuBar
{
    Q_OBJECT
  public:
    enum Kind : int { Normal = 0, Separator = 3 };

    explicit MenuBar(QWidget *parent = nullptr);

    // The icons by index ("SmallImages"); a null image leaves the item without one.
    void SetImageList(std::vector<QImage> images) { images_ = std::move(images); }
    // Returns the new item's index, or -1 when the parent key names no item.
    int AddItem(const QString &parentKey, const QString &key, int kind, const QString &caption,
                int icon = -1);
    int Count() const { return static_cast<int>(items_.size()); }
    QString Key(int index) const;
    QString ItemCaption(int index) const;
    // The action that carries the item (for tests and the keyboard).
    QAction *Action(int index) const;

    void SetFontName(const QString &name);
    void SetFontSize(double points);

    // Colours as 0x00BBGGRR.
    void SetColours(std::uint32_t back, std::uint32_t text, std::uint32_t selectionBack,
                    std::uint32_t selectionText);

  Q_SIGNALS:
    void ItemClick(int index);

  private:
    struct Item {
        QString key;
        QString caption;
        int kind;
        QMenu *menu = nullptr; // top-level items
        QAction *action = nullptr;
    };
    void ApplyStyle();

    std::vector<Item> items_;
    std::vector<QImage> images_;
    QString style_;
};

} // namespace studio
