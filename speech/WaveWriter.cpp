// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/WaveWriter.h"

#include "speech/RecordingTarget.h"

#include <QFileInfo>

#include <sndfile.h>
#include <soxr.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace speech {

namespace {

// ID3 text frames as LAME writes them are Latin-1; the other containers take UTF-8.
QByteArray TagBytes(const QString &text, const SoundFormat &format)
{
    return format.container == SoundContainer::Mp3 ? text.toLatin1() : text.toUtf8();
}

// Tags go in before the first sample: FLAC and Ogg write them into their headers.
void SetTags(SNDFILE *file, const SoundFormat &format, const SoundTags &tags)
{
    const std::pair<int, QString> fields[] = {
        {SF_STR_TITLE, tags.title},
        {SF_STR_ARTIST, tags.artist},
        {SF_STR_ALBUM, tags.album},
        {SF_STR_TRACKNUMBER, tags.track > 0 ? QString::number(tags.track) : QString()},
    };
    for (const auto &[field, text] : fields) {
        if (!text.isEmpty())
            sf_set_string(file, field, TagBytes(text, format).constData());
    }
}

void SetQuality(SNDFILE *file, const SoundFormat &format, std::optional<double> quality)
{
    if (format.container == SoundContainer::Wav)
        return;
    if (format.container == SoundContainer::Mp3) {
        int mode = SF_BITRATE_MODE_VARIABLE;
        sf_command(file, SFC_SET_BITRATE_MODE, &mode, sizeof mode);
    }
    double level = SoundFormat::CompressionLevel(quality.value_or(format.defaultQuality));
    sf_command(file, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
}

// The RIFF size and the data chunk size are only known at the end, when libsndfile seeks back to
// write them. A stream cannot go back, so its header says "length unknown" (all bits set) as other
// tools that write WAV into a pipe do; libsndfile, sox and players then read to the end of the data.
void MarkWaveLengthUnknown(char *header, std::size_t size)
{
    if (size < 12 || std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0)
        return;
    std::memset(header + 4, 0xFF, 4);
    std::size_t at = 12;
    while (at + 8 <= size) {
        if (std::memcmp(header + at, "data", 4) == 0) {
            std::memset(header + at + 4, 0xFF, 4);
            return;
        }
        std::uint32_t length = 0;
        for (int i = 3; i >= 0; --i)
            length = (length << 8) | static_cast<unsigned char>(header[at + 4 + static_cast<std::size_t>(i)]);
        at += 8 + std::size_t{length} + (length & 1u);
    }
}

} // namespace

// libsndfile writes through these callbacks when the target is a stream. It believes it has a
// seekable file: writes at the stream's end go out, anything it writes again over bytes already sent
// (the header it fills in at the end) is dropped, and a forward gap is sent as zeros.
struct WaveWriter::StreamCursor {
    RecordingTarget *target = nullptr;
    bool wave = false;
    sf_count_t position = 0;
    sf_count_t sent = 0;

