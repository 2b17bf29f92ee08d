// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

class QTextEdit;
class QWidget;

namespace speech
{
class SpeechEngine;
}

namespace studio
{

// Shows in the editor where the reading is: the word being heard highlighted and its sentence
// shaded, as extra selections of the editor, so the document's text and formats never change.
// Positions follow the text through edits made while it is spoken; a word edited away is skipped
// and a range whose text is no longer the spoken one is never shown. The editor scrolls to keep
// the word in view unless the user scrolled or moved the caret in the last kUserQuietMilliseconds.
// While a recording runs, the sentence being written is shaded and the window title tells how
// far it has got. Paused, the highlight stays; when the output stops or ends, it goes.
class FollowAlong : public QObject
{
    Q_OBJECT
  public:
    using Range = std::pair<int, int>; // document position, length

    static constexpr int kUserQuietMilliseconds = 3000;

    FollowAlong(QTextEdit *editor, speech::SpeechEngine *engine, QWidget *window, QObject *parent = nullptr);

    // `text` has been handed to the engine; its offset 0 is document position `base`.
    void Start(const QString &text, int base, bool recording);
    // Removes the highlight and gives the window its caption back.
    void Clear();

    // What is shown now, in document positions.
    std::optional<Range> Word() const { return word_; }
    std::optional<Range> Sentence() const { return sentence_; }

    struct Colours {
        QColor word;
        QColor sentence;
    };
    // Highlight colours that stay readable on `back`: the same side of mid-grey, clearly apart.
    static Colours ColoursFor(const QColor &back);

  private:
    struct Edit {
        int position;
        int removed;
        int added;
    };
    void OnContentsChange(int position, int removed, int added);
    void OnWord(int start, int length);
    void OnSentence(int start, int length);
    // The document range of a range of the spoken text, when that text is still there unchanged.
    std::optional<Range> Locate(int start, int length) const;
    std::optional<int> Map(int offset) const;
    void Show();
    void KeepInView();
    void UserMoved();

    QPointer<QTextEdit> editor_;
    QPointer<QWidget> window_;
    QString text_;
    int base_ = 0;
    bool active_ = false;
    bool recording_ = false;
    QString caption_;
    int percent_ = -1;
    std::vector<Edit> edits_;
    std::optional<Range> word_;
    std::optional<Range> sentence_;
    QElapsedTimer sinceUser_;
    bool scrolling_ = false;
};

} // namespace studio
