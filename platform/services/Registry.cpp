// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/services/Registry.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

namespace services
{

namespace
{

Registry *currentRegistry = nullptr;

// Every key carries this entry so that a key without values still exists in the file. Value
// names are escaped so that no value can ever be stored under this name.
const QString KeyMarker = QStringLiteral("@key");
const QString DefaultValueKey = QStringLiteral("@");

QString RootName(HKEY key)
{
    switch (key) {
    case HKEY_CLASSES_ROOT:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case HKEY_CURRENT_USER:
        return QStringLiteral("HKEY_CURRENT_USER");
    case HKEY_LOCAL_MACHINE:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case HKEY_USERS:
        return QStringLiteral("HKEY_USERS");
    case HKEY_CURRENT_CONFIG:
        return QStringLiteral("HKEY_CURRENT_CONFIG");
    case HKEY_DYN_DATA:
        return QStringLiteral("HKEY_DYN_DATA");
    default:
        return {};
    }
}

// Value names may contain anything, but QSettings reads "/" as a group separator: escape it.
QString EncodeValueName(const QString &name)
{
    if (name.isEmpty())
        return DefaultValueKey;
    QString out;
    out.reserve(name.size());
    for (QChar c : name) {
        switch (c.unicode()) {
        case '%':
            out += QStringLiteral("%25");
            break;
        case '/':
            out += QStringLiteral("%2F");
            break;
        case '\\':
            out += QStringLiteral("%5C");
            break;
        case '@':
            out += QStringLiteral("%40");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString DecodeValueName(const QString &key)
{
    if (key == DefaultValueKey)
        return {};
    QString out;
    out.reserve(key.size());
    for (int i = 0; i < key.size(); ++i) {
        if (key.at(i) == QLatin1Char('%') && i + 2 < key.size()) {
            bool ok = false;
            const int code = key.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 2;
                continue;
            }
        }
        out += key.at(i);
    }
    return out;
}

QStringList SplitPath(const QString &subKey)
{
    QString path = subKey;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

QString Encode(const RegValue &value)
{
    switch (value.type) {
    case REG_SZ:
        return QStringLiteral("sz:") + value.string;
    case REG_EXPAND_SZ:
        return QStringLiteral("expand_sz:") + value.string;
    case REG_DWORD:
        return QStringLiteral("dword:%1").arg(value.dword, 8, 16, QLatin1Char('0'));
    case REG_BINARY:
        return QStringLiteral("hex:") + QString::fromLatin1(value.binary.toHex());
    default:
        return QStringLiteral("none:");
    }
}

// Anything that does not carry one of our prefixes (a hand-edited file) reads as a plain string.
RegValue Decode(const QVariant &stored)
{
    const QString text = stored.typeId() == QMetaType::QStringList
                             ? stored.toStringList().join(QStringLiteral(", "))
                             : stored.toString();
    RegValue v;
    const int colon = text.indexOf(QLatin1Char(':'));
    const QString prefix = colon > 0 ? text.left(colon) : QString();
    const QString body = colon > 0 ? text.mid(colon + 1) : QString();
    if (prefix == QLatin1String("sz")) {
        v.type = REG_SZ;
        v.string = body;
    } else if (prefix == QLatin1String("expand_sz")) {
        v.type = REG_EXPAND_SZ;
        v.string = body;
    } else if (prefix == QLatin1String("dword")) {
        bool ok = false;
        const qulonglong n = body.toULongLong(&ok, 16);
        if (ok && n <= 0xFFFFFFFFull) {
            v.type = REG_DWORD;
            v.dword = static_cast<std::uint32_t>(n);
        } else {
            v.type = REG_SZ;
            v.string = text;
        }
    } else if (prefix == QLatin1String("hex")) {
        v.type = REG_BINARY;
        v.binary = QByteArray::fromHex(body.toLatin1());
    } else if (prefix == QLatin1String("none")) {
        v.type = REG_NONE;
    } else {
        v.type = REG_SZ;
        v.string = text;
    }
    return v;
}

// Runs `fn` with the settings positioned in `group`, restoring the previous position after.
template <typename Fn> auto InGroup(QSettings &settings, const QString &group, Fn fn)
{
    settings.beginGroup(group);
    struct Leave {
        QSettings &s;
        ~Leave() { s.endGroup(); }
    } leave{settings};
    return fn();
}

} // namespace

Registry::Registry(const QString &fileName)
    : settings_(std::make_unique<QSettings>(fileName, QSettings::IniFormat))
{
}

Registry::~Registry() = default;

QString Registry::DefaultFile()
{
    const QString forced = qEnvironmentVariable(FileVariable);
    if (!forced.isEmpty())
        return forced;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/orvena-studio/registry.ini");
}

Registry &Registry::Current()
{
    if (currentRegistry)
        return *currentRegistry;
    static Registry real(DefaultFile());
    return real;
}

void Registry::SetCurrent(Registry *registry)
{
    currentRegistry = registry;
}

QString Registry::FileName() const
{
    return settings_->fileName();
}

long Registry::Resolve(HKEY key, QString *group) const
{
    const QString root = RootName(key);
    if (!root.isEmpty()) {
        *group = root;
        return ERROR_SUCCESS;
    }
    const auto it = handles_.find(key);
    if (it == handles_.end())
        return ERROR_INVALID_HANDLE;
    if (!GroupExists(it->second))
        return ERROR_KEY_DELETED;
    *group = it->second;
    return ERROR_SUCCESS;
}

QString Registry::FindChildGroup(const QString &group, const QString &name) const
{
    const QStringList children = InGroup(*settings_, group, [&] { return settings_->childGroups(); });
    if (children.contains(name))
        return name;
    for (const QString &child : children) {
        if (child.compare(name, Qt::CaseInsensitive) == 0)
            return child;
    }
    return {};
}

QString Registry::FindValueKey(const QString &group, const QString &name) const
{
    const QString wanted = EncodeValueName(name);
    const QStringList keys = InGroup(*settings_, group, [&] { return settings_->childKeys(); });
    if (keys.contains(wanted))
        return wanted;
    for (const QString &key : keys) {
        if (key != KeyMarker && DecodeValueName(key).compare(name, Qt::CaseInsensitive) == 0)
            return key;
    }
    return {};
}

bool Registry::GroupExists(const QString &group) const
{
    const int slash = group.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return true; // a root
    const QString parent = group.left(slash);
    const QStringList children = InGroup(*settings_, parent, [&] { return settings_->childGroups(); });
    return children.contains(group.mid(slash + 1));
}

long Registry::Sync()
{
    settings_->sync();
    switch (settings_->status()) {
    case QSettings::NoError:
        return ERROR_SUCCESS;
    case QSettings::AccessError:
        return ERROR_ACCESS_DENIED;
    default:
        return ERROR_CANTWRITE;
    }
}

HKEY Registry::NewHandle(const QString &group)
{
    const HKEY handle = nextHandle_++;
    handles_[handle] = group;
    return handle;
}

long Registry::OpenKey(HKEY key, const QString &subKey, HKEY *result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = 0;
    QString group;
    if (const long status = Resolve(key, &group); status != ERROR_SUCCESS)
        return status;
    for (const QString &part : SplitPath(subKey)) {
        const QString child = FindChildGroup(group, part);
        if (child.isEmpty())
            return ERROR_FILE_NOT_FOUND;
        group += QLatin1Char('/') + child;
    }
    *result = NewHandle(group);
    return ERROR_SUCCESS;
}

long Registry::CreateKey(HKEY key, const QString &subKey, HKEY *result, bool *created)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = 0;
    if (created)
        *created = false;
    QString group;
    if (const long status = Resolve(key, &group); status != ERROR_SUCCESS)
        return status;
    bool madeOne = false;
    for (const QString &part : SplitPath(subKey)) {
        const QString child = FindChildGroup(group, part);
        group += QLatin1Char('/') + (child.isEmpty() ? part : child);
        if (child.isEmpty()) {
            settings_->setValue(group + QLatin1Char('/') + KeyMarker, QString());
            madeOne = true;
        }
    }
    if (madeOne) {
        if (const long status = Sync(); status != ERROR_SUCCESS)
            return status;
    }
    if (created)
        *created = madeOne;
    *result = NewHandle(group);
    return ERROR_SUCCESS;
}

long Registry::CloseKey(HKEY key)
{
    if (!RootName(key).isEmpty())
        return ERROR_SUCCESS;
    return handles_.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

long Registry::DeleteKey(HKEY key, const QString &subKey)
{
    HKEY target = 0;
    if (SplitPath(subKey).isEmpty())
        return ERROR_INVALID_PARAMETER; // a key cannot delete itself through an empty name
    if (const long status = OpenKey(key, subKey, &target); status != ERROR_SUCCESS)
        return status;
    const QString group = handles_[target];
    CloseKey(target);
    if (!InGroup(*settings_, group, [&] { return settings_->childGroups(); }).isEmpty())
        return ERROR_ACCESS_DENIED;
    settings_->remove(group);
    return Sync();
}

long Registry::DeleteTree(HKEY key, const QString &subKey)
{
    HKEY target = 0;
    if (SplitPath(subKey).isEmpty())
        return ERROR_INVALID_PARAMETER;
    if (const long status = OpenKey(key, subKey, &target); status != ERROR_SUCCESS)
        return status;
    const QString group = handles_[target];
    CloseKey(target);
    settings_->remove(group);
    return Sync();
}

QStringList Registry::ValueNames(HKEY key)
{
    QString group;
    if (Resolve(key, &group) != ERROR_SUCCESS)
        return {};
    QStringList names;
    for (const QString &k : InGroup(*settings_, group, [&] { return settings_->childKeys(); })) {
        if (k != KeyMarker)
            names << DecodeValueName(k);
    }
    return names;
}

QStringList Registry::SubKeyNames(HKEY key)
{
    QString group;
    if (Resolve(key, &group) != ERROR_SUCCESS)
        return {};
    return InGroup(*settings_, group, [&] { return settings_->childGroups(); });
}

long Registry::EnumValue(HKEY key, int index, QString *name, unsigned *type)
{
    QString group;
    if (const long status = Resolve(key, &group); status != ERROR_SUCCESS)
        return status;
    const QStringList names = ValueNames(key);
    if (index < 0 || index >= names.size())
        return ERROR_NO_MORE_ITEMS;
    if (name)
        *name = names.at(index);
    if (type)
        *type = Decode(settings_->value(group + QLatin1Char('/') + EncodeValueName(names.at(index)))).type;
    return ERROR_SUCCESS;
}

long Registry::EnumKey(HKEY key, int index, QString *name)
{
    QString group;
    if (const long status = Resolve(key, &group); status != ERROR_SUCCESS)
        return status;
    const QStringList names = SubKeyNames(key);
    if (index < 0 || index >= names.size())
        return ERROR_NO_MORE_ITEMS;
    if (name)
        *name = names.at(index);
    return ERROR_SUCCESS;
}

long Registry::QueryValue(HKEY key, const QString &name, RegValue *value)
{
    QString group;
    if (const long status = Resolve(key, &group); status != ERROR_SUCCESS)
        return status;
    const QString stored = FindValueKey(group, name);
    if (stored.isEmpty())
        return ERROR_FILE_NOT_FOUND;
    RegValue v = Decode(settings_->value(group + QLatin1Char('/') + stored));
    if (v.type == REG_EXPAND_SZ)
        v.string = ExpandEnvironment(v.string);
    if (value)
        *value = v;
    return ERROR_SUCCESS;
}

long Registry::QueryString(HKEY key, const QString &name, QString *value)
{
    RegValue v;
    if (const long status = QueryValue(key, name, &v); status != ERROR_SUCCESS)
        return status;
    if (v.type != REG_SZ && v.type != REG_EXPAND_SZ)
        return ERROR_UNSUPPORTED_TYPE;
    if (value)
        *value = v.string;
    return ERROR_SUCCESS;
}

long Registry::QueryDword(HKEY key, const QString &name, std::uint32_t *value)
{
    RegValue v;
    if (const long status = QueryValue(key, name, &v); status != ERROR_SUCCESS)
        return status;
    if (v.type != REG_DWORD)
        return ERROR_UNSUPPORTED_TYPE;
    if (value)
        *value = v.dword;
    return ERROR_SUCCESS;
}

long Registry::SetValue(HKEY key, const QString &name, const RegValue &value)
{
    QString group;
    if (const long status = Resolve(key, &group); status != ERROR_SUCCESS)
        return status;
    if (RootName(key) == group)
        return ERROR_ACCESS_DENIED; // values live in keys, not directly in a root
    const QString existing = FindValueKey(group, name);
    const QString stored = existing.isEmpty() ? EncodeValueName(name) : existing;
    settings_->setValue(group + QLatin1Char('/') + stored, Encode(value));
    settings_->setValue(group + QLatin1Char('/') + KeyMarker, QString());
    return Sync();
}

long Registry::SetString(HKEY key, const QString &name, const QString &value, unsigned type)
{
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_PARAMETER;
    RegValue v;
    v.type = type;
    v.string = value;
    return SetValue(key, name, v);
}

long Registry::SetDword(HKEY key, const QString &name, std::uint32_t value)
{
    RegValue v;
    v.type = REG_DWORD;
    v.dword = value;
    return SetValue(key, name, v);
}

long Registry::DeleteValue(HKEY key, const QString &name)
{
    QString group;
    if (const long status = Resolve(key, &group); status != ERROR_SUCCESS)
        return status;
    const QString stored = FindValueKey(group, name);
    if (stored.isEmpty())
        return ERROR_FILE_NOT_FOUND;
    settings_->remove(group + QLatin1Char('/') + stored);
    // The key itself stays, even when this was its last value.
    if (RootName(key) != group)
        settings_->setValue(group + QLatin1Char('/') + KeyMarker, QString());
    return Sync();
}

long Registry::ReadString(HKEY root, const QString &subKey, const QString &name, QString *value)
{
    HKEY key = 0;
    if (const long status = OpenKey(root, subKey, &key); status != ERROR_SUCCESS)
        return status;
    const long status = QueryString(key, name, value);
    CloseKey(key);
    return status;
}

QString Registry::ExpandEnvironment(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(%([A-Za-z_][A-Za-z0-9_()]*)%|\$\{([A-Za-z_][A-Za-z0-9_]*)\}|\$([A-Za-z_][A-Za-z0-9_]*))"));
    QString out;
    qsizetype last = 0;
    auto it = pattern.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        QString name = m.captured(1);
        if (name.isEmpty())
            name = m.captured(2);
        if (name.isEmpty())
            name = m.captured(3);
        const QByteArray variable = name.toLocal8Bit();
        if (qEnvironmentVariableIsSet(variable.constData()))
            out += qEnvironmentVariable(variable.constData());
        else
            out += m.captured(0);
        last = m.capturedEnd();
    }
    out += text.mid(last);
    return out;
}

} // namespace services