    static StreamCursor &Of(void *user) { return *static_cast<StreamCursor *>(user); }
    static sf_count_t Length(void *user) { return std::max(Of(user).position, Of(user).sent); }
    static sf_count_t Seek(sf_count_t offset, int whence, void *user)
    {
        StreamCursor &c = Of(user);
        const sf_count_t base = whence == SEEK_CUR ? c.position : (whence == SEEK_END ? Length(user) : 0);
        c.position = std::max<sf_count_t>(0, base + offset);
        return c.position;
    }
    static sf_count_t Read(void *, sf_count_t, void *) { return 0; }
    static sf_count_t Tell(void *user) { return Of(user).position; }
    static sf_count_t Write(const void *data, sf_count_t count, void *user)
    {
        StreamCursor &c = Of(user);
        const char *bytes = static_cast<const char *>(data);
        sf_count_t skip = 0;
        if (c.position < c.sent)
            skip = std::min(count, c.sent - c.position);
        while (c.position + skip > c.sent) {
            // libsndfile seeked past the end before writing; what lies between is silence.
            static const char zeros[4096] = {};
            const sf_count_t gap = std::min<sf_count_t>(sizeof zeros, c.position + skip - c.sent);
            if (!c.target->WriteStream(zeros, gap))
                return 0;
            c.sent += gap;
        }
        if (skip < count) {
            const char *from = bytes + skip;
            const sf_count_t size = count - skip;
            bool ok = true;
            if (c.wave && c.sent == 0) {
                std::vector<char> header(from, from + size);
                MarkWaveLengthUnknown(header.data(), header.size());
                ok = c.target->WriteStream(header.data(), size);
            } else {
                ok = c.target->WriteStream(from, size);
            }
            if (!ok)
                return 0;
            c.sent += size;
        }
        c.position += count;
        return count;
    }
};

WaveWriter::WaveWriter() = default;

WaveWriter::~WaveWriter()
{
    Abort();
}

bool WaveWriter::IsStream() const
{
    return stream_ != nullptr;
}

std::unique_ptr<WaveWriter> WaveWriter::Create(const QString &target, int sampleRate, QString *error)
{
    return Create(target, sampleRate, RecordingOptions{}, error);
}

std::unique_ptr<WaveWriter> WaveWriter::Create(const QString &target, int sampleRate, const RecordingOptions &options,
                                               QString *error)
{
    // The kind comes from the name as given ("-" and a name without an extension are WAV), and
    // an unknown one is refused before anything exists on disk.
    const std::optional<SoundFormat> format = SoundFormat::ForPath(target);
    if (!format) {
        if (error)
            *error = QStringLiteral("cannot write \"%1\": %2").arg(target, SoundFormat::UnknownExtensionMessage(target));
        return nullptr;
    }
    std::unique_ptr<WaveWriter> writer(new WaveWriter);
    writer->destination_ = RecordingTarget::Open(target, error);
    if (!writer->destination_)
        return nullptr;
    writer->target_ = writer->destination_->Name();
    QString why;
    if (!writer->OpenSoundFile(*format, sampleRate, &why)) {
        writer->Abort();
        if (error)
            *error = QStringLiteral("cannot write \"%1\": %2").arg(target, why);
        return nullptr;
    }
    // A wave stream's header goes out before the first sample and is never written again, so
    // there is no place for an INFO list in it.
    if (!(writer->IsStream() && format->container == SoundContainer::Wav))
        SetTags(writer->file_, *format, options.tags);
    SetQuality(writer->file_, *format, options.quality);
    return writer;
}

bool WaveWriter::OpenSoundFile(const SoundFormat &soundFormat, int sampleRate, QString *why)
{
    fileRate_ = soundFormat.FileRate(sampleRate);
    if (fileRate_ != sampleRate) {
        soxr_error_t failure = nullptr;
        const soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
        const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
        resampler_ = soxr_create(sampleRate, fileRate_, 1, &failure, &io, &quality, nullptr);
        if (!resampler_) {
            *why = QStringLiteral("cannot resample to %1 Hz: %2").arg(fileRate_).arg(QString::fromUtf8(failure));
            return false;
        }
    }
    SF_INFO format{};
    format.samplerate = fileRate_;
    format.channels = 1;
    format.format = soundFormat.sndfileFormat;
    if (destination_->GetKind() == RecordingTarget::Kind::File) {
        file_ = sf_open_fd(destination_->Descriptor(), SFM_WRITE, &format, SF_FALSE);
    } else {
        stream_ = std::make_unique<StreamCursor>();
        stream_->target = destination_.get();
        stream_->wave = (format.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV;
        static SF_VIRTUAL_IO io{&StreamCursor::Length, &StreamCursor::Seek, &StreamCursor::Read, &StreamCursor::Write,
                                &StreamCursor::Tell};
        file_ = sf_open_virtual(&io, SFM_WRITE, &format, stream_.get());
    }
    if (!file_) {
        *why = destination_->StreamError().isEmpty() ? QString::fromUtf8(sf_strerror(nullptr))
                                                     : destination_->StreamError();
        return false;
    }
    return true;
}

bool WaveWriter::Write(const std::int16_t *samples, std::size_t count)
{
    if (!file_)
        return false;
    if (!resampler_)
        return Encode(samples, count);
    // Enough room for what the resampler may hand back for this input, plus its delay line.
    resampled_.resize(count * static_cast<std::size_t>(fileRate_) / 8000 + 1024);
    std::size_t used = 0, made = 0;
    const soxr_error_t why =
        soxr_process(resampler_, samples, count, &used, resampled_.data(), resampled_.size(), &made);
    if (why) {
        error_ = QStringLiteral("resampling for \"%1\" failed: %2").arg(target_, QString::fromUtf8(why));
        return false;
    }
    return Encode(resampled_.data(), made);
}

bool WaveWriter::Encode(const std::int16_t *samples, std::size_t count)
{
    if (count == 0)
        return true;
    const sf_count_t written = sf_write_short(file_, samples, static_cast<sf_count_t>(count));
    frames_ += written;
    if (written != static_cast<sf_count_t>(count)) {
        const QString why =
            destination_->StreamError().isEmpty() ? QString::fromUtf8(sf_strerror(file_)) : destination_->StreamError();
        error_ = QStringLiteral("writing \"%1\" failed: %2").arg(target_, why);
        return false;
    }
    return true;
}

bool WaveWriter::FlushResampler()
{
    bool ok = true;
    for (;;) {
        resampled_.resize(4096);
        std::size_t made = 0;
        if (soxr_process(resampler_, nullptr, 0, nullptr, resampled_.data(), resampled_.size(), &made) || made == 0)
            break;
        ok = Encode(resampled_.data(), made) && ok;
    }
    return ok;
}

bool WaveWriter::CloseSoundFile(bool finishing)
{
    bool ok = true;
    if (resampler_) {
        // What the resampler still holds is the end of the speech; a discarded recording skips it.
        if (finishing && file_ && error_.isEmpty())
            ok = FlushResampler();
        soxr_delete(resampler_);
        resampler_ = nullptr;
    }
    if (file_) {
        ok = sf_close(file_) == 0 && ok;
        file_ = nullptr;
    }
    return ok;
}

bool WaveWriter::Commit(QString *error)
{
    if (!destination_) {
        if (error)
            *error = QStringLiteral("the recording of \"%1\" was already closed").arg(target_);
        return false;
    }
    if (!error_.isEmpty() || !CloseSoundFile(true)) {
        if (error)
            *error = error_.isEmpty() ? QStringLiteral("finishing \"%1\" failed").arg(target_) : error_;
        Abort();
        return false;
    }
    const bool finished = destination_->Finish(error);
    destination_.reset();
    stream_.reset();
    return finished;
}

void WaveWriter::Abort()
{
    CloseSoundFile(false);
    if (destination_)
        destination_->Discard();
    destination_.reset();
    stream_.reset();
}

} // namespace speech
