// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "help/ChmLayout.h"

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

struct chmFile;

namespace help
{

// A window type defined in a help project's [WINDOWS] section (the file's #WINDOWS table).
struct ChmWindowType {
    QString name;
    QString caption;
    QString contentsFile;
    QString indexFile;
    QString defaultFile;
    QString homeFile;
    QRect position;          // null when the project gave no position
    int navigationWidth = 0; // 0 when not given
};

// What the file's #SYSTEM table says about the whole help file.
struct ChmSystemInfo {
    QString contentsFile;
    QString indexFile;
    QString defaultTopic;
    QString title;
    QString defaultWindow;
};

// A compiled HTML help file (.chm), read through chmlib. Paths inside the file are absolute
// ("/howto.htm"); every lookup accepts them with or without the leading slash. The file's structure
// is checked (ChmLayout) before chmlib opens it, and objects are found through that checked
// directory, so a damaged file is refused instead of crashing or hanging in chmlib.
class ChmFile
{
  public:
    // Objects larger than this are refused rather than read into memory.
    static constexpr std::uint64_t MaxObjectSize = 64u * 1024u * 1024u;

    ChmFile();
    ~ChmFile();
    ChmFile(const ChmFile &) = delete;
    ChmFile &operator=(const ChmFile &) = delete;

    // False when the file is missing, damaged or not a help file chmlib can read.
    bool Open(const QString &fileName);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    QString FileName() const { return fileName_; }

    // Every stored file (not the folders, not the compressor's internal streams).
    QStringList Objects() const { return objects_; }
    // The HTML pages among them.
    QStringList Topics() const;
    std::optional<QByteArray> Read(const QString &path) const;

    // The path inside the file that a reference names, or an empty string when it names nothing
    // here. Accepts "howto.htm", "/howto.htm", "ms-its:any.chm::/howto.htm" (the part after "::"),
    // drops "#anchor" and "?query", and for absolute paths that a compiler recorded from the
    // machine it ran on ("/home/x/help/howto.htm") takes the longest tail that names a file here.
    QString ResolvePath(const QString &reference) const;

    const ChmSystemInfo &System() const { return system_; }
    const std::vector<ChmWindowType> &WindowTypes() const { return windowTypes_; }
    // Case-insensitive lookup by type name.
    std::optional<ChmWindowType> WindowType(const QString &name) const;

    // Context number → the resolved topic path, from the [MAP] and [ALIAS] sections.
    const std::map<std::uint32_t, QString> &ContextMap() const { return contexts_; }
    QString TopicForContext(std::uint32_t id) const;

    // The <title> of an HTML page, or its file name when it has none.
    QString TopicTitle(const QString &path) const;

    // Text of the file's string table and of its pages: UTF-8 when valid, else Windows-1252.
    static QString DecodeText(const QByteArray &bytes);

  private:
    void ReadSystem();
    void ReadWindows();
    void ReadContexts();
    QString StringAt(std::uint32_t offset) const;
    bool Contains(const QString &path) const;

    chmFile *file_ = nullptr;
    std::optional<ChmLayout> layout_;
    QString fileName_;
    QStringList objects_;
    QByteArray strings_; // #STRINGS
    ChmSystemInfo system_;
    std::vector<ChmWindowType> windowTypes_;
    std::map<std::uint32_t, QString> contexts_;
};

} // namespace help
