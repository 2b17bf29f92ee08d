// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SentenceSplitter.h"
#include "speech/SpeechMark.h"

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace speech
{

// The words and sentences of one text as its synthesis reaches them. The synthesis thread adds the
// words a backend reports (offsets into the whole text, samples counted from the text's first
// sample); each word that opens a sentence of the text is preceded by a mark for that sentence.
// The engine's thread takes the marks whose sound the listener has reached. Words that would go
// backwards in the text or in time, or that lie outside it, are dropped, so the marks always run
// forwards.
class SpeechPositions
{
  public:
    using Sentences = std::vector<SentenceSplitter::Piece>;

    // `keepAll`: keep every mark after it was taken (a recording keeps them for its subtitles);
    // otherwise taken marks are let go so a long text does not pile them up.
    SpeechPositions(std::shared_ptr<const Sentences> sentences, qsizetype textLength, bool keepAll);

    const Sentences &SentenceList() const { return *sentences_; }
    // The sentence holding `offset`, or the first one after it; -1 past the last one.
    int SentenceAt(qsizetype offset) const;

    // Synthesis thread.
    void Start(qint64 streamBase);
    void AddWord(qsizetype start, qsizetype length, qint64 begin, qint64 end);
    void Finish(qint64 totalSamples);

    // Where the text's first sample sits in the stream the output plays; nothing before Start.
    std::optional<qint64> StreamBase() const;
    // Finished, every mark taken and `sample` at or past the text's last sample.
    bool Done(qint64 sample) const;

    // The marks not yet taken whose sound has begun by `sample` (begins before it), in order.
    std::vector<SpeechMark> TakeReached(qint64 sample);
    // Every mark so far (with `keepAll`), sentences ending at their last word's end.
    std::vector<SpeechMark> All() const;

  private:
    void CloseSentence();

    const std::shared_ptr<const Sentences> sentences_;
    const qsizetype textLength_;
    const bool keepAll_;

    mutable std::mutex mutex_;
    std::vector<SpeechMark> marks_;
    std::size_t taken_ = 0;
    std::size_t openSentence_ = SIZE_MAX; // index in marks_ of the sentence whose end is still open
    int sentence_ = -1;                   // index in the sentence list of that sentence
    std::size_t sentenceCursor_ = 0;
    qsizetype lastWordEnd_ = 0;
    qint64 lastBegin_ = -1;
    std::optional<qint64> base_;
    std::optional<qint64> total_;
};

} // namespace speech
