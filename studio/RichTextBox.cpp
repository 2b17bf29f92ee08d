// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/RichTextBox.h"

#include "platform/gdi/Colour.h"
#include "studio/documents/RtfReader.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace studio
{

namespace
{

// Brackets a change of (nearly) the whole document. The editor lays out a change at once, all
// of it, before it shows anything, unless the change is the whole document, which it lays out
// in steps from the top, showing the first screen at once; 10 MB of text take seconds to lay
// out. A document without a page size is not laid out at all: the change is made without one,
// and giving the size back makes it a change of the whole document.
constexpr int kWholeDocumentChange = 100000;
class WholeDocumentChange
{
  public:
    explicit WholeDocumentChange(QTextDocument *document)
        : document_(document), pageSize_(document->pageSize())
    {
        document_->setPageSize(QSizeF(0, 0));
    }
    ~WholeDocumentChange() { document_->setPageSize(pageSize_); }
    WholeDocumentChange(const WholeDocumentChange &) = delete;
    WholeDocumentChange &operator=(const WholeDocumentChange &) = delete;

  private:
    QTextDocument *document_;
    QSizeF pageSize_;
};

bool IsBold(const QTextCharFormat &format)
{
    return format.fontWeight() >= QFont::DemiBold;
}

} // namespace

RichTextBox::RichTextBox(QWidget *parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    SetBackColor(backColor_);
}

QString RichTextBox::Text() const
{
    return toPlainText();
}

void RichTextBox::SetText(const QString &text)
{
    // Keep the typing format: a cleared editor goes on in the font and colour it had.
    const QTextCharFormat typing = currentCharFormat();
    setPlainText(text);
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::Start);
    setTextCursor(cursor);
    if (text.isEmpty())
        setCurrentCharFormat(typing);
}

int RichTextBox::TextLength() const
{
    // The plain text is every character but the document's final paragraph end.
    return std::max(0, document()->characterCount() - 1);
}

QString RichTextBox::PlainTextRoundTrip(QString text)
{
    // The control splits its text into paragraphs at "\r\n", "\r", "\n", U+2029 and the frame
    // marks U+FDD0 and U+FDD1, and gives the paragraph ends, U+2028 and U+00A0 back as "\n" and
    // " ".
    qsizetype out = 0;
    const qsizetype n = text.size();
    QChar *data = text.data();
    for (qsizetype i = 0; i < n; ++i) {
        char16_t c = data[i].unicode();
        switch (c) {
        case u'\r':
            if (i + 1 < n && data[i + 1] == u'\n')
                ++i;
            c = u'\n';
            break;
        case 0x2028:
        case 0x2029:
        case 0xFDD0:
        case 0xFDD1:
            c = u'\n';
            break;
        case 0x00A0:
            c = u' ';
            break;
        default:
            break;
        }
        data[out++] = QChar(c);
    }
    text.truncate(out);
    return text;
}

void RichTextBox::ReplaceText(const QString &text, const CharacterFormat &format)
{
    SetText(QString());
    if (text.isEmpty()) {
        // Nothing to format but what typing at the caret gives: the steps themselves, which cost
        // nothing on an empty document.
        SetSelStart(0);
        SetSelLength(0);
        SetSelFontName(format.fontName);
        SetSelFontSize(format.size);
        SetSelBold(format.bold);
        SetSelItalic(format.italic);
        SetSelUnderline(format.underline);
        SetSelStrikethru(format.strikethru);
        SetSelColor(format.colour);
        SetSelStart(0);
        return;
    }
    // Each step merges one property of its own into every character's format, so the steps
    // together merge all of them at once; the text goes in with that format from the start.
    QTextCharFormat merged = FontNameFormat(format.fontName);
    if (const std::optional<QTextCharFormat> size = FontSizeFormat(format.size))
        merged.merge(*size);
    merged.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    merged.setFontItalic(format.italic);
    merged.setFontUnderline(format.underline);
    merged.setFontStrikeOut(format.strikethru);
    merged.setForeground(gdi::ToQColor(format.colour));

    QTextCharFormat inserted = textCursor().charFormat();
    inserted.merge(merged);
    // Given the whole text at once, the editor puts its typing format on all of it, lays out
    // the first screen and the rest in the background, and leaves the caret at the start with a
    // fresh undo history; given the text any other way it would lay out all of it before showing
    // anything, seconds for a long document.
    setCurrentCharFormat(inserted);
    setPlainText(text);
    // The caret goes on in the format of the text at the start (that of the first paragraph
    // when the text begins with a line end), not in the one the text was inserted with.
    setTextCursor(QTextCursor(document()));
}

int RichTextBox::SelStart() const
{
    return textCursor().selectionStart();
}

