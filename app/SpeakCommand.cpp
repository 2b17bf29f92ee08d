// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SpeakCommand.h"

#include "platform/services/EventLog.h"
#include "speech/Lexicon.h"
#include "speech/ReadingFilters.h"
#include "speech/SpeechBackend.h"
#include "speech/SpeechStatus.h"
#include "speech/SpeechStrings.h"
#include "speech/SpokenText.h"
#include "speech/SubtitleWriter.h"
#include "speech/VoiceCatalogue.h"
#include "studio/StudioStrings.h"
#include "studio/documents/DocumentFile.h"
#include "studio/documents/EpubReader.h"
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/TextForEditor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSaveFile>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStringConverter>
#include <QStringDecoder>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <set>

#include <sndfile.h>

namespace {

// While the tool runs, what the engine writes to the event log is also what the user should read:
// show it on standard error and still pass it on to the system log.
class TeeEventLog : public services::EventLog {
public:
    TeeEventLog(QTextStream *err, services::EventLog *next) : err_(err), next_(next) {}
    void Write(int type, const QString &text) override
    {
        if (err_)
            *err_ << "orvena-speak: " << text << Qt::endl;
        if (next_)
            next_->Write(type, text);
    }

private:
    QTextStream *err_;
    services::EventLog *next_;
};

// "Recording book.mp3 [#########-----------]  45%  0:12 left", or without the time when unknown.
QString ProgressLine(const QString &name, int percent, qint64 elapsedMs)
{
    constexpr int kWidth = 20;
    const int filled = percent * kWidth / 100;
    QString line = QStringLiteral("Recording %1 [%2%3] %4%").arg(name, QString(filled, u'#'), QString(kWidth - filled, u'-'))
                       .arg(percent, 3);
    if (elapsedMs > 500 && percent > 0 && percent < 100) {
        const qint64 left = elapsedMs * (100 - percent) / percent / 1000;
        line += QStringLiteral("  %1:%2 left").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0'));
    }
    return line + QStringLiteral("     ");
}

// The length of a recorded file in whole seconds; -1 when it cannot be read back.
int SecondsOf(const QString &path)
{
    SF_INFO info{};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return -1;
    sf_close(file);
    return info.samplerate > 0 ? int(info.frames / info.samplerate) : -1;
}

QString RangeText(const speech::SettingRange &range)
{
    return QStringLiteral("%1-%2").arg(range.minimum).arg(range.maximum);
}

} // namespace

SpeakCommand::SpeakCommand(Io io, speech::SpeechEngine::Environment environment)
    : io_(io), environment_(std::move(environment))
{
}

const speech::VoiceCatalogue &SpeakCommand::Catalogue()
{
    // Loaded when first needed: --print-text and --help need no speech library.
    if (!environment_.catalogue)
        environment_.catalogue = speech::VoiceCatalogue::Installed();
    return *environment_.catalogue;
}

void SpeakCommand::Message(const QString &text)
{
    if (io_.err)
        *io_.err << "orvena-speak: " << text << Qt::endl;
}

int SpeakCommand::Run(const QStringList &arguments)
{
    QString error;
    const std::optional<SpeakOptions> options = SpeakOptions::Parse(arguments, &error);
    if (!options) {
        Message(error);
        if (io_.err)
            *io_.err << "Try 'orvena-speak --help' for more information." << Qt::endl;
        return kUsage;
    }
    switch (options->action) {
    case SpeakOptions::Action::Help:
        if (io_.out)
            *io_.out << SpeakOptions::HelpText() << Qt::flush;
        return kDone;
    case SpeakOptions::Action::Version:
        if (io_.out)
            *io_.out << "orvena-speak " << ORVENA_VERSION << Qt::endl;
        return kDone;
    case SpeakOptions::Action::ListVoices:
        return ListVoices(*options);
    case SpeakOptions::Action::PrintText:
        return PrintText(*options);
    case SpeakOptions::Action::Batch:
        return Batch(*options);
    case SpeakOptions::Action::Speak:
        break;
    }
    return Speak(*options);
}

