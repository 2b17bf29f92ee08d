// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <memory>

class QSettings;

namespace services
{

using HKEY = std::uintptr_t;

// The predefined roots; each is a top-level group of the registry file.
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;
inline constexpr HKEY HKEY_DYN_DATA = 0x80000006u;

// Status codes, as the callers of the old registry functions test them.
enum : long {
    ERROR_SUCCESS = 0,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_ACCESS_DENIED = 5,
    ERROR_INVALID_HANDLE = 6,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_MORE_DATA = 234,
    ERROR_NO_MORE_ITEMS = 259,
    ERROR_BADKEY = 1010,
    ERROR_CANTREAD = 1012,
    ERROR_CANTWRITE = 1013,
    ERROR_KEY_DELETED = 1018,
    ERROR_UNSUPPORTED_TYPE = 1630,
};

// Value types.
enum : unsigned { REG_NONE = 0, REG_SZ = 1, REG_EXPAND_SZ = 2, REG_BINARY = 3, REG_DWORD = 4 };

struct RegValue {
    unsigned type = REG_NONE;
    QString string;          // REG_SZ, REG_EXPAND_SZ (as stored, unexpanded)
    std::uint32_t dword = 0; // REG_DWORD
    QByteArray binary;       // REG_BINARY
};

// A registry kept in an INI file (QSettings), with the roots HKEY_CLASSES_ROOT ... HKEY_DYN_DATA
// as top-level groups and subkeys as nested groups. Key and value names match case-insensitively
// as they always did; the spelling given at creation is kept. Subkey paths use "\" (or "/").
// The empty value name is the key's default value.
class Registry
{
  public:
    // Environment variable that points the process-wide registry at another file.
    static constexpr const char *FileVariable = "ORVENA_REGISTRY_FILE";

    explicit Registry(const QString &fileName);
    ~Registry();
    Registry(const Registry &) = delete;
    Registry &operator=(const Registry &) = delete;

    // $ORVENA_REGISTRY_FILE, or <XDG config folder>/orvena-studio/registry.ini.
    static QString DefaultFile();
    // The process-wide registry (on DefaultFile()) unless a test installed another one.
    static Registry &Current();
    // nullptr restores the default one. The caller keeps ownership of `registry`.
    static void SetCurrent(Registry *registry);

    QString FileName() const;

    long OpenKey(HKEY key, const QString &subKey, HKEY *result);
    // Opens the key, creating it and any missing parents. `created` tells whether it was new.
    long CreateKey(HKEY key, const QString &subKey, HKEY *result, bool *created = nullptr);
    long CloseKey(HKEY key);
    // Deletes a subkey that has no subkeys of its own (ERROR_ACCESS_DENIED otherwise).
    long DeleteKey(HKEY key, const QString &subKey);
    // Deletes a subkey with everything below it.
    long DeleteTree(HKEY key, const QString &subKey);

    // Value and subkey enumeration by index; ERROR_NO_MORE_ITEMS past the end.
    long EnumValue(HKEY key, int index, QString *name, unsigned *type = nullptr);
    long EnumKey(HKEY key, int index, QString *name);
    QStringList ValueNames(HKEY key);
    QStringList SubKeyNames(HKEY key);

    // Reads a value. REG_EXPAND_SZ data comes back in `value->string` with $VAR, ${VAR} and
    // %VAR% expanded from the environment (unknown variables stay as written).
    long QueryValue(HKEY key, const QString &name, RegValue *value);
    // A string (REG_SZ or expanded REG_EXPAND_SZ); ERROR_UNSUPPORTED_TYPE for other types.
    long QueryString(HKEY key, const QString &name, QString *value);
    long QueryDword(HKEY key, const QString &name, std::uint32_t *value);

    long SetValue(HKEY key, const QString &name, const RegValue &value);
    long SetString(HKEY key, const QString &name, const QString &value, unsigned type = REG_SZ);
    long SetDword(HKEY key, const QString &name, std::uint32_t value);
    long DeleteValue(HKEY key, const QString &name);

    // One-shot string read of root\subKey\name, the way most callers use the registry.
    long ReadString(HKEY root, const QString &subKey, const QString &name, QString *value);

    static QString ExpandEnvironment(const QString &text);

  private:
    long Resolve(HKEY key, QString *group) const;
    QString FindChildGroup(const QString &group, const QString &name) const;
    QString FindValueKey(const QString &group, const QString &name) const;
    bool GroupExists(const QString &group) const;
    long Sync();
    HKEY NewHandle(const QString &group);

    std::unique_ptr<QSettings> settings_;
    std::map<HKEY, QString> handles_;
    HKEY nextHandle_ = 0x1000;
};

} // namespace services
