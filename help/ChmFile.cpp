// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/ChmFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

#include <chm_lib.h>

#include <cstring>

namespace help
{

namespace
{

std::uint32_t Dword(const QByteArray &data, qsizetype at)
{
    if (at < 0 || at + 4 > data.size())
        return 0;
    const auto *p = reinterpret_cast<const unsigned char *>(data.constData() + at);
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

std::uint16_t Word(const QByteArray &data, qsizetype at)
{
    if (at < 0 || at + 2 > data.size())
        return 0;
    const auto *p = reinterpret_cast<const unsigned char *>(data.constData() + at);
    return std::uint16_t(p[0] | (p[1] << 8));
}

QString CString(const QByteArray &data)
{
    const qsizetype nul = data.indexOf('\0');
    return ChmFile::DecodeText(nul < 0 ? data : data.left(nul));
}

} // namespace

ChmFile::ChmFile() = default;

ChmFile::~ChmFile()
{
    Close();
}

bool ChmFile::Open(const QString &fileName)
{
    Close();
    {
        QFile raw(fileName);
        if (!raw.open(QIODevice::ReadOnly))
            return false;
        QString why;
        layout_ = ChmLayout::Check(raw, &why);
        if (!layout_)
            return false;
    }
    const QByteArray encoded = QFile::encodeName(fileName);
    file_ = chm_open(encoded.constData());
    if (!file_) {
        layout_.reset();
        return false;
    }
    fileName_ = fileName;
    for (const ChmEntry &entry : layout_->Entries()) {
        const QString path = QString::fromUtf8(entry.path);
        // Plain stored files only: no folders, no "::DataSpace" streams of the compressor.
        if (path.startsWith('/') && !path.endsWith('/'))
            objects_.append(path);
    }
    strings_ = Read("/#STRINGS").value_or(QByteArray());
    ReadSystem();
    ReadWindows();
    ReadContexts();
    return true;
}

void ChmFile::Close()
{
    if (file_)
        chm_close(file_);
    file_ = nullptr;
    layout_.reset();
    fileName_.clear();
    objects_.clear();
    strings_.clear();
    system_ = {};
    windowTypes_.clear();
    contexts_.clear();
}

QStringList ChmFile::Topics() const
{
    QStringList topics;
    for (const QString &path : objects_) {
        if (path.endsWith(".htm", Qt::CaseInsensitive) || path.endsWith(".html", Qt::CaseInsensitive))
            topics.append(path);
    }
    return topics;
}

bool ChmFile::Contains(const QString &path) const
{
    return objects_.contains(path, Qt::CaseInsensitive);
}

std::optional<QByteArray> ChmFile::Read(const QString &path) const
{
    if (!file_ || path.isEmpty())
        return std::nullopt;
    const QString absolute = path.startsWith('/') ? path : '/' + path;
    // Looked up in the checked directory, not through chmlib's own directory walk.
    const ChmEntry *entry = layout_->Find(absolute.toUtf8());
    if (!entry || entry->length > MaxObjectSize || (entry->space == 1 && !layout_->Compressed()))
        return std::nullopt;
    chmUnitInfo unit{};
    unit.start = entry->start;
    unit.length = entry->length;
    unit.space = entry->space;
    std::memcpy(unit.path, entry->path.constData(), std::size_t(entry->path.size()));
    QByteArray data(qsizetype(unit.length), Qt::Uninitialized);
    if (unit.length == 0)
        return data;
    const LONGINT64 got = chm_retrieve_object(file_, &unit, reinterpret_cast<unsigned char *>(data.data()), 0,
                                              LONGINT64(unit.length));
    if (got <= 0)
        return std::nullopt;
    data.truncate(qsizetype(got));
    return data;
}

QString ChmFile::ResolvePath(const QString &reference) const
{
    QString path = reference.trimmed();
    const qsizetype inside = path.indexOf("::");
    if (inside >= 0)
        path = path.mid(inside + 2);
    for (const QChar cut : {QChar('#'), QChar('?')}) {
        const qsizetype at = path.indexOf(cut);
        if (at >= 0)
            path.truncate(at);
    }
    path.replace('\\', '/');
    if (path.isEmpty())
        return {};
    if (!path.startsWith('/'))
        path.prepend('/');
    // Collapse "//", "/./" and "/../" the way a browser would.
    QStringList parts;
    for (const QString &part : path.split('/', Qt::SkipEmptyParts)) {
        if (part == ".")
            continue;
        if (part == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    // The longest tail that names a stored file: the whole path first.
    for (qsizetype first = 0; first < parts.size(); ++first) {
        const QString candidate = '/' + parts.mid(first).join('/');
        for (const QString &object : objects_) {
            if (object.compare(candidate, Qt::CaseInsensitive) == 0)
                return object;
        }
    }
    return {};
}

std::optional<ChmWindowType> ChmFile::WindowType(const QString &name) const
{
    for (const ChmWindowType &type : windowTypes_) {
        if (type.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return type;
    }
    return std::nullopt;
}

QString ChmFile::TopicForContext(std::uint32_t id) const
{
    const auto it = contexts_.find(id);
    return it == contexts_.end() ? QString() : it->second;
}

QString ChmFile::TopicTitle(const QString &path) const
{
    const auto data = Read(path);
    if (data) {
        static const QRegularExpression title("<title[^>]*>(.*?)</title>",
                                              QRegularExpression::CaseInsensitiveOption |
                                                  QRegularExpression::DotMatchesEverythingOption);
        const auto match = title.match(DecodeText(*data));
        if (match.hasMatch()) {
            const QString text = match.captured(1).simplified();
            if (!text.isEmpty())
                return text;
        }
    }
    return path.mid(path.lastIndexOf('/') + 1);
}

QString ChmFile::DecodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder legacy("windows-1252");
    return legacy.isValid() ? legacy(bytes) : QString::fromLatin1(bytes);
}

QString ChmFile::StringAt(std::uint32_t offset) const
{
    if (offset == 0 || offset >= std::uint32_t(strings_.size()))
        return {};
    const char *start = strings_.constData() + offset;
    const auto limit = std::size_t(strings_.size()) - offset;
    const auto length = qsizetype(strnlen(start, limit));
    return DecodeText(QByteArray(start, length));
}

// #SYSTEM: a version DWORD, then records of (code WORD, length WORD, data).
void ChmFile::ReadSystem()
{
    const auto data = Read("/#SYSTEM");
    if (!data)
        return;
    qsizetype at = 4;
    while (at + 4 <= data->size()) {
        const std::uint16_t code = Word(*data, at);
        const std::uint16_t length = Word(*data, at + 2);
        at += 4;
        if (at + length > data->size())
            break;
        const QByteArray record = data->mid(at, length);
        switch (code) {
        case 0:
            system_.contentsFile = CString(record);
            break;
        case 1:
            system_.indexFile = CString(record);
            break;
        case 2:
            system_.defaultTopic = CString(record);
            break;
        case 3:
            system_.title = CString(record);
            break;
        case 5:
            system_.defaultWindow = CString(record);
            break;
        default:
            break;
        }
        at += length;
    }
}

// #WINDOWS: entry count, entry size, then one window-type record per entry whose strings are
// offsets into #STRINGS.
void ChmFile::ReadWindows()
{
    const auto data = Read("/#WINDOWS");
    if (!data || data->size() < 8)
        return;
    const std::uint32_t count = Dword(*data, 0);
    const std::uint32_t size = Dword(*data, 4);
    if (size < 112 || count > 256)
        return;
    for (std::uint32_t i = 0; i < count; ++i) {
        const qsizetype base = 8 + qsizetype(i) * qsizetype(size);
        if (base + qsizetype(size) > data->size())
            break;
        ChmWindowType type;
        type.name = StringAt(Dword(*data, base + 8));
        type.caption = StringAt(Dword(*data, base + 20));
        const auto left = std::int32_t(Dword(*data, base + 32));
        const auto top = std::int32_t(Dword(*data, base + 36));
        const auto right = std::int32_t(Dword(*data, base + 40));
        const auto bottom = std::int32_t(Dword(*data, base + 44));
        if (right > left && bottom > top)
            type.position = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
        type.navigationWidth = std::int32_t(Dword(*data, base + 76));
        type.contentsFile = StringAt(Dword(*data, base + 96));
        type.indexFile = StringAt(Dword(*data, base + 100));
        type.defaultFile = StringAt(Dword(*data, base + 104));
        type.homeFile = StringAt(Dword(*data, base + 108));
        if (!type.name.isEmpty())
            windowTypes_.push_back(type);
    }
}

// #IVB: its byte length, then pairs of (context number, #STRINGS offset of the topic path).
void ChmFile::ReadContexts()
{
    const auto data = Read("/#IVB");
    if (!data || data->size() < 4)
        return;
    const qsizetype end = std::min<qsizetype>(data->size(), 4 + qsizetype(Dword(*data, 0)));
    for (qsizetype at = 4; at + 8 <= end; at += 8) {
        const QString topic = ResolvePath(StringAt(Dword(*data, at + 4)));
        if (!topic.isEmpty())
            contexts_.emplace(Dword(*data, at), topic);
    }
}

} // namespace help