speech::Prosody SpeakCommand::DefaultProsody(const speech::VoiceMode &mode, int index)
{
    // The studio's voices are the first modes of the catalogue, under their speaker names.
    for (std::size_t i = 0; i < studio::strings::Voices.size(); ++i) {
        const auto &voice = studio::strings::Voices[i];
        if (index == int(i) + 1 && mode.speaker == QLatin1String(voice.speaker))
            return {voice.speed, voice.tone};
    }
    const speech::Prosody natural =
        mode.backend ? mode.backend->NaturalProsody(mode.voice.id) : speech::Prosody{};
    return {mode.voice.speed.Clamp(natural.wordsPerMinute), mode.voice.pitch.Clamp(natural.pitchHz)};
}

int SpeakCommand::ListVoices(const SpeakOptions &options)
{
    const auto &catalogue = Catalogue();
    for (int i = 1; i <= catalogue.Count(); ++i) {
        const speech::VoiceMode &m = *catalogue.Mode(i);
        *io_.out << i << '\t' << m.speaker << '\t' << m.voice.language << '\t'
                 << speech::GenderName(m.voice.gender) << '\t' << m.backend->Name() << '\t'
                 << RangeText(m.voice.speed) << '\t' << RangeText(m.voice.pitch);
        if (options.withDefaults) {
            const speech::Prosody p = DefaultProsody(m, i);
            *io_.out << '\t' << p.wordsPerMinute << '\t' << p.pitchHz;
        }
        *io_.out << '\n';
    }
    io_.out->flush();
    return kDone;
}

int SpeakCommand::FindVoice(const QString &voice)
{
    const auto &catalogue = Catalogue();
    const QString wanted = voice.trimmed();
    bool numeric = false;
    const int asNumber = wanted.toInt(&numeric);
    if (numeric)
        return catalogue.Mode(asNumber) ? asNumber : 0;
    for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (int i = 1; i <= catalogue.Count(); ++i) {
            if (catalogue.Mode(i)->speaker.trimmed().compare(wanted, cs) == 0)
                return i;
        }
    }
    return 0;
}

// Exactly what the studio's Open button would put into the editor, or the studio's message.
int SpeakCommand::PrintText(const SpeakOptions &options)
{
    if (options.filter && !documents::IsOpenFilterIndex(*options.filter)) {
        Message(QStringLiteral("--filter %1: the open dialog has filters 1 to %2")
                    .arg(*options.filter)
                    .arg(documents::OpenFilterCount()));
        return kUsage;
    }
    const int filter = options.filter.value_or(documents::FilterIndexForPath(options.inputFile));
    const documents::DocumentText document = documents::TextForEditor(options.inputFile, filter);
    if (!document.ok) {
        Message(document.error);
        return kInputUnreadable;
    }
    if (io_.out) {
        io_.out->setEncoding(QStringConverter::Utf8);
        // In slices: the stream would otherwise hold a copy of the whole text and its UTF-8 form.
        constexpr qsizetype kSlice = 1 << 20;
        const QStringView text(document.text);
        for (qsizetype at = 0; at < text.size();) {
            qsizetype length = std::min(kSlice, text.size() - at);
            // A surrogate pair stays in one slice.
            if (at + length < text.size() && text[at + length - 1].isHighSurrogate())
                --length;
            *io_.out << text.sliced(at, length);
            at += length;
        }
        *io_.out << Qt::flush;
    }
    return kDone;
}

