// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTextEdit>

#include <cstdint>
#include <memory>
#include <optional>

class QMenu;

namespace studio
{

// The rich-text editor the studio speaks from, with the members the studio uses. Positions and
// lengths count characters of the plain text (a paragraph break is one character).
class RichTextBox : public QTextEdit
{
    Q_OBJECT
  public:
    explicit RichTextBox(QWidget *parent = nullptr);

    // The whole document as plain text; writing replaces it (an empty string empties the editor).
    QString Text() const;
    void SetText(const QString &text);

    int SelStart() const;
    // Puts the caret at `start` (clamped to the text), nothing selected.
    void SetSelStart(int start);
    int SelLength() const;
    // Selects from SelStart on, `length` characters (clamped to the text).
    void SetSelLength(int length);
    QString SelText() const;
    // Replaces the selection, or inserts at the caret when nothing is selected.
    void SetSelText(const QString &text);

    // True or false when the whole selection agrees, nothing when it is mixed. With nothing
    // selected, the format text typed at the caret would get.
    std::optional<bool> SelBold() const;
    void SetSelBold(bool bold);
    std::optional<bool> SelItalic() const;
    void SetSelItalic(bool italic);

    void SetSelFontName(const QString &name);
    void SetSelFontSize(double points);
    void SetSelUnderline(bool underline);
    void SetSelStrikethru(bool strikethrough);
    void SetSelColor(std::uint32_t colour);

    std::uint32_t BackColor() const { return backColor_; }
    void SetBackColor(std::uint32_t colour);

    QString Tag() const { return tag_; }
    void SetTag(const QString &tag) { tag_ = tag; }

    // Replaces the content with the rich-text document at `path`; Text then gives its plain
    // text. Returns false and fills `error` when the file cannot be read.
    bool LoadFile(const QString &path, QString *error = nullptr);

    void SetFocus();

    // The context menu for a click at `position` (in document coordinates): the editor's standard menu
    // and whatever the ContextMenuAboutToShow handlers add to it.
    std::unique_ptr<QMenu> ContextMenu(const QPoint &position);

  Q_SIGNALS:
    // The context menu is being built; handlers add their items to `menu`.
    void ContextMenuAboutToShow(QMenu *menu);

  protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

  private:
    void MergeSelection(const QTextCharFormat &format);
    // Whether every character of the selection has `test`; nothing when they differ.
    template <typename Test> std::optional<bool> SelectionAgrees(Test test) const;

    std::uint32_t backColor_ = 0xFFFFFF;
    QString tag_;
};

} // namespace studio
