// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/ChmLayout.h"

#include <QIODevice>

#include <limits>
#include <set>

namespace help
{

namespace
{

// Header sizes and fixed values of the format.
constexpr std::uint32_t kItsfV2Length = 0x58;
constexpr std::uint32_t kItsfV3Length = 0x60;
constexpr std::uint32_t kItspLength = 0x54;
constexpr std::uint32_t kPmglHeader = 20;
constexpr std::uint32_t kPmgiHeader = 8;
constexpr std::uint32_t kLzxcMinLength = 0x18;
constexpr std::uint32_t kResetTableLength = 0x28;
// LZX in help files works in frames of 32 KB, with windows of 2^15 to 2^21 bytes.
constexpr std::uint64_t kLzxFrame = 0x8000;
constexpr std::uint32_t kMinWindow = 1u << 15;
constexpr std::uint32_t kMaxWindow = 1u << 21;
// chmlib reads a compressed frame into a buffer of the frame size plus 6144 bytes and lets its
// decoder read a little past the data; a frame that fills the buffer leaves it no room for that.
constexpr std::uint64_t kMaxCompressedFrame = kLzxFrame + 2048;
// The directory is read whole; no help file needs more than this of it.
constexpr std::uint64_t kMaxDirectoryBytes = 64u << 20;
// What the uncompressed section may claim to hold (chmlib keeps its sizes in 32 bits in places).
constexpr std::uint64_t kMaxUncompressed = std::numeric_limits<std::uint32_t>::max();

const QByteArray kContent = QByteArrayLiteral("::DataSpace/Storage/MSCompressed/Content");
const QByteArray kControlData = QByteArrayLiteral("::DataSpace/Storage/MSCompressed/ControlData");
const QByteArray kResetTable =
    QByteArrayLiteral("::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/"
                      "InstanceData/ResetTable");

std::uint64_t Little(const QByteArray &data, qsizetype at, int bytes)
{
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(data[at + i]);
    return value;
}
std::uint32_t U32(const QByteArray &data, qsizetype at)
{
    return static_cast<std::uint32_t>(Little(data, at, 4));
}
std::uint64_t U64(const QByteArray &data, qsizetype at)
{
    return Little(data, at, 8);
}

// a + b <= limit without overflowing.
bool Fits(std::uint64_t a, std::uint64_t b, std::uint64_t limit)
{
    return a <= limit && b <= limit - a;
}

bool SameIgnoringCase(const QByteArray &a, const QByteArray &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Reads exact byte ranges of the file, refusing any that do not lie inside it.
class FileBytes
{
  public:
    explicit FileBytes(QIODevice &device)
        : device_(device), size_(std::uint64_t(std::max<qint64>(0, device.size())))
    {
    }
    std::uint64_t Size() const { return size_; }
    bool Read(std::uint64_t offset, std::uint64_t length, QByteArray *out)
    {
        if (!Fits(offset, length, size_) || length > std::uint64_t(std::numeric_limits<int>::max()))
            return false;
        if (!device_.seek(qint64(offset)))
            return false;
        *out = device_.read(qint64(length));
        return std::uint64_t(out->size()) == length;
    }

  private:
    QIODevice &device_;
    std::uint64_t size_;
};

// The variable-length numbers of directory entries: 7 bits a byte, high bit set on all but the last.
bool ReadEncInt(const QByteArray &chunk, qsizetype *at, qsizetype end, std::uint64_t *value)
{
    std::uint64_t accumulated = 0;
    for (int bytes = 0; bytes < 9; ++bytes) {
        if (*at >= end)
            return false;
        const auto byte = static_cast<unsigned char>(chunk[(*at)++]);
        accumulated = (accumulated << 7) | (byte & 0x7Fu);
        if (byte < 0x80) {
            *value = accumulated;
            return true;
        }
    }
    return false; // longer than any 63-bit value
}

// A directory entry's name, which chmlib copies into a buffer of MaxPathLength + 1 bytes.
bool ReadName(const QByteArray &chunk, qsizetype *at, qsizetype end, QByteArray *name)
{
    std::uint64_t length = 0;
    if (!ReadEncInt(chunk, at, end, &length) || length == 0 ||
        length > std::uint64_t(ChmLayout::MaxPathLength) || length > std::uint64_t(end - *at))
        return false;
    *name = chunk.mid(*at, qsizetype(length));
    *at += qsizetype(length);
    const qsizetype nul = name->indexOf('\0');
    if (nul >= 0)
        name->truncate(nul);
    return true;
}

struct Directory {
    std::uint32_t chunkSize = 0;
    std::uint32_t chunkCount = 0;
    std::int32_t indexRoot = -1;
    std::int32_t listingHead = 0;
    std::vector<QByteArray> chunks;
};

struct Listing {
    std::int32_t next = -1;
    std::vector<ChmEntry> entries;
};

bool ParseListing(const QByteArray &chunk, std::uint32_t chunkSize, Listing *out, QString *why)
{
    const std::uint32_t freeSpace = U32(chunk, 4);
    if (freeSpace > chunkSize - kPmglHeader) {
        *why = QStringLiteral("a listing chunk claims more free space than it has");
        return false;
    }
    out->next = static_cast<std::int32_t>(U32(chunk, 16));
    const qsizetype end = qsizetype(chunkSize - freeSpace);
    qsizetype at = kPmglHeader;
    while (at < end) {
        ChmEntry entry;
        std::uint64_t space = 0;
        if (!ReadName(chunk, &at, end, &entry.path) || !ReadEncInt(chunk, &at, end, &space) ||
            !ReadEncInt(chunk, &at, end, &entry.start) || !ReadEncInt(chunk, &at, end, &entry.length)) {
            *why = QStringLiteral("a directory entry runs past the end of its chunk");
            return false;
        }
        if (space > 1) {
            *why = QStringLiteral("a directory entry names a section that does not exist");
            return false;
        }
        entry.space = int(space);
        out->entries.push_back(std::move(entry));
    }
    return true;
}

// The children an index chunk points at.
bool ParseIndex(const QByteArray &chunk, std::uint32_t chunkSize, std::uint32_t chunkCount,
                std::vector<std::uint32_t> *children, QString *why)
{
    const std::uint32_t freeSpace = U32(chunk, 4);
    if (freeSpace > chunkSize - kPmgiHeader) {
        *why = QStringLiteral("an index chunk claims more free space than it has");
        return false;
    }
    const qsizetype end = qsizetype(chunkSize - freeSpace);
    qsizetype at = kPmgiHeader;
    while (at < end) {
        QByteArray name;
        std::uint64_t block = 0;
        if (!ReadName(chunk, &at, end, &name) || !ReadEncInt(chunk, &at, end, &block)) {
            *why = QStringLiteral("an index entry runs past the end of its chunk");
            return false;
        }
        if (block >= chunkCount) {
            *why = QStringLiteral("an index entry points at a chunk that does not exist");
            return false;
        }
        children->push_back(std::uint32_t(block));
    }
    return true;
}

bool IsListing(const QByteArray &chunk)
{
    return chunk.startsWith("PMGL");
}
bool IsIndex(const QByteArray &chunk)
{
    return chunk.startsWith("PMGI");
}

// Header and directory header; the chunks are read whole.
bool ReadDirectory(FileBytes &bytes, Directory *dir, std::uint64_t *dataOffset, QString *why)
{
    QByteArray header;
    if (!bytes.Read(0, kItsfV2Length, &header) || !header.startsWith("ITSF")) {
        *why = QStringLiteral("it is not a compiled help file");
        return false;
    }
    const std::uint32_t version = U32(header, 4);
    const std::uint32_t headerLength = U32(header, 8);
    if ((version != 2 && version != 3) || headerLength < (version == 3 ? kItsfV3Length : kItsfV2Length) ||
        headerLength > bytes.Size()) {
        *why = QStringLiteral("its header is of an unknown version or size");
        return false;
    }
    const std::uint64_t dirOffset = U64(header, 0x48);
    const std::uint64_t dirLength = U64(header, 0x50);
    if (!Fits(dirOffset, dirLength, bytes.Size()) || dirLength < kItspLength) {
        *why = QStringLiteral("its directory lies outside the file");
        return false;
    }
    *dataOffset = dirOffset + dirLength;
    if (version == 3) {
        QByteArray v3;
        if (!bytes.Read(0x58, 8, &v3) || (*dataOffset = U64(v3, 0)) > bytes.Size()) {
            *why = QStringLiteral("its content lies outside the file");
            return false;
        }
    }

    QByteArray itsp;
    if (!bytes.Read(dirOffset, kItspLength, &itsp) || !itsp.startsWith("ITSP") || U32(itsp, 4) != 1 ||
        U32(itsp, 8) != kItspLength) {
        *why = QStringLiteral("its directory header is damaged");
        return false;
    }
    dir->chunkSize = U32(itsp, 0x10);
    dir->indexRoot = static_cast<std::int32_t>(U32(itsp, 0x1C));
    dir->listingHead = static_cast<std::int32_t>(U32(itsp, 0x20));
    dir->chunkCount = U32(itsp, 0x2C);
    const bool powerOfTwo = dir->chunkSize != 0 && (dir->chunkSize & (dir->chunkSize - 1)) == 0;
    if (!powerOfTwo || dir->chunkSize < ChmLayout::MinChunkSize || dir->chunkSize > ChmLayout::MaxChunkSize) {
        *why = QStringLiteral("its directory chunks have an impossible size");
        return false;
    }
    const std::uint64_t chunkBytes = std::uint64_t(dir->chunkCount) * dir->chunkSize;
    if (dir->chunkCount == 0 || dir->chunkCount > ChmLayout::MaxChunks || chunkBytes > kMaxDirectoryBytes ||
        chunkBytes > dirLength - kItspLength) {
        *why = QStringLiteral("its directory claims more chunks than it holds");
        return false;
    }
    if (dir->listingHead < 0 || std::uint32_t(dir->listingHead) >= dir->chunkCount ||
        (dir->indexRoot < -1 || (dir->indexRoot >= 0 && std::uint32_t(dir->indexRoot) >= dir->chunkCount))) {
        *why = QStringLiteral("its directory starts at a chunk that does not exist");
        return false;
    }
    if (dir->indexRoot == -1)
        dir->indexRoot = dir->listingHead; // as chmlib does without an index
    dir->chunks.resize(dir->chunkCount);
    for (std::uint32_t i = 0; i < dir->chunkCount; ++i) {
        if (!bytes.Read(dirOffset + kItspLength + std::uint64_t(i) * dir->chunkSize, dir->chunkSize,
                        &dir->chunks[i])) {
            *why = QStringLiteral("its directory is cut short");
            return false;
        }
    }
    return true;
}

// chmlib looks names up from the index root down through index chunks; every way down must end.
bool CheckIndexTree(const Directory &dir, QString *why)
{
    enum class Mark { Unseen, Open, Done };
    std::vector<Mark> marks(dir.chunkCount, Mark::Unseen);
    struct Step {
        std::uint32_t chunk;
        std::vector<std::uint32_t> children;
        std::size_t next = 0;
    };
    std::vector<Step> stack;
    const auto enter = [&](std::uint32_t chunk) {
        const QByteArray &data = dir.chunks[chunk];
        if (IsListing(data)) {
            marks[chunk] = Mark::Done;
            return true;
        }
        if (!IsIndex(data)) {
            *why = QStringLiteral("the directory index points at a chunk of an unknown kind");
            return false;
        }
        Step step{chunk, {}, 0};
        if (!ParseIndex(data, dir.chunkSize, dir.chunkCount, &step.children, why))
            return false;
        marks[chunk] = Mark::Open;
        stack.push_back(std::move(step));
        return true;
    };
    if (!enter(std::uint32_t(dir.indexRoot)))
        return false;
    while (!stack.empty()) {
        Step &top = stack.back();
        if (top.next == top.children.size()) {
            marks[top.chunk] = Mark::Done;
            stack.pop_back();
            continue;
        }
        const std::uint32_t child = top.children[top.next++];
        if (marks[child] == Mark::Open) {
            *why = QStringLiteral("the directory index leads back into itself");
            return false;
        }
        if (marks[child] == Mark::Unseen && !enter(child))
            return false;
    }
    return true;
}

// The LZX control data and reset table, as chmlib will compute with them.
bool CheckCompression(FileBytes &bytes, std::uint64_t dataOffset, const ChmEntry &content,
                      const ChmEntry &control, const ChmEntry &resetTable, std::uint64_t *uncompressed,
                      QString *why)
{
    const auto stored = [&](const ChmEntry &e, QByteArray *out) {
        return e.space == 0 && Fits(dataOffset, e.start, bytes.Size()) &&
               Fits(dataOffset + e.start, e.length, bytes.Size()) && e.length <= (1u << 20) &&
               bytes.Read(dataOffset + e.start, e.length, out);
    };
    QByteArray lzxc;
    if (control.space != 0 || control.length < kLzxcMinLength || !stored(control, &lzxc) ||
        lzxc.mid(4, 4) != "LZXC") {
        *why = QStringLiteral("its compression settings are damaged");
        return false;
    }
    const std::uint32_t version = U32(lzxc, 8);
    std::uint32_t resetInterval = U32(lzxc, 12);
    std::uint32_t windowSize = U32(lzxc, 16);
    const std::uint32_t windowsPerReset = U32(lzxc, 20);
    if (version == 2) { // counted in frames; chmlib multiplies in 32 bits
        resetInterval = std::uint32_t(resetInterval * kLzxFrame);
        windowSize = std::uint32_t(windowSize * kLzxFrame);
    }
    const bool windowOk =
        windowSize >= kMinWindow && windowSize <= kMaxWindow && (windowSize & (windowSize - 1)) == 0;
    if ((version != 1 && version != 2) || !windowOk || resetInterval == 0 ||
        resetInterval % (windowSize / 2) != 0 || windowsPerReset == 0 ||
        std::uint32_t(resetInterval / (windowSize / 2) * windowsPerReset) == 0) {
        *why = QStringLiteral("its compression settings are impossible");
        return false;
    }

    QByteArray table;
    if (resetTable.length < kResetTableLength || !stored(resetTable, &table) || U32(table, 0) != 2) {
        *why = QStringLiteral("its compression reset table is damaged");
        return false;
    }
    const std::uint32_t frames = U32(table, 4);
    const std::uint32_t tableOffset = U32(table, 12);
    *uncompressed = U64(table, 16);
    const std::uint64_t compressed = U64(table, 24);
    const std::uint64_t frameLength = U64(table, 32);
    if (frameLength != kLzxFrame || *uncompressed > kMaxUncompressed || content.space != 0 ||
        !Fits(dataOffset, content.start, bytes.Size()) ||
        !Fits(dataOffset + content.start, content.length, bytes.Size()) || compressed > content.length) {
        *why = QStringLiteral("its compression reset table does not fit its content");
        return false;
    }
    const std::uint64_t framesNeeded = (*uncompressed + kLzxFrame - 1) / kLzxFrame;
    if (frames < framesNeeded || !Fits(tableOffset, std::uint64_t(frames) * 8, std::uint64_t(table.size()))) {
        *why = QStringLiteral("its compression reset table is cut short");
        return false;
    }
    std::uint64_t previous = 0;
    for (std::uint64_t i = 0; i <= framesNeeded && framesNeeded > 0; ++i) {
        // Frame i spans from its table entry to the next one, the last to the end of the content.
        const std::uint64_t at = i < frames ? U64(table, qsizetype(tableOffset + i * 8)) : compressed;
        if ((i == 0 && at != 0) || at < previous || at > compressed ||
            (i > 0 && at - previous > kMaxCompressedFrame)) {
            *why = QStringLiteral("its compression reset table is out of order");
            return false;
        }
        previous = at;
    }
    return true;
}

} // namespace

const ChmEntry *ChmLayout::Find(const QByteArray &path) const
{
    for (const ChmEntry &entry : entries_) {
        if (SameIgnoringCase(entry.path, path))
            return &entry;
    }
    return nullptr;
}

std::optional<ChmLayout> ChmLayout::Check(QIODevice &file, QString *why)
{
    FileBytes bytes(file);
    Directory dir;
    std::uint64_t dataOffset = 0;
    if (!ReadDirectory(bytes, &dir, &dataOffset, why) || !CheckIndexTree(dir, why))
        return std::nullopt;

    // Every listing chunk is checked, whether the chain reaches it or only the index does.
    std::vector<Listing> listings(dir.chunkCount);
    std::size_t total = 0;
    for (std::uint32_t i = 0; i < dir.chunkCount; ++i) {
        if (!IsListing(dir.chunks[i]))
            continue;
        if (!ParseListing(dir.chunks[i], dir.chunkSize, &listings[i], why))
            return std::nullopt;
        total += listings[i].entries.size();
        if (total > MaxObjects) {
            *why = QStringLiteral("it lists more objects than a help file holds");
            return std::nullopt;
        }
    }

    // The chain of listing chunks, which must end.
    ChmLayout layout;
    std::vector<bool> visited(dir.chunkCount, false);
    for (std::int32_t chunk = dir.listingHead; chunk != -1;) {
        if (chunk < 0 || std::uint32_t(chunk) >= dir.chunkCount ||
            !IsListing(dir.chunks[std::size_t(chunk)])) {
            *why = QStringLiteral("its directory chain leads to a chunk that does not exist");
            return std::nullopt;
        }
        if (visited[std::size_t(chunk)]) {
            *why = QStringLiteral("its directory chain leads back into itself");
            return std::nullopt;
        }
        visited[std::size_t(chunk)] = true;
        const Listing &listing = listings[std::size_t(chunk)];
        layout.entries_.insert(layout.entries_.end(), listing.entries.begin(), listing.entries.end());
        chunk = listing.next;
    }

    // The three objects chmlib opens by name to decompress; any listing chunk may hold them, so
    // every copy must be sound.
    std::vector<const ChmEntry *> contents, controls, resets;
    for (const Listing &listing : listings) {
        for (const ChmEntry &e : listing.entries) {
            if (SameIgnoringCase(e.path, kContent))
                contents.push_back(&e);
            else if (SameIgnoringCase(e.path, kControlData))
                controls.push_back(&e);
            else if (SameIgnoringCase(e.path, kResetTable))
                resets.push_back(&e);
        }
    }
    if (contents.size() > 1 || controls.size() > 1 || resets.size() > 1) {
        *why = QStringLiteral("it lists its compressed section twice");
        return std::nullopt;
    }
    std::uint64_t uncompressed = 0;
    if (!contents.empty() && !controls.empty() && !resets.empty()) {
        if (!CheckCompression(bytes, dataOffset, *contents[0], *controls[0], *resets[0], &uncompressed, why))
            return std::nullopt;
        layout.compressed_ = true;
    }

    for (const ChmEntry &e : layout.entries_) {
        const bool inside = e.space == 0 ? Fits(dataOffset, e.start, bytes.Size()) &&
                                               Fits(dataOffset + e.start, e.length, bytes.Size())
                                         : layout.compressed_ && Fits(e.start, e.length, uncompressed);
        if (!inside) {
            *why = QStringLiteral("an object lies outside its section");
            return std::nullopt;
        }
    }
    return layout;
}

} // namespace help