bool SpeakCommand::ReadInput(const SpeakOptions &options, QString *text, std::vector<audiobook::ChapterStart> *chapters)
{
    if (options.text) {
        *text = *options.text;
        return true;
    }
    // A document is read as the studio would open it; plain text (and anything unknown) as text.
    const int filter = options.inputFile == QLatin1String("-") ? documents::kFilterText
                                                                : documents::FilterIndexForPath(options.inputFile);
    if (filter == documents::kFilterEpub) {
        QString why;
        std::optional<documents::EpubReader::Book> book = documents::EpubReader::Read(options.inputFile, &why);
        if (!book) {
            Message(QStringLiteral("cannot read \"%1\": %2").arg(options.inputFile, why));
            return false;
        }
        *text = std::move(book->text);
        if (chapters) {
            for (const auto &c : book->chapters)
                chapters->push_back({c.title, c.start});
        }
        return true;
    }
    if (filter != documents::kFilterText && filter != documents::kFilterAllFiles) {
        documents::DocumentText document = documents::TextForEditor(options.inputFile, filter);
        if (!document.ok) {
            Message(QStringLiteral("cannot read \"%1\": %2").arg(options.inputFile, document.error));
            return false;
        }
        *text = std::move(document.text);
        return true;
    }
    documents::DocumentBytes input;
    if (options.inputFile == QLatin1String("-")) {
        if (!io_.input || !io_.input->isReadable()) {
            Message(QStringLiteral("cannot read standard input"));
            return false;
        }
        input = documents::ReadDeviceBytes(*io_.input);
    } else {
        input = documents::ReadDocumentBytes(options.inputFile);
    }
    // Standard input, a pipe or a device is read with the same cap as a file.
    if (input.status == documents::DocumentBytes::Status::TooLarge) {
        Message(QString::fromLatin1(documents::kErrorTooLarge));
        return false;
    }
    if (!input.ok()) {
        const QString name = options.inputFile == QLatin1String("-")
                                 ? QStringLiteral("standard input")
                                 : QStringLiteral("\"%1\"").arg(options.inputFile);
        Message(QStringLiteral("cannot read %1: %2").arg(name, input.reason));
        return false;
    }
    const QByteArray &data = input.bytes;
    // UTF-8 unless a byte-order mark says otherwise; text that is not valid UTF-8 is taken as Latin-1.
    const auto encoding = QStringConverter::encodingForData(data);
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
    *text = decoder.decode(data);
    if (decoder.hasError())
        *text = QString::fromLatin1(data);
    return true;
}

