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
    // Text().size(), without building the text.
    int TextLength() const;

    // The font, size, styles and colour an opened document is given.
    struct CharacterFormat {
        QString fontName;
        double size = 0;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strikethru = false;
        std::uint32_t colour = 0;
    };
    // Replaces the whole text with `text` in `format`, the caret at the start and nothing
    // selected: the document an opened file has always given, that of emptying the editor,
    // inserting the text at the caret, selecting all of it and setting the font name, size,
    // bold, italic, underline, strikethrough and colour one after another, but in one insertion
    // rather than a re-format of the whole document per step. The undo history starts afresh.
    void ReplaceText(const QString &text, const CharacterFormat &format);

    // What Text() gives back after the control was given `text` as its content: every kind of
    // line break becomes "\n" and a non-breaking space a plain space. Computed without a
    // document, so that it can run on any thread.
    static QString PlainTextRoundTrip(QString text);

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
    // The formats the Set* members merge, in one place so that ReplaceText merges the same.
    static QTextCharFormat FontNameFormat(const QString &name);
    static std::optional<QTextCharFormat> FontSizeFormat(double points);
    // Whether every character of the selection has `test`; nothing when they differ.
    template <typename Test> std::optional<bool> SelectionAgrees(Test test) const;

    std::uint32_t backColor_ = 0xFFFFFF;
    QString tag_;
};

} // namespace studio