void RichTextBox::SetSelStart(int start)
{
    QTextCursor cursor = textCursor();
    const int end = std::max(0, document()->characterCount() - 1);
    cursor.setPosition(std::clamp(start, 0, end));
    setTextCursor(cursor);
}

int RichTextBox::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void RichTextBox::SetSelLength(int length)
{
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = std::max(0, document()->characterCount() - 1);
    cursor.setPosition(start);
    cursor.setPosition(std::clamp(start + std::max(0, length), 0, end), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString RichTextBox::SelText() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

void RichTextBox::SetSelText(const QString &text)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
}

template <typename Test> std::optional<bool> RichTextBox::SelectionAgrees(Test test) const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return test(currentCharFormat());
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    std::optional<bool> agreed;
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= start || fragment.position() >= end)
                continue;
            const bool value = test(fragment.charFormat());
            if (agreed && *agreed != value)
                return std::nullopt;
            agreed = value;
        }
    }
    // A selection of paragraph breaks only: the format at its start.
    if (!agreed) {
        QTextCursor probe(document());
        probe.setPosition(start + 1 <= end ? start + 1 : start);
        return test(probe.charFormat());
    }
    return agreed;
}

std::optional<bool> RichTextBox::SelBold() const
{
    return SelectionAgrees([](const QTextCharFormat &f) { return IsBold(f); });
}

std::optional<bool> RichTextBox::SelItalic() const
{
    return SelectionAgrees([](const QTextCharFormat &f) { return f.fontItalic(); });
}

void RichTextBox::MergeSelection(const QTextCharFormat &format)
{
    // The editor merges into its selection, or into the typing format when nothing is selected.
    const QTextCursor cursor = textCursor();
    if (cursor.selectionEnd() - cursor.selectionStart() >= kWholeDocumentChange) {
        const WholeDocumentChange change(document());
        mergeCurrentCharFormat(format);
    } else {
        mergeCurrentCharFormat(format);
    }
}

QTextCharFormat RichTextBox::FontNameFormat(const QString &name)
{
    QTextCharFormat f;
    f.setFontFamilies(QStringList{name});
    return f;
}

std::optional<QTextCharFormat> RichTextBox::FontSizeFormat(double points)
{
    if (!(points > 0 && points <= 1638))
        return std::nullopt;
    QTextCharFormat f;
    f.setFontPointSize(points);
    return f;
}

void RichTextBox::SetSelBold(bool bold)
{
    QTextCharFormat f;
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    MergeSelection(f);
}

void RichTextBox::SetSelItalic(bool italic)
{
    QTextCharFormat f;
    f.setFontItalic(italic);
    MergeSelection(f);
}

void RichTextBox::SetSelFontName(const QString &name)
{
    MergeSelection(FontNameFormat(name));
}

void RichTextBox::SetSelFontSize(double points)
{
    if (const std::optional<QTextCharFormat> f = FontSizeFormat(points))
        MergeSelection(*f);
}

void RichTextBox::SetSelUnderline(bool underline)
{
    QTextCharFormat f;
    f.setFontUnderline(underline);
    MergeSelection(f);
}

void RichTextBox::SetSelStrikethru(bool strikethrough)
{
    QTextCharFormat f;
    f.setFontStrikeOut(strikethrough);
    MergeSelection(f);
}

void RichTextBox::SetSelColor(std::uint32_t colour)
{
    QTextCharFormat f;
    f.setForeground(gdi::ToQColor(colour));
    MergeSelection(f);
}

void RichTextBox::SetBackColor(std::uint32_t colour)
{
    backColor_ = colour;
    QPalette p = palette();
    p.setColor(QPalette::Base, gdi::ToQColor(colour));
    setPalette(p);
    viewport()->update();
}

bool RichTextBox::LoadFile(const QString &path, QString *error)
{
    const documents::DocumentText loaded = documents::RtfReader::LoadFile(path);
    if (!loaded.ok) {
        if (error)
            *error = loaded.error;
        return false;
    }
    setPlainText(loaded.text);
    return true;
}

void RichTextBox::SetFocus()
{
    setFocus(Qt::OtherFocusReason);
}

std::unique_ptr<QMenu> RichTextBox::ContextMenu(const QPoint &position)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu(position));
    Q_EMIT ContextMenuAboutToShow(menu.get());
    return menu;
}

void RichTextBox::contextMenuEvent(QContextMenuEvent *event)
{
    // The standard menu wants document coordinates (for the link under the mouse).
    const QPoint scrolled(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const std::unique_ptr<QMenu> menu = ContextMenu(event->pos() + scrolled);
    menu->exec(event->globalPos());
}

} // namespace studio