int SpeakCommand::Speak(const SpeakOptions &options)
{
    const auto &catalogue = Catalogue();
    const int index = FindVoice(options.voice);
    if (index == 0) {
        Message(QStringLiteral("no voice \"%1\" (orvena-speak --list-voices shows them)").arg(options.voice));
        return kRejected;
    }
    const speech::VoiceMode &mode = *catalogue.Mode(index);

    QString text;
    std::vector<audiobook::ChapterStart> chapters;
    if (!ReadInput(options, &text, &chapters))
        return kInputUnreadable;

    services::EventLog &previousLog = services::EventLog::Current();
    TeeEventLog tee(io_.err, &previousLog);
    services::EventLog::SetCurrent(&tee);
    struct RestoreLog {
        services::EventLog *log;
        ~RestoreLog() { services::EventLog::SetCurrent(log); }
    } restore{&previousLog};

    // Progress arrives from the synthesis thread; it is drawn here, on this thread.
    std::atomic<qint64> done{0}, total{0};
    speech::SpeechEngine::Environment environment = environment_;
    const bool showProgress = io_.progress && !options.quiet && !options.output.isEmpty();
    if (showProgress) {
        auto previous = environment.progress;
        environment.progress = [&done, &total, previous](qint64 d, qint64 t) {
            done = d;
            total = t;
            if (previous)
                previous(d, t);
        };
    }
    speech::SpeechEngine engine(environment);
    engine_ = &engine;
    struct ClearEngine {
        speech::SpeechEngine **engine;
        ~ClearEngine() { *engine = nullptr; }
    } clearEngine{&engine_};

    engine.SelectVoiceMode(index);
    std::optional<speech::Prosody> defaults;
    if (!options.speed || !options.pitch)
        defaults = DefaultProsody(mode, index);
    const int speed = options.speed ? *options.speed : defaults->wordsPerMinute;
    const int pitch = options.pitch ? *options.pitch : defaults->pitchHz;
    engine.SetSpeed(speed);
    if (engine.GetLastStatus() == speech::E_UNEXPECTED) {
        Message(QStringLiteral("voice \"%1\" takes speeds of %2 words per minute, not %3")
                    .arg(mode.speaker, RangeText(mode.voice.speed))
                    .arg(speed));
        return kRejected;
    }
    engine.SetPitch(pitch);
    if (engine.GetLastStatus() == speech::E_UNEXPECTED) {
        Message(QStringLiteral("voice \"%1\" takes pitches of %2 Hz, not %3")
                    .arg(mode.speaker, RangeText(mode.voice.pitch))
                    .arg(pitch));
        return kRejected;
    }
    if (!options.output.isEmpty()) {
        speech::RecordingOptions recording;
        recording.quality = options.quality;
        recording.tags.title = options.title;
        if (recording.tags.title.isEmpty() && !options.text && options.inputFile != QLatin1String("-"))
            recording.tags.title = QFileInfo(options.inputFile).completeBaseName();
        recording.tags.artist = options.artist;
        recording.tags.album = options.album;
        engine.SetRecordingOptions(recording);
        engine.SetOutputWaveFile(options.output);
    }
    if (!ApplyReadingOptions(options, engine))
        return kInputUnreadable;
    // A subtitle file that cannot be written is known before anything is recorded.
    std::unique_ptr<speech::SubtitleWriter> subtitles;
    if (!options.subtitles.isEmpty()) {
        QString error;
        subtitles = speech::SubtitleWriter::Open(options.subtitles, &error);
        if (!subtitles) {
            Message(QStringLiteral("cannot write subtitles: %1").arg(error));
            return kOutputFailed;
        }
    }

    // Speaks `spoken` into the engine's output (the file `target`, when recording) and waits for
    // the end: the engine's status, or kInterrupted.
    auto run = [&](const QString &spoken, const QString &target) -> int {
        done = 0;
        total = 0;
        QEventLoop loop;
        bool stopped = false;
        QObject::connect(&engine, &speech::SpeechEngine::OutputStopped, &loop, [&] {
            stopped = true;
            loop.quit();
        });
        QTimer progressTimer;
        int shownPercent = -1;
        if (showProgress) {
            progressTimer.setInterval(100);
            QElapsedTimer clock;
            clock.start();
            QObject::connect(&progressTimer, &QTimer::timeout, &loop, [&, clock] {
                const qint64 t = total;
                const int percent = t > 0 ? int(done * 100 / t) : 0;
                if (percent != shownPercent) {
                    shownPercent = percent;
                    *io_.err << "\r" << ProgressLine(QFileInfo(target).fileName(), percent, clock.elapsed()) << Qt::flush;
                }
            });
            progressTimer.start();
        }

        engine.Speak(spoken);
        const std::uint32_t started = engine.GetLastStatus();
        if (started != speech::S_OK) {
            // The engine has said why in the log; the event it queued for the failed start ends nothing here.
            return started == speech::E_UNEXPECTED ? kRejected : kOutputFailed;
        }
        if (interrupted_)
            engine.StopAudio();
        if (!stopped)
            loop.exec();
        progressTimer.stop();
        const std::uint32_t status = engine.GetLastStatus();
        if (showProgress && shownPercent >= 0) {
            if (status == speech::S_OK && !interrupted_)
                *io_.err << "\r" << ProgressLine(QFileInfo(target).fileName(), 100, -1);
            *io_.err << "\n" << Qt::flush;
        }
        if (interrupted_)
            return kInterrupted;
        switch (status) {
        case speech::S_OK:
            return kDone;
        case speech::E_FAIL:
            return kSynthesisFailed;
        case speech::E_UNEXPECTED:
            return kRejected;
        default:
            return kOutputFailed;
        }
    };
    if (options.splitChapters || options.splitMinutes)
        return RecordParts(options, text, chapters, speed, engine, run);
    const int code = run(text, options.output);
    if (code == kDone && subtitles)
        return WriteSubtitles(options, *subtitles, text, engine.RecordedMarks(), mode.voice.sampleRate);
    return code;
}

