// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SpeechPositions.h"

#include <algorithm>

namespace speech
{

namespace
{

// Taken marks are let go in batches of this many, so dropping them costs next to nothing.
constexpr std::size_t kCompactAfter = 1024;

} // namespace

SpeechPositions::SpeechPositions(std::shared_ptr<const Sentences> sentences, qsizetype textLength,
                                 bool keepAll)
    : sentences_(sentences ? std::move(sentences) : std::make_shared<const Sentences>()),
      textLength_(textLength), keepAll_(keepAll)
{
}

int SpeechPositions::SentenceAt(qsizetype offset) const
{
    const auto found = std::upper_bound(
        sentences_->begin(), sentences_->end(), offset,
        [](qsizetype o, const SentenceSplitter::Piece &p) { return o < p.start + p.length; });
    return found == sentences_->end() ? -1 : static_cast<int>(found - sentences_->begin());
}

void SpeechPositions::Start(qint64 streamBase)
{
    std::lock_guard lock(mutex_);
    base_ = streamBase;
}

void SpeechPositions::CloseSentence()
{
    if (openSentence_ < marks_.size())
        marks_[openSentence_].end = std::max(marks_[openSentence_].begin, marks_.back().end);
    openSentence_ = SIZE_MAX;
}

void SpeechPositions::AddWord(qsizetype start, qsizetype length, qint64 begin, qint64 end)
{
    std::lock_guard lock(mutex_);
    if (start < lastWordEnd_ || length <= 0 || start >= textLength_ || begin < lastBegin_)
        return;
    length = std::min(length, textLength_ - start);
    end = std::max(end, begin);
    const auto &list = *sentences_;
    while (sentenceCursor_ < list.size() &&
           list[sentenceCursor_].start + list[sentenceCursor_].length <= start)
        ++sentenceCursor_;
    if (sentenceCursor_ < list.size() && list[sentenceCursor_].start <= start &&
        static_cast<int>(sentenceCursor_) != sentence_) {
        if (!marks_.empty())
            CloseSentence();
        sentence_ = static_cast<int>(sentenceCursor_);
        const SentenceSplitter::Piece &s = list[sentenceCursor_];
        openSentence_ = marks_.size();
        marks_.push_back({SpeechMark::Kind::Sentence, s.start, s.length, begin, end});
    }
    marks_.push_back({SpeechMark::Kind::Word, start, length, begin, end});
    if (openSentence_ < marks_.size())
        marks_[openSentence_].end = end;
    lastWordEnd_ = start + length;
    lastBegin_ = begin;
}

void SpeechPositions::Finish(qint64 totalSamples)
{
    std::lock_guard lock(mutex_);
    if (!marks_.empty())
        CloseSentence();
    total_ = totalSamples;
}

std::optional<qint64> SpeechPositions::StreamBase() const
{
    std::lock_guard lock(mutex_);
    return base_;
}

bool SpeechPositions::Done(qint64 sample) const
{
    std::lock_guard lock(mutex_);
    return total_ && taken_ == marks_.size() && sample >= *total_;
}

std::vector<SpeechMark> SpeechPositions::TakeReached(qint64 sample)
{
    std::lock_guard lock(mutex_);
    std::vector<SpeechMark> out;
    while (taken_ < marks_.size() && marks_[taken_].begin < sample)
        out.push_back(marks_[taken_++]);
    if (!keepAll_ && taken_ >= kCompactAfter) {
        marks_.erase(marks_.begin(), marks_.begin() + static_cast<std::ptrdiff_t>(taken_));
        openSentence_ =
            openSentence_ >= taken_ && openSentence_ != SIZE_MAX ? openSentence_ - taken_ : SIZE_MAX;
        taken_ = 0;
    }
    return out;
}

std::vector<SpeechMark> SpeechPositions::All() const
{
    std::lock_guard lock(mutex_);
    return marks_;
}

} // namespace speech
