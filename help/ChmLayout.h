// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class QIODevice;

namespace help
{

// An object of a help file's directory and where its bytes are.
struct ChmEntry {
    QByteArray path; // as stored (chmlib's reading: up to the first NUL)
    int space = 0;   // 0 stored as is, 1 inside the LZX-compressed section
    std::uint64_t start = 0;
    std::uint64_t length = 0;
};

// The structure of a compiled help file, checked before chmlib is allowed to see the file.
//
// chmlib trusts what the file says: a zero or odd LZX window size divides by zero or hands it a
// decoder that does not exist, a zero reset block length divides by zero, a directory chunk that
// names itself as the next one makes its enumeration run for ever, and entry names longer than its
// path buffer or running past the end of a chunk are copied regardless. Check reads the header, the
// directory (every listing and index chunk), the LZX control data and the reset table with bounds of
// its own and refuses the file when anything is out of place, so that what chmlib then reads has been
// read safely once already. The objects are listed here too, in directory order, so nothing has to
// walk chmlib's directory code at all.
class ChmLayout
{
  public:
    // Bounds on what a help file may ask for.
    static constexpr std::uint32_t MaxChunks = 65536;  // directory chunks (256 MB of 4 KB chunks)
    static constexpr std::size_t MaxObjects = 200000;  // directory entries in the listing chain
    static constexpr std::uint32_t MinChunkSize = 512; // smallest directory chunk that holds a header
    static constexpr std::uint32_t MaxChunkSize = 65536;
    static constexpr int MaxPathLength = 512; // chmlib's path buffer (CHM_MAX_PATHLEN)

    // nullopt with `why` filled when the file must not be given to chmlib. Reads the device at
    // random offsets; it must be open and seekable.
    static std::optional<ChmLayout> Check(QIODevice &file, QString *why);

    // The listing chain's entries, in order.
    const std::vector<ChmEntry> &Entries() const { return entries_; }
    // The entry of a path, compared without regard to ASCII case as chmlib does; nullptr if none.
    const ChmEntry *Find(const QByteArray &path) const;
    // Whether objects of the compressed section can be read.
    bool Compressed() const { return compressed_; }

  private:
    std::vector<ChmEntry> entries_;
    bool compressed_ = false;
};

} // namespace help