// The subtitles of a recording that was written. When they cannot be, the recording goes too: the
// command fails and leaves neither file.
int SpeakCommand::WriteSubtitles(const SpeakOptions &options, speech::SubtitleWriter &writer, const QString &text,
                                 const std::vector<speech::SpeechMark> &marks, int sampleRate)
{
    // Text the reading filters skipped was not spoken; it is not shown between the words either.
    speech::SpokenText shown(text);
    speech::ReadingFilters::Apply(shown, options.skip);
    std::vector<speech::SpeechMark> shownMarks;
    for (speech::SpeechMark m : marks) {
        const qsizetype start = shown.ToSpoken(m.start);
        m.length = shown.ToSpoken(m.start + m.length) - start;
        m.start = start;
        shownMarks.push_back(m);
    }
    QString error;
    if (writer.Commit(speech::SubtitleWriter::Cues(shown.Text(), shownMarks, sampleRate), &error))
        return kDone;
    Message(QStringLiteral("cannot write subtitles: %1").arg(error));
    const QFileInfo recording(options.output);
    if (options.output != QLatin1String("-") && recording.isFile())
        QFile::remove(recording.canonicalFilePath());
    return kOutputFailed;
}

// Pronunciation rules and reading filters. A rules file that cannot be read fails the command (the
// user named it); its broken lines are only reported, the other rules still apply.
bool SpeakCommand::ApplyReadingOptions(const SpeakOptions &options, speech::SpeechEngine &engine)
{
    if (!options.lexicons.isEmpty()) {
        auto lexicon = std::make_shared<speech::Lexicon>();
        bool readable = true;
        for (const QString &file : options.lexicons) {
            const std::size_t before = lexicon->Problems().size();
            lexicon->AddFile(file);
            for (std::size_t i = before; i < lexicon->Problems().size(); ++i) {
                const speech::Lexicon::Problem &p = lexicon->Problems()[i];
                if (p.line == 0) {
                    readable = false;
                    Message(p.message);
                } else {
                    Message(QStringLiteral("%1: %2 (line skipped)").arg(speech::Lexicon::Where(p), p.message));
                }
            }
        }
        if (!readable)
            return false;
        engine.SetLexicon(std::move(lexicon));
    }
    engine.SetReadingFilters(options.skip);
    return true;
}

