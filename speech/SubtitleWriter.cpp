// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SubtitleWriter.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace speech {

namespace {

// A text's white space as one space each, no space at either end.
QString OneLine(QStringView text)
{
    return text.toString().simplified();
}

// Greedy wrapping at spaces; a word longer than a line gets a line of its own.
QStringList Wrap(const QString &text, int width)
{
    QStringList lines;
    QString line;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            lines << line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

QString Clock(double seconds, QChar separator, bool hours)
{
    const qint64 ms = std::max<qint64>(0, std::llround(seconds * 1000));
    const qint64 h = ms / 3600000, m = ms / 60000 % 60, s = ms / 1000 % 60, f = ms % 1000;
    const QString minutesSeconds =
        QStringLiteral("%1:%2%3%4").arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0')).arg(separator).arg(f, 3, 10, QLatin1Char('0'));
    return hours ? QStringLiteral("%1:").arg(h, 2, 10, QLatin1Char('0')) + minutesSeconds : minutesSeconds;
}

// LRC counts minutes without hours, and hundredths.
QString LrcClock(double seconds)
{
    const qint64 cs = std::max<qint64>(0, std::llround(seconds * 100));
    return QStringLiteral("[%1:%2.%3]")
        .arg(cs / 6000, 2, 10, QLatin1Char('0'))
        .arg(cs / 100 % 60, 2, 10, QLatin1Char('0'))
        .arg(cs % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

std::optional<SubtitleWriter::Format> SubtitleWriter::FormatFor(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("srt"))
        return Format::SubRip;
    if (suffix == QLatin1String("vtt"))
        return Format::WebVtt;
    if (suffix == QLatin1String("lrc"))
        return Format::Lrc;
    return std::nullopt;
}

QString SubtitleWriter::UnknownExtensionMessage(const QString &path)
{
    return QStringLiteral("\"%1\" does not end in .srt, .vtt or .lrc").arg(QFileInfo(path).fileName());
}

std::vector<SubtitleWriter::Cue> SubtitleWriter::Cues(const QString &text, const std::vector<SpeechMark> &marks,
                                                      int sampleRate)
{
    std::vector<Cue> cues;
    if (sampleRate <= 0)
        return cues;
    const double rate = sampleRate;
    // The sentences with their words.
    struct Sentence {
        qsizetype start = 0, end = 0;
        std::vector<SpeechMark> words;
    };
    std::vector<Sentence> sentences;
    for (const SpeechMark &m : marks) {
        if (m.kind == SpeechMark::Kind::Sentence)
            sentences.push_back({m.start, m.start + m.length, {}});
        else if (!sentences.empty())
            sentences.back().words.push_back(m);
    }
    double lastEnd = 0;
    for (const Sentence &s : sentences) {
        const std::size_t n = s.words.size();
        // The text of words [a, b]: from the sentence's start (for the first) or word a's start, up
        // to the next word's start or the sentence's end.
        auto piece = [&](std::size_t a, std::size_t b) {
            const qsizetype from = a == 0 ? s.start : s.words[a].start;
            const qsizetype to = b + 1 < n ? s.words[b + 1].start : s.end;
            return OneLine(QStringView(text).mid(from, std::max<qsizetype>(0, to - from)));
        };
        std::size_t a = 0;
        while (a < n) {
            std::size_t b = a;
            while (b + 1 < n && Wrap(piece(a, b + 1), kLineLength).size() <= kLinesPerCue)
                ++b;
            Cue cue;
            cue.begin = std::max(lastEnd, s.words[a].begin / rate);
            cue.end = std::max(cue.begin, s.words[b].end / rate);
            cue.lines = Wrap(piece(a, b), kLineLength);
            lastEnd = cue.end;
            cues.push_back(std::move(cue));
            a = b + 1;
        }
    }
    return cues;
}

QByteArray SubtitleWriter::Render(Format format, const std::vector<Cue> &cues)
{
    QString out;
    switch (format) {
    case Format::SubRip:
        for (std::size_t i = 0; i < cues.size(); ++i)
            out += QStringLiteral("%1\n%2 --> %3\n%4\n\n")
                       .arg(i + 1)
                       .arg(Clock(cues[i].begin, QLatin1Char(','), true), Clock(cues[i].end, QLatin1Char(','), true),
                            cues[i].lines.join(QLatin1Char('\n')));
        break;
    case Format::WebVtt:
        out = QStringLiteral("WEBVTT\n\n");
        for (const Cue &c : cues)
            out += QStringLiteral("%1 --> %2\n%3\n\n")
                       .arg(Clock(c.begin, QLatin1Char('.'), true), Clock(c.end, QLatin1Char('.'), true),
                            c.lines.join(QLatin1Char('\n')));
        break;
    case Format::Lrc:
        // One line per cue; a line with a time and no text ends the last one, as players take it.
        for (const Cue &c : cues)
            out += LrcClock(c.begin) + c.lines.join(QLatin1Char(' ')) + QLatin1Char('\n');
        if (!cues.empty())
            out += LrcClock(cues.back().end) + QLatin1Char('\n');
        break;
    }
    return out.toUtf8();
}

std::unique_ptr<SubtitleWriter> SubtitleWriter::Open(const QString &path, QString *error)
{
    const std::optional<Format> format = FormatFor(path);
    if (!format) {
        if (error)
            *error = UnknownExtensionMessage(path);
        return nullptr;
    }
    if (QFileInfo(path).isDir()) {
        if (error)
            *error = QStringLiteral("\"%1\" is a folder").arg(path);
        return nullptr;
    }
    auto file = std::make_unique<QSaveFile>(path);
    if (!file->open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("cannot write \"%1\": %2").arg(path, file->errorString());
        return nullptr;
    }
    return std::unique_ptr<SubtitleWriter>(new SubtitleWriter(*format, std::move(file)));
}

bool SubtitleWriter::Commit(const std::vector<Cue> &cues, QString *error)
{
    const QByteArray bytes = Render(format_, cues);
    if (file_->write(bytes) != bytes.size() || !file_->commit()) {
        if (error)
            *error = QStringLiteral("cannot write \"%1\": %2").arg(file_->fileName(), file_->errorString());
        file_->cancelWriting();
        return false;
    }
    return true;
}

} // namespace speech
