// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ui/Picture.h"
#include "platform/ui/StdFont.h"

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace ui
{

// The saved properties of a control or window: an ordered list of key/value pairs.
//
// WriteProperty(key, value, default) leaves the value out when it equals the default (and drops an
// earlier value of that key), so a bag only holds what differs from a fresh control; reading a
// missing key gives the default back. Keys keep the order of their first write. A bag made
// case-insensitive matches keys regardless of case and keeps the first spelling.
//
// Value types: bool, int, std::uint32_t (colours, 0x00BBGGRR), double, QString, QStringList,
// StdFont, Picture, nested PropertyBag and std::vector<PropertyBag>. A stored value that does not
// fit the type asked for (wrong JSON type, out of range, damaged picture data) reads as the
// default. Integers and colours may also be written as text in the "&HFF00&" or decimal form.
//
// JSON form: an array of [key, value] pairs, so the order survives; fonts and pictures are
// objects ({"Name": ..., "Size": ...}, {"Type": "Bitmap"|"Icon", "Data": base64}). A plain JSON
// object is also accepted when reading (its keys then come in alphabetical order).
class PropertyBag
{
  public:
    explicit PropertyBag(bool caseInsensitive = false) : caseInsensitive_(caseInsensitive) {}

    template <typename T> T ReadProperty(const QString &key, const T &defaultValue) const
    {
        const QJsonValue *stored = Find(key);
        if (!stored)
            return defaultValue;
        // Nested bags match keys the way their parent does.
        if constexpr (std::is_same_v<T, PropertyBag> || std::is_same_v<T, std::vector<PropertyBag>>)
            return NestedFromJson(*stored, defaultValue, caseInsensitive_);
        else
            return FromJson(*stored, defaultValue);
    }
    QString ReadProperty(const QString &key, const char *defaultValue) const
    {
        return ReadProperty<QString>(key, QString::fromUtf8(defaultValue));
    }

    template <typename T>
    void WriteProperty(const QString &key, const T &value, const std::type_identity_t<T> &defaultValue)
    {
        if (value == defaultValue)
            Remove(key);
        else
            Put(key, ToJson(value));
    }
    // Always stored, whatever its value.
    template <typename T> void WriteProperty(const QString &key, const T &value) { Put(key, ToJson(value)); }
    void WriteProperty(const QString &key, const char *value)
    {
        Put(key, QJsonValue(QString::fromUtf8(value)));
    }
    void WriteProperty(const QString &key, const char *value, const char *defaultValue)
    {
        WriteProperty<QString>(key, QString::fromUtf8(value), QString::fromUtf8(defaultValue));
    }

    bool Contains(const QString &key) const { return Find(key) != nullptr; }
    void Remove(const QString &key);
    QStringList Keys() const;
    bool IsEmpty() const { return entries_.empty(); }
    bool CaseInsensitive() const { return caseInsensitive_; }
    // The stored value as JSON (undefined when missing).
    QJsonValue RawValue(const QString &key) const;

    QJsonValue ToJson() const;
    QByteArray ToJsonText() const;
    // Reads a bag from its JSON form. Non-pairs and non-string keys are skipped; *ok is false
    // when the value is not an array of pairs or an object at all (the bag is then empty).
    static PropertyBag Parse(const QJsonValue &json, bool caseInsensitive = false, bool *ok = nullptr);
    static std::optional<PropertyBag> FromJsonText(const QByteArray &text, bool caseInsensitive = false,
                                                   QString *error = nullptr);
    // Reads a JSON property file (at most MaxFileSize bytes); nullopt with *error on failure.
    static std::optional<PropertyBag> Load(const QString &fileName, bool caseInsensitive = false,
                                           QString *error = nullptr);
    static constexpr qint64 MaxFileSize = 32 * 1024 * 1024;

    bool operator==(const PropertyBag &other) const;

    // Conversions between values and their JSON form, one pair per value type.
    static QJsonValue ToJson(bool value) { return QJsonValue(value); }
    static QJsonValue ToJson(int value) { return QJsonValue(value); }
    static QJsonValue ToJson(std::uint32_t value) { return QJsonValue(static_cast<qint64>(value)); }
    static QJsonValue ToJson(double value) { return QJsonValue(value); }
    static QJsonValue ToJson(const QString &value) { return QJsonValue(value); }
    static QJsonValue ToJson(const QStringList &value);
    static QJsonValue ToJson(const StdFont &value);
    static QJsonValue ToJson(const Picture &value);
    static QJsonValue ToJson(const PropertyBag &value) { return value.ToJson(); }
    static QJsonValue ToJson(const std::vector<PropertyBag> &value);

    static bool FromJson(const QJsonValue &json, bool defaultValue);
    static int FromJson(const QJsonValue &json, int defaultValue);
    static std::uint32_t FromJson(const QJsonValue &json, std::uint32_t defaultValue);
    static double FromJson(const QJsonValue &json, double defaultValue);
    static QString FromJson(const QJsonValue &json, const QString &defaultValue);
    static QStringList FromJson(const QJsonValue &json, const QStringList &defaultValue);
    static StdFont FromJson(const QJsonValue &json, const StdFont &defaultValue);
    static Picture FromJson(const QJsonValue &json, const Picture &defaultValue);
    static PropertyBag FromJson(const QJsonValue &json, const PropertyBag &defaultValue);
    static std::vector<PropertyBag> FromJson(const QJsonValue &json,
                                             const std::vector<PropertyBag> &defaultValue);

  private:
    static PropertyBag NestedFromJson(const QJsonValue &json, const PropertyBag &defaultValue,
                                      bool caseInsensitive);
    static std::vector<PropertyBag> NestedFromJson(const QJsonValue &json,
                                                   const std::vector<PropertyBag> &defaultValue,
                                                   bool caseInsensitive);
    const QJsonValue *Find(const QString &key) const;
    void Put(const QString &key, const QJsonValue &value);
    bool Matches(const QString &a, const QString &b) const;

    bool caseInsensitive_ = false;
    std::vector<std::pair<QString, QJsonValue>> entries_;
};

} // namespace ui
