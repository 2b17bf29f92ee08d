// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/FollowAlong.h"

#include "speech/SpeechEngine.h"
#include "studio/StudioStrings.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace studio
{

namespace
{

// Marks the extra selections that are this class's, so those of anyone else are left alone.
constexpr int kOwnSelection = QTextFormat::UserProperty + 0x4641;
// Where a word scrolled into view ends up: a third of the way down, so the next lines show too.
constexpr int kViewFraction = 3;

QColor Mix(const QColor &a, const QColor &b, double share)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * share,
                            a.greenF() + (b.greenF() - a.greenF()) * share,
                            a.blueF() + (b.blueF() - a.blueF()) * share);
}

// Keeps a colour's lightness on the page's side of mid-grey, so text that reads on the page reads on it.
QColor SameSide(const QColor &colour, bool light)
{
    const QColor hsl = colour.toHsl();
    const double lightness = light ? std::clamp<double>(hsl.lightnessF(), 0.58, 0.97)
                                   : std::clamp<double>(hsl.lightnessF(), 0.08, 0.4);
    return QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), lightness).toRgb();
}

// A range after an edit: moved along, or gone when the edit touched it.
std::optional<FollowAlong::Range> AfterEdit(const std::optional<FollowAlong::Range> &range, int position,
                                            int removed, int added)
{
    if (!range)
        return range;
    if (position + removed <= range->first)
        return FollowAlong::Range{range->first + added - removed, range->second};
    if (position >= range->first + range->second)
        return range;
    return std::nullopt;
}

QString DocumentText(const QTextDocument *document, int position, int length)
{
    QTextCursor cursor(const_cast<QTextDocument *>(document));
    cursor.setPosition(position);
    cursor.setPosition(position + length, QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace

FollowAlong::FollowAlong(QTextEdit *editor, speech::SpeechEngine *engine, QWidget *window, QObject *parent)
    : QObject(parent), editor_(editor), window_(window)
{
    connect(engine, &speech::SpeechEngine::WordReached, this, &FollowAlong::OnWord);
    connect(engine, &speech::SpeechEngine::SentenceReached, this, &FollowAlong::OnSentence);
    connect(engine, &speech::SpeechEngine::OutputStopped, this, &FollowAlong::Clear);
    connect(editor->document(), &QTextDocument::contentsChange, this, &FollowAlong::OnContentsChange);
    connect(editor, &QTextEdit::cursorPositionChanged, this, &FollowAlong::UserMoved);
    connect(editor->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!scrolling_)
            UserMoved();
    });
}

FollowAlong::Colours FollowAlong::ColoursFor(const QColor &back)
{
    // On a light page a warm marker and a faint grey shade; on a dark page the same, lifted, so
    // the text keeps the contrast it had against the page.
    const bool light = back.lightnessF() >= 0.5;
    Colours c;
    c.word =
        SameSide(light ? Mix(back, QColor(255, 196, 0), 0.55) : Mix(back, QColor(70, 130, 255), 0.5), light);
    c.sentence = SameSide(
        light ? Mix(back, QColor(120, 120, 120), 0.12) : Mix(back, QColor(255, 255, 255), 0.12), light);
    if (c.sentence == back)
        c.sentence = light ? back.darker(108) : back.lighter(160);
    return c;
}

void FollowAlong::Start(const QString &text, int base, bool recording)
{
    if (!editor_)
        return;
    if (recording && !recording_ && window_)
        caption_ = window_->windowTitle();
    text_ = text;
    base_ = base;
    edits_.clear();
    active_ = true;
    recording_ = recording_ || recording;
    percent_ = -1;
    sinceUser_.invalidate();
    word_.reset();
    sentence_.reset();
    Show();
}

void FollowAlong::Clear()
{
    active_ = false;
    edits_.clear();
    text_.clear();
    if (recording_ && window_)
        window_->setWindowTitle(caption_);
    recording_ = false;
    if (word_ || sentence_) {
        word_.reset();
        sentence_.reset();
        Show();
    }
}

