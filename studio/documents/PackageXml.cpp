// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/PackageXml.h"

#include "studio/documents/DocumentFile.h"

#include <QFile>

#include <zip.h>

#include <algorithm>
#include <cstring>

namespace documents {

namespace {

// Word processors write a few dozen attributes on an element at most (namespace declarations on
// the root); the XML reader's work per element grows with the square of their number.
constexpr int kMaxAttributesPerElement = 256;

// The XML reader collects a text run, a tag, a comment or a CDATA section whole before handing
// it over; beyond this one is refused, keeping the reader's buffer well below the editor's cap.
constexpr qint64 kMaxTokenBytes = 16 * 1024 * 1024;

} // namespace

// Looks over the raw markup on its way to the XML reader. A state machine over the bytes, so it
// works across chunk boundaries; quoted values, comments, CDATA sections and processing
// instructions are passed over as such.
class XmlPartDevice::Guard {
public:
    bool Scan(const char *data, qint64 size)
    {
        for (qint64 i = 0; i < size; ++i) {
            const char c = data[i];
            if (++tokenBytes_ > kMaxTokenBytes)
                return false;
            switch (state_) {
            case State::Text:
                if (c == '<') {
                    state_ = State::Open;
                    tokenBytes_ = 0;
                }
                break;
            case State::Open:
                if (c == '!') {
                    state_ = State::Bang;
                } else if (c == '?') {
                    Enter(State::Instruction);
                } else {
                    attributes_ = 0;
                    quote_ = 0;
                    state_ = c == '>' ? ToText() : State::Tag;
                }
                break;
            case State::Bang:
                Enter(c == '-' ? State::Comment : c == '[' ? State::CData : State::Declaration);
                break;
            case State::Tag:
                if (quote_ != 0) {
                    if (c == quote_)
                        quote_ = 0;
                } else if (c == '"' || c == '\'') {
                    quote_ = c;
                } else if (c == '=') {
                    if (++attributes_ > kMaxAttributesPerElement)
                        return false;
                } else if (c == '>') {
                    state_ = ToText();
                }
                break;
            case State::Comment: // ends with "-->"
                EndMarker(c, '-', 2);
                break;
            case State::CData: // ends with "]]>"
                EndMarker(c, ']', 2);
                break;
            case State::Instruction: // ends with "?>"
                EndMarker(c, '?', 1);
                break;
            case State::Declaration:
                // An internal subset declares entities, which the reader would expand.
                if (c == '[')
                    return false;
                if (c == '>')
                    state_ = ToText();
                break;
            }
        }
        return true;
    }

private:
    enum class State { Text, Open, Bang, Tag, Comment, CData, Instruction, Declaration };

    State ToText()
    {
        tokenBytes_ = 0;
        return State::Text;
    }
    void Enter(State state)
    {
        state_ = state;
        marks_ = 0;
    }
    // The end of a section is `count` times `mark` and then '>'.
    void EndMarker(char c, char mark, int count)
    {
        if (c == '>' && marks_ >= count)
            state_ = ToText();
        else if (c == mark)
            ++marks_;
        else
            marks_ = 0;
    }

    State state_ = State::Text;
    qint64 tokenBytes_ = 0;
    int attributes_ = 0;
    int marks_ = 0;
    char quote_ = 0;
};

XmlPartDevice::XmlPartDevice(Source source, qint64 limit)
    : source_(std::move(source)), limit_(limit), guard_(std::make_unique<Guard>())
{
    open(QIODevice::ReadOnly);
}

XmlPartDevice::~XmlPartDevice() = default;

std::unique_ptr<XmlPartDevice> XmlPartDevice::FromBytes(const QByteArray &bytes)
{
    return std::make_unique<XmlPartDevice>([&bytes, at = qsizetype(0)](char *data, qint64 maxSize) mutable {
        const qsizetype n = std::min<qsizetype>(qsizetype(maxSize), bytes.size() - at);
        std::memcpy(data, bytes.constData() + at, std::size_t(n));
        at += n;
        return qint64(n);
    });
}

qint64 XmlPartDevice::readData(char *data, qint64 maxSize)
{
    if (refused_)
        return -1;
    // One byte past the limit tells a part of exactly `limit` bytes from a larger one.
    const qint64 got = source_(data, std::min(maxSize, limit_ - total_ + 1));
    total_ += std::max<qint64>(got, 0);
    if (got < 0 || total_ > limit_ || !guard_->Scan(data, got)) {
        refused_ = true;
        return -1;
    }
    return got;
}

std::optional<ZipPackage> ZipPackage::Open(const QString &path)
{
    if (!IsRegularFile(path))
        return std::nullopt;
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return std::nullopt;
    return ZipPackage(archive);
}

ZipPackage::ZipPackage(ZipPackage &&other) noexcept : archive_(std::exchange(other.archive_, nullptr)) {}

ZipPackage &ZipPackage::operator=(ZipPackage &&other) noexcept
{
    std::swap(archive_, other.archive_);
    return *this;
}

ZipPackage::~ZipPackage()
{
    if (archive_)
        zip_discard(archive_);
}

bool ZipPackage::Has(const char *name) const
{
    return zip_name_locate(archive_, name, 0) >= 0;
}

namespace {

std::shared_ptr<zip_file_t> OpenEntry(zip_t *archive, const char *name, zip_uint64_t limit)
{
    const zip_int64_t index = zip_name_locate(archive, name, 0);
    if (index < 0)
        return nullptr;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, zip_uint64_t(index), 0, &stat) != 0)
        return nullptr;
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > limit)
        return nullptr;
    zip_file_t *file = zip_fopen_index(archive, zip_uint64_t(index), 0);
    if (!file)
        return nullptr;
    return std::shared_ptr<zip_file_t>(file, zip_fclose);
}

} // namespace

std::optional<QByteArray> ZipPackage::ReadSmall(const char *name, qsizetype limit) const
{
    const std::shared_ptr<zip_file_t> file = OpenEntry(archive_, name, zip_uint64_t(limit));
    if (!file)
        return std::nullopt;
    QByteArray bytes(limit + 1, Qt::Uninitialized);
    qsizetype have = 0;
    while (have <= limit) {
        const zip_int64_t got = zip_fread(file.get(), bytes.data() + have, zip_uint64_t(bytes.size() - have));
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        have += qsizetype(got);
    }
    if (have > limit)
        return std::nullopt;
    bytes.truncate(have);
    return bytes;
}

std::unique_ptr<XmlPartDevice> ZipPackage::OpenPart(const char *name, qint64 limit) const
{
    std::shared_ptr<zip_file_t> file = OpenEntry(archive_, name, zip_uint64_t(limit));
    if (!file)
        return nullptr;
    return std::make_unique<XmlPartDevice>(
        [file](char *data, qint64 maxSize) -> qint64 { return zip_fread(file.get(), data, zip_uint64_t(maxSize)); },
        limit);
}

} // namespace documents