int SpeakCommand::RecordParts(const SpeakOptions &options, const QString &text,
                              const std::vector<audiobook::ChapterStart> &chapters, int wordsPerMinute,
                              speech::SpeechEngine &engine, const std::function<int(const QString &, const QString &)> &run)
{
    std::vector<audiobook::Part> parts = options.splitChapters ? audiobook::ChapterParts(text, chapters)
                                                               : audiobook::TimedParts(text, *options.splitMinutes, wordsPerMinute);
    std::erase_if(parts, [&](const audiobook::Part &p) { return QStringView(text).sliced(p.start, p.length).trimmed().isEmpty(); });
    if (parts.empty())
        parts.push_back({QString(), 0, text.size()});
    if (options.splitChapters && parts.size() == 1 && parts.front().title.isEmpty())
        Message(QStringLiteral("no chapters found in %1: recording it as one file")
                    .arg(options.text ? QStringLiteral("the text") : QStringLiteral("\"%1\"").arg(options.inputFile)));
    // The parts are one album: the book's title, unless one was given.
    QString album = options.album;
    if (album.isEmpty())
        album = !options.title.isEmpty() ? options.title
                : (!options.text && options.inputFile != QLatin1String("-"))
                    ? QFileInfo(options.inputFile).completeBaseName()
                    : speech::SoundTags::TitleFromText(text);
    const int count = int(parts.size());
    std::vector<audiobook::PlaylistEntry> entries;
    for (int i = 0; i < count; ++i) {
        const audiobook::Part &part = parts[std::size_t(i)];
        const QString path = audiobook::PartPath(options.output, i + 1, count);
        speech::RecordingOptions recording;
        recording.quality = options.quality;
        recording.tags.title = !part.title.isEmpty() ? part.title : QStringLiteral("%1, part %2").arg(album).arg(i + 1);
        recording.tags.artist = options.artist;
        recording.tags.album = album;
        recording.tags.track = i + 1;
        recording.tags.trackCount = count;
        engine.SetRecordingOptions(recording);
        engine.SetOutputWaveFile(path);
        const int code = run(text.mid(part.start, part.length), path);
        if (code != kDone) {
            if (i > 0)
                Message(QStringLiteral("stopped at part %1 of %2; the %3 finished before it are kept")
                            .arg(i + 1)
                            .arg(count)
                            .arg(i));
            return code;
        }
        entries.push_back({QFileInfo(path).fileName(), recording.tags.title, SecondsOf(path)});
    }
    const QString playlist = audiobook::PlaylistPath(options.output);
    QSaveFile file(playlist);
    const QByteArray bytes = audiobook::PlaylistText(entries);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        Message(QStringLiteral("cannot write the playlist \"%1\": %2").arg(playlist, file.errorString()));
        return kOutputFailed;
    }
    return kDone;
}

int SpeakCommand::Batch(const SpeakOptions &options)
{
    const QDir dir(options.outputDir);
    if (!QDir().mkpath(options.outputDir) || !QFileInfo(options.outputDir).isWritable()) {
        Message(QStringLiteral("cannot record into the folder \"%1\": it cannot be created or written to").arg(options.outputDir));
        return kOutputFailed;
    }
    QStringList failed;
    std::set<QString> written;
    const int count = int(options.inputFiles.size());
    for (int i = 0; i < count; ++i) {
        const QString &input = options.inputFiles[i];
        // Two documents of the same name ("notes.txt", "notes.docx") must not record over each other.
        const QString base = QFileInfo(input).completeBaseName();
        QString name = base;
        for (int n = 2; written.count(name); ++n)
            name = QStringLiteral("%1-%2").arg(base).arg(n);
        written.insert(name);
        SpeakOptions one = options;
        one.action = SpeakOptions::Action::Speak;
        one.inputFile = input;
        one.output = dir.filePath(name + u'.' + options.format);
        if (!options.subtitlesFormat.isEmpty())
            one.subtitles = dir.filePath(name + u'.' + options.subtitlesFormat);
        if (io_.progress && !options.quiet && io_.err)
            *io_.err << "[" << (i + 1) << "/" << count << "] " << input << Qt::endl;
        const int code = Speak(one);
        if (code == kInterrupted)
            return kInterrupted;
        if (code != kDone) {
            failed << input;
            Message(QStringLiteral("\"%1\" was not recorded (exit status %2); going on").arg(input).arg(code));
        }
    }
    if (failed.isEmpty()) {
        if (!options.quiet)
            Message(QStringLiteral("recorded %1 of %1 documents into \"%2\"").arg(count).arg(options.outputDir));
        return kDone;
    }
    Message(QStringLiteral("recorded %1 of %2 documents; failed: %3").arg(count - failed.size()).arg(count).arg(failed.join(QStringLiteral(", "))));
    return kSynthesisFailed;
}

void SpeakCommand::Interrupt()
{
    interrupted_ = true;
    if (engine_)
        engine_->StopAudio();
}
