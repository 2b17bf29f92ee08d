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
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/TextForEditor.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStringConverter>
#include <QStringDecoder>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <atomic>

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

bool SpeakCommand::ReadInput(const SpeakOptions &options, QString *text)
{
    if (options.text) {
        *text = *options.text;
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
    if (!ReadInput(options, &text))
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
    const bool showProgress = io_.progress && !options.output.isEmpty();
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
        QObject::connect(&progressTimer, &QTimer::timeout, &loop, [&] {
            const qint64 t = total;
            const int percent = t > 0 ? int(done * 100 / t) : 0;
            if (percent != shownPercent) {
                shownPercent = percent;
                *io_.err << "\rRecording " << QFileInfo(options.output).fileName() << ": " << percent << "%"
                         << Qt::flush;
            }
        });
        progressTimer.start();
    }

    engine.Speak(text);
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
            *io_.err << "\rRecording " << QFileInfo(options.output).fileName() << ": 100%";
        *io_.err << "\n" << Qt::flush;
    }
    if (interrupted_)
        return kInterrupted;
    if (status == speech::S_OK && subtitles)
        return WriteSubtitles(options, *subtitles, text, engine.RecordedMarks(), mode.voice.sampleRate);
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

void SpeakCommand::Interrupt()
{
    interrupted_ = true;
    if (engine_)
        engine_->StopAudio();
}
