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

QColor ToQColor(std::uint32_t colour)
{
    const std::uint32_t rgb = gdi::TranslateColour(colour);
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

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
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection())
        cursor.mergeCharFormat(format);
    mergeCurrentCharFormat(format);
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
    QTextCharFormat f;
    f.setFontFamilies(QStringList{name});
    MergeSelection(f);
}

void RichTextBox::SetSelFontSize(double points)
{
    if (!(points > 0 && points <= 1638))
        return;
    QTextCharFormat f;
    f.setFontPointSize(points);
    MergeSelection(f);
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
    f.setForeground(ToQColor(colour));
    MergeSelection(f);
}

void RichTextBox::SetBackColor(std::uint32_t colour)
{
    backColor_ = colour;
    QPalette p = palette();
    p.setColor(QPalette::Base, ToQColor(colour));
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
