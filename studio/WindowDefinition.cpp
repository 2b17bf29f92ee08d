// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/WindowDefinition.h"

#include "studio/StudioStrings.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>
#include <vector>

namespace studio
{

namespace
{

// Every number in a definition is at most a colour (32 bits, system colours also written signed).
constexpr double kLowestNumber = std::numeric_limits<std::int32_t>::min();
constexpr double kHighestNumber = std::numeric_limits<std::uint32_t>::max();

// Border styles run from none (0) to a sizable tool window (5).
constexpr int kLowestBorderStyle = 0;
constexpr int kHighestBorderStyle = 5;

// The keys whose values the window takes as colours.
const char *const kColourKeys[] = {"BackColor",   "ForeColor",    "FillColor",
                                   "BorderColor", "SelBackColor", "SelForeColor"};

QString Number(double value)
{
    return QString::number(value, 'g', 17);
}

// The first number anywhere inside `value` that no field of a definition can hold, if any. JSON
// nests as deep as its parser allows, so the walk keeps its own stack.
std::optional<double> NumberOutOfRange(const QJsonValue &value)
{
    std::vector<QJsonValue> pending{value};
    while (!pending.empty()) {
        const QJsonValue v = pending.back();
        pending.pop_back();
        if (v.isDouble()) {
            const double d = v.toDouble();
            if (!std::isfinite(d) || d < kLowestNumber || d > kHighestNumber)
                return d;
        } else if (v.isArray()) {
            for (const QJsonValue &item : v.toArray())
                pending.push_back(item);
        } else if (v.isObject()) {
            for (const QJsonValue &item : v.toObject())
                pending.push_back(item);
        }
    }
    return std::nullopt;
}

// A geometry value of a control entry: absent is 0, anything but a number in range is refused.
bool ReadTwips(const QJsonObject &entry, const char *key, double lowest, const QString &owner, double *out,
               QString *why)
{
    const QJsonValue value = entry.value(QLatin1String(key));
    if (value.isUndefined()) {
        *out = 0;
        return true;
    }
    if (!value.isDouble()) {
        *why = QStringLiteral("the %1 of %2 is not a number").arg(QLatin1String(key), owner);
        return false;
    }
    const double d = value.toDouble();
    if (!(d >= lowest && d <= WindowDefinition::MaxTwips)) {
        *why = QStringLiteral("the %1 of %2 is %3 twips, outside %4 to %5")
                   .arg(QLatin1String(key), owner, Number(d), Number(lowest),
                        Number(WindowDefinition::MaxTwips));
        return false;
    }
    *out = d;
    return true;
}

// Colours read back as the default when they do not parse; reading with two different defaults
// tells a stored colour from a damaged one.
bool ColoursParse(const ui::PropertyBag &bag, const QString &owner, QString *why)
{
    for (const char *key : kColourKeys) {
        const QString k = QLatin1String(key);
        if (!bag.Contains(k))
            continue;
        if (bag.ReadProperty<std::uint32_t>(k, 0) == 0 && bag.ReadProperty<std::uint32_t>(k, 1) == 1) {
            *why = QStringLiteral("the %1 of %2 is not a colour").arg(k, owner);
            return false;
        }
    }
    return true;
}

bool InRange(const ui::PropertyBag &bag, const char *key, int lowest, int highest, const QString &owner,
             QString *why)
{
    const QString k = QLatin1String(key);
    if (!bag.Contains(k))
        return true;
    const int value = bag.ReadProperty<int>(k, lowest - 1);
    if (value >= lowest && value <= highest)
        return true;
    *why = QStringLiteral("the %1 of %2 is not a whole number from %3 to %4")
               .arg(k, owner)
               .arg(lowest)
               .arg(highest);
    return false;
}

bool ReadForm(const QJsonValue &json, FormEntry *form, QString *why)
{
    const QString owner = QStringLiteral("the window");
    const ui::PropertyBag bag = ui::PropertyBag::Parse(json);
    if (!InRange(bag, "BorderStyle", kLowestBorderStyle, kHighestBorderStyle, owner, why) ||
        !ColoursParse(bag, owner, why))
        return false;
    form->borderStyle = bag.ReadProperty<int>(QStringLiteral("BorderStyle"), kLowestBorderStyle);
    form->caption = bag.ReadProperty<QString>(QStringLiteral("Caption"), strings::WindowTitle);
    form->backColor = bag.ReadProperty<std::uint32_t>(QStringLiteral("BackColor"), form->backColor);
    form->icon = bag.ReadProperty<QString>(QStringLiteral("Icon"), QString());
    for (const auto &[key, size] :
         {std::pair{"ClientWidth", &form->clientWidth}, {"ClientHeight", &form->clientHeight}}) {
        const QString k = QLatin1String(key);
        if (!bag.Contains(k))
            continue;
        // A value that is not a number reads as NaN here and is refused with the rest.
        const double d = bag.ReadProperty<double>(k, std::numeric_limits<double>::quiet_NaN());
        if (!(d >= 0 && d <= WindowDefinition::MaxTwips)) {
            *why = QStringLiteral("the %1 of %2 is %3, not a size from 0 to %4 twips")
                       .arg(k, owner, Number(d), Number(WindowDefinition::MaxTwips));
            return false;
        }
        *size = d;
    }
    return true;
}

bool ReadControl(const QJsonObject &entry, ControlEntry *control, QString *why)
{
    control->name = entry.value(QStringLiteral("Name")).toString();
    control->kind = entry.value(QStringLiteral("Kind")).toString();
    control->parent = entry.value(QStringLiteral("Parent")).toString();
    control->icon = entry.value(QStringLiteral("Icon")).toString();
    const QString owner =
        control->name.isEmpty() ? QStringLiteral("a control without a name") : control->name;
    const QJsonValue index = entry.value(QStringLiteral("Index"));
    if (!index.isUndefined() && !index.isNull()) {
        const double d = index.toDouble(-1);
        // -1 is how a single control may say it is not in an array.
        if (!index.isDouble() || d != std::floor(d) || d < -1 || d > WindowDefinition::MaxIndex) {
            *why = QStringLiteral("the Index of %1 is not a whole number from 0 to %2")
                       .arg(owner)
                       .arg(WindowDefinition::MaxIndex);
            return false;
        }
        control->index = static_cast<int>(d);
    }
    const QString placed = control->IndexedName().isEmpty() ? owner : control->IndexedName();
    if (!ReadTwips(entry, "Left", -WindowDefinition::MaxTwips, placed, &control->left, why) ||
        !ReadTwips(entry, "Top", -WindowDefinition::MaxTwips, placed, &control->top, why) ||
        !ReadTwips(entry, "Width", 0, placed, &control->width, why) ||
        !ReadTwips(entry, "Height", 0, placed, &control->height, why))
        return false;
    control->properties = ui::PropertyBag::Parse(entry.value(QStringLiteral("Properties")));
    return ColoursParse(control->properties, placed, why) &&
           InRange(control->properties, "Alignment", 0, 2, placed, why);
}

} // namespace

QString ControlEntry::IndexedName() const
{
    return index >= 0 ? QStringLiteral("%1(%2)").arg(name).arg(index) : name;
}

std::optional<WindowDefinition> WindowDefinition::Read(const QString &path, QString *why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = file.errorString();
        return std::nullopt;
    }
    if (file.size() > ui::PropertyBag::MaxFileSize) {
        *why = QStringLiteral("the file is too large");
        return std::nullopt;
    }
    return Parse(file.readAll(), why);
}

std::optional<WindowDefinition> WindowDefinition::Parse(const QByteArray &json, QString *why)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        *why = parseError.errorString();
        return std::nullopt;
    }
    const QJsonObject root = document.object();

    WindowDefinition definition;
    if (!ReadForm(root.value(QStringLiteral("Form")), &definition.form_, why))
        return std::nullopt;
    for (const QJsonValue &entry : root.value(QStringLiteral("SmallImages")).toArray())
        definition.smallImages_ << entry.toString();
    const QJsonArray controls = root.value(QStringLiteral("Controls")).toArray();
    definition.controls_.reserve(std::size_t(controls.size()));
    for (const QJsonValue &value : controls) {
        ControlEntry control;
        if (!ReadControl(value.toObject(), &control, why))
            return std::nullopt;
        definition.controls_.push_back(std::move(control));
    }
    // What the fields above do not name (the controls' own properties) is still held to what a
    // property can be.
    if (const auto wrong = NumberOutOfRange(root)) {
        *why = QStringLiteral("it holds the number %1, which no size, colour or index can be")
                   .arg(Number(*wrong));
        return std::nullopt;
    }
    return definition;
}

} // namespace studio
