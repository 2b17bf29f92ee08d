// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/PropertyBag.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>

namespace ui
{

namespace
{

// Whole numbers from JSON numbers or from "&H..." / decimal text; nullopt for anything else.
std::optional<qint64> WholeNumber(const QJsonValue &json)
{
    if (json.isDouble()) {
        const double d = json.toDouble();
        if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 9.0e15)
            return std::nullopt;
        return static_cast<qint64>(d);
    }
    if (!json.isString())
        return std::nullopt;
    QString t = json.toString().trimmed();
    bool ok = false;
    qint64 v = 0;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        t = t.mid(2);
        if (t.endsWith(QLatin1Char('&')))
            t.chop(1);
        if (t.isEmpty() || t.size() > 8 || t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+')))
            return std::nullopt;
        v = static_cast<qint64>(t.toULongLong(&ok, 16));
    } else {
        v = t.toLongLong(&ok, 10);
    }
    return ok ? std::optional<qint64>(v) : std::nullopt;
}

const QString FontName = QStringLiteral("Name");
const QString FontSize = QStringLiteral("Size");
const QString FontBold = QStringLiteral("Bold");
const QString FontItalic = QStringLiteral("Italic");
const QString FontUnderline = QStringLiteral("Underline");
const QString FontStrikethrough = QStringLiteral("Strikethrough");
const QString FontCharset = QStringLiteral("Charset");
const QString PictureTypeKey = QStringLiteral("Type");
const QString PictureData = QStringLiteral("Data");

} // namespace

bool PropertyBag::Matches(const QString &a, const QString &b) const
{
    return a.compare(b, caseInsensitive_ ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
}

const QJsonValue *PropertyBag::Find(const QString &key) const
{
    for (const auto &[k, v] : entries_) {
        if (Matches(k, key))
            return &v;
    }
    return nullptr;
}

void PropertyBag::Put(const QString &key, const QJsonValue &value)
{
    for (auto &[k, v] : entries_) {
        if (Matches(k, key)) {
            v = value;
            return;
        }
    }
    entries_.emplace_back(key, value);
}

void PropertyBag::Remove(const QString &key)
{
    std::erase_if(entries_, [&](const auto &entry) { return Matches(entry.first, key); });
}

QStringList PropertyBag::Keys() const
{
    QStringList keys;
    for (const auto &entry : entries_)
        keys << entry.first;
    return keys;
}

QJsonValue PropertyBag::RawValue(const QString &key) const
{
    const QJsonValue *v = Find(key);
    return v ? *v : QJsonValue(QJsonValue::Undefined);
}

bool PropertyBag::operator==(const PropertyBag &other) const
{
    return caseInsensitive_ == other.caseInsensitive_ && entries_ == other.entries_;
}

QJsonValue PropertyBag::ToJson() const
{
    QJsonArray pairs;
    for (const auto &[k, v] : entries_)
        pairs.append(QJsonArray{k, v});
    return pairs;
}

QByteArray PropertyBag::ToJsonText() const
{
    return QJsonDocument(ToJson().toArray()).toJson(QJsonDocument::Indented);
}

PropertyBag PropertyBag::Parse(const QJsonValue &json, bool caseInsensitive, bool *ok)
{
    PropertyBag bag(caseInsensitive);
    if (ok)
        *ok = true;
    if (json.isArray()) {
        for (const QJsonValue &item : json.toArray()) {
            const QJsonArray pair = item.toArray();
            if (pair.size() == 2 && pair.at(0).isString())
                bag.Put(pair.at(0).toString(), pair.at(1));
        }
    } else if (json.isObject()) {
        const QJsonObject object = json.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            bag.Put(it.key(), it.value());
    } else if (ok) {
        *ok = false;
    }
    return bag;
}

std::optional<PropertyBag> PropertyBag::FromJsonText(const QByteArray &text, bool caseInsensitive,
                                                     QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &parseError);
    if (doc.isNull()) {
        if (error)
            *error = parseError.errorString();
        return std::nullopt;
    }
    const QJsonValue root = doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
    return Parse(root, caseInsensitive);
}

std::optional<PropertyBag> PropertyBag::Load(const QString &fileName, bool caseInsensitive, QString *error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    if (file.size() > MaxFileSize) {
        if (error)
            *error = QStringLiteral("The file is too large.");
        return std::nullopt;
    }
    return FromJsonText(file.readAll(), caseInsensitive, error);
}

QJsonValue PropertyBag::ToJson(const QStringList &value)
{
    return QJsonArray::fromStringList(value);
}

QJsonValue PropertyBag::ToJson(const StdFont &value)
{
    QJsonObject o;
    o.insert(FontName, value.Name);
    o.insert(FontSize, value.Size);
    o.insert(FontBold, value.Bold);
    o.insert(FontItalic, value.Italic);
    o.insert(FontUnderline, value.Underline);
    o.insert(FontStrikethrough, value.Strikethrough);
    o.insert(FontCharset, value.Charset);
    return o;
}

QJsonValue PropertyBag::ToJson(const Picture &value)
{
    if (value.IsNull())
        return QJsonValue(QJsonValue::Null);
    QJsonObject o;
    o.insert(PictureTypeKey,
             value.Type() == Picture::Icon ? QStringLiteral("Icon") : QStringLiteral("Bitmap"));
    o.insert(PictureData, QString::fromLatin1(value.Encode().toBase64()));
    return o;
}