void FollowAlong::OnContentsChange(int position, int removed, int added)
{
    // A change that keeps the length (formatting, or a character typed over another) moves
    // nothing; Locate still checks the text is the one spoken.
    if (active_ && removed != added)
        edits_.push_back({position, removed, added});
    // What is shown moves with the text, and goes when the edit touches it.
    const auto word = AfterEdit(word_, position, removed, added);
    const auto sentence = AfterEdit(sentence_, position, removed, added);
    if (word != word_ || sentence != sentence_) {
        word_ = word;
        sentence_ = sentence;
        Show();
    }
}

std::optional<int> FollowAlong::Map(int offset) const
{
    int at = base_ + offset;
    for (const Edit &e : edits_) {
        if (at >= e.position + e.removed)
            at += e.added - e.removed;
        else if (at >= e.position && e.removed > 0)
            return std::nullopt; // removed by the edit
    }
    return at;
}

std::optional<FollowAlong::Range> FollowAlong::Locate(int start, int length) const
{
    if (!editor_ || start < 0 || length <= 0 || start + length > text_.size())
        return std::nullopt;
    const std::optional<int> from = Map(start);
    const std::optional<int> to = Map(start + length - 1);
    if (!from || !to || *to - *from != length - 1)
        return std::nullopt;
    const QTextDocument *document = editor_->document();
    if (*from < 0 || *to >= document->characterCount() - 1)
        return std::nullopt; // the document was shortened under the speech
    if (DocumentText(document, *from, length) != QStringView(text_).mid(start, length))
        return std::nullopt;
    return Range{*from, length};
}

void FollowAlong::OnWord(int start, int length)
{
    if (!active_ || recording_)
        return;
    const std::optional<Range> found = Locate(start, length);
    if (!found || found == word_)
        return; // an edited-away word is skipped: the last one shown stays until the next
    word_ = found;
    Show();
    KeepInView();
}

void FollowAlong::OnSentence(int start, int length)
{
    if (!active_)
        return;
    if (recording_ && window_ && !text_.isEmpty()) {
        const int percent = static_cast<int>(qint64(start) * 100 / text_.size());
        if (percent != percent_) {
            percent_ = percent;
            window_->setWindowTitle(strings::RecordingTitle.arg(caption_).arg(percent));
        }
    }
    const std::optional<Range> found = Locate(start, length);
    if (found == sentence_)
        return;
    sentence_ = found;
    Show();
    if (recording_)
        KeepInView();
}

void FollowAlong::Show()
{
    if (!editor_)
        return;
    QList<QTextEdit::ExtraSelection> selections;
    for (const QTextEdit::ExtraSelection &s : editor_->extraSelections()) {
        if (!s.format.hasProperty(kOwnSelection))
            selections.append(s);
    }
    const Colours colours = ColoursFor(editor_->palette().color(QPalette::Base));
    auto add = [&](const Range &range, const QColor &colour) {
        QTextEdit::ExtraSelection s;
        s.cursor = QTextCursor(editor_->document());
        s.cursor.setPosition(range.first);
        s.cursor.setPosition(range.first + range.second, QTextCursor::KeepAnchor);
        s.format.setBackground(colour);
        s.format.setProperty(kOwnSelection, true);
        selections.append(s);
    };
    if (sentence_)
        add(*sentence_, colours.sentence);
    if (word_)
        add(*word_, colours.word);
    editor_->setExtraSelections(selections);
}

void FollowAlong::UserMoved()
{
    if (active_)
        sinceUser_.start();
}

void FollowAlong::KeepInView()
{
    const std::optional<Range> target = word_ ? word_ : sentence_;
    if (!editor_ || !target)
        return;
    if (sinceUser_.isValid() && sinceUser_.elapsed() < kUserQuietMilliseconds)
        return;
    QTextCursor cursor(editor_->document());
    cursor.setPosition(target->first);
    const QRect at = editor_->cursorRect(cursor);
    const QRect view = editor_->viewport()->rect();
    if (view.contains(at))
        return;
    QScrollBar *bar = editor_->verticalScrollBar();
    scrolling_ = true;
    bar->setValue(bar->value() + at.top() - view.height() / kViewFraction);
    scrolling_ = false;
}

} // namespace studio