QJsonValue PropertyBag::ToJson(const std::vector<PropertyBag> &value)
{
    QJsonArray items;
    for (const PropertyBag &bag : value)
        items.append(bag.ToJson());
    return items;
}

bool PropertyBag::FromJson(const QJsonValue &json, bool defaultValue)
{
    if (json.isBool())
        return json.toBool();
    // The old bags stored booleans as numbers: 0 false, -1 (or anything else) true.
    if (const auto n = WholeNumber(json); n && json.isDouble())
        return *n != 0;
    return defaultValue;
}

int PropertyBag::FromJson(const QJsonValue &json, int defaultValue)
{
    const auto n = WholeNumber(json);
    if (!n || *n < std::numeric_limits<int>::min() || *n > std::numeric_limits<int>::max())
        return defaultValue;
    return static_cast<int>(*n);
}

std::uint32_t PropertyBag::FromJson(const QJsonValue &json, std::uint32_t defaultValue)
{
    const auto n = WholeNumber(json);
    if (!n || *n < std::numeric_limits<std::int32_t>::min() || *n > std::numeric_limits<std::uint32_t>::max())
        return defaultValue;
    // Negative values are how signed callers wrote system colours (&H8000000F& = -2147483633).
    return static_cast<std::uint32_t>(*n);
}

double PropertyBag::FromJson(const QJsonValue &json, double defaultValue)
{
    if (json.isDouble() && std::isfinite(json.toDouble()))
        return json.toDouble();
    return defaultValue;
}

QString PropertyBag::FromJson(const QJsonValue &json, const QString &defaultValue)
{
    return json.isString() ? json.toString() : defaultValue;
}

QStringList PropertyBag::FromJson(const QJsonValue &json, const QStringList &defaultValue)
{
    if (!json.isArray())
        return defaultValue;
    QStringList list;
    for (const QJsonValue &item : json.toArray()) {
        if (!item.isString())
            return defaultValue;
        list << item.toString();
    }
    return list;
}

StdFont PropertyBag::FromJson(const QJsonValue &json, const StdFont &defaultValue)
{
    if (!json.isObject())
        return defaultValue;
    const QJsonObject o = json.toObject();
    StdFont f = defaultValue;
    f.Name = FromJson(o.value(FontName), defaultValue.Name);
    f.Size = FromJson(o.value(FontSize), defaultValue.Size);
    f.Bold = FromJson(o.value(FontBold), defaultValue.Bold);
    f.Italic = FromJson(o.value(FontItalic), defaultValue.Italic);
    f.Underline = FromJson(o.value(FontUnderline), defaultValue.Underline);
    f.Strikethrough = FromJson(o.value(FontStrikethrough), defaultValue.Strikethrough);
    f.Charset = FromJson(o.value(FontCharset), defaultValue.Charset);
    // A nameless or impossibly sized font is damage, not a choice.
    if (f.Name.trimmed().isEmpty() || !(f.Size > 0 && f.Size <= 2048) || f.Charset < 0 || f.Charset > 255)
        return defaultValue;
    return f;
}

Picture PropertyBag::FromJson(const QJsonValue &json, const Picture &defaultValue)
{
    if (json.isNull())
        return Picture();
    if (!json.isObject())
        return defaultValue;
    const QJsonObject o = json.toObject();
    const QString type = o.value(PictureTypeKey).toString();
    Picture::PictureType t = Picture::None;
    if (type.compare(QLatin1String("Bitmap"), Qt::CaseInsensitive) == 0)
        t = Picture::Bitmap;
    else if (type.compare(QLatin1String("Icon"), Qt::CaseInsensitive) == 0)
        t = Picture::Icon;
    const QJsonValue data = o.value(PictureData);
    if (t == Picture::None || !data.isString())
        return defaultValue;
    const auto decoded =
        QByteArray::fromBase64Encoding(data.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return defaultValue;
    const Picture picture = Picture::Decode(t, *decoded);
    return picture.IsNull() ? defaultValue : picture;
}

PropertyBag PropertyBag::FromJson(const QJsonValue &json, const PropertyBag &defaultValue)
{
    return NestedFromJson(json, defaultValue, defaultValue.CaseInsensitive());
}

std::vector<PropertyBag> PropertyBag::FromJson(const QJsonValue &json,
                                               const std::vector<PropertyBag> &defaultValue)
{
    return NestedFromJson(json, defaultValue, false);
}

PropertyBag PropertyBag::NestedFromJson(const QJsonValue &json, const PropertyBag &defaultValue,
                                        bool caseInsensitive)
{
    bool ok = false;
    PropertyBag bag = Parse(json, caseInsensitive, &ok);
    return ok ? bag : defaultValue;
}

std::vector<PropertyBag> PropertyBag::NestedFromJson(const QJsonValue &json,
                                                     const std::vector<PropertyBag> &defaultValue,
                                                     bool caseInsensitive)
{
    if (!json.isArray())
        return defaultValue;
    std::vector<PropertyBag> bags;
    for (const QJsonValue &item : json.toArray()) {
        bool ok = false;
        PropertyBag bag = Parse(item, caseInsensitive, &ok);
        if (!ok)
            return defaultValue;
        bags.push_back(std::move(bag));
    }
    return bags;
}

} // namespace ui
