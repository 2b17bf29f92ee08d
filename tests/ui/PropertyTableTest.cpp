// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/PropertyTable.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace ui
{
namespace
{

// A control with one property of every kind of row.
struct Sample {
    int count = 0;
    std::int16_t narrow = 0;
    std::int32_t code = 0;
    std::uint32_t colour = 0;
    QString name;
    QString label; // its default is the name
    bool flag = false;
    int hostValue = 0; // held behind a getter and a setter
    int setterCalls = 0;

    static const PropertyTable<Sample> &Table()
    {
        static const PropertyTable<Sample> table{
            Field(QStringLiteral("Count"), &Sample::count, 7),
            Field(QStringLiteral("Narrow"), &Sample::narrow, std::int16_t(-3)),
            Ranged(QStringLiteral("Code"), &Sample::code, std::int32_t(2), 0, 4),
            Field(QStringLiteral("Colour"), &Sample::colour, std::uint32_t(0x8000000Fu)),
            // Saved before the name it defaults to, read after it.
            ReadAt(10,
                   Field(QStringLiteral("Label"), &Sample::label, [](const Sample &s) { return s.name; })),
            Field(QStringLiteral("Name"), &Sample::name, QStringLiteral("none")),
            Field(QStringLiteral("Flag"), &Sample::flag, false, Saved::Always),
            Accessor<Sample, int>(
                QStringLiteral("Host"), 5, [](const Sample &s) { return s.hostValue; },
                [](Sample &s, int v) {
                    s.hostValue = v;
                    ++s.setterCalls;
                }),
        };
        return table;
    }
};

TEST(PropertyTable, AFreshControlSavesOnlyWhatIsAlwaysSavedAndReadsBackTheDefaults)
{
    Sample fresh;
    Sample::Table().ApplyDefaults(fresh, PropertyTable<Sample>::AllRows);
    EXPECT_EQ(fresh.count, 7);
    EXPECT_EQ(fresh.narrow, -3);
    EXPECT_EQ(fresh.code, 2);
    EXPECT_EQ(fresh.colour, 0x8000000Fu);
    EXPECT_EQ(fresh.name, QStringLiteral("none"));
    EXPECT_EQ(fresh.hostValue, 5);

    PropertyBag bag;
    Sample::Table().Write(fresh, bag);
    EXPECT_EQ(bag.Keys(), QStringList{QStringLiteral("Flag")});

    Sample read;
    Sample::Table().Read(read, PropertyBag());
    EXPECT_EQ(read.count, 7);
    EXPECT_EQ(read.label, QStringLiteral("none")); // the name's default, read before it
    EXPECT_EQ(read.hostValue, 5);
}

TEST(PropertyTable, ChangedValuesSurviveARoundTripInSavedOrder)
{
    Sample a;
    a.count = 1;
    a.narrow = 300;
    a.code = 4;
    a.colour = 0x00FF00;
    a.name = QStringLiteral("first");
    a.label = QStringLiteral("other");
    a.flag = true;
    a.hostValue = -9;
    PropertyBag bag;
    Sample::Table().Write(a, bag);
    EXPECT_EQ(bag.Keys(), Sample::Table().Keys());

    Sample b;
    Sample::Table().Read(b, bag);
    EXPECT_EQ(b.count, 1);
    EXPECT_EQ(b.narrow, 300);
    EXPECT_EQ(b.code, 4);
    EXPECT_EQ(b.colour, 0x00FF00u);
    EXPECT_EQ(b.name, QStringLiteral("first"));
    EXPECT_EQ(b.label, QStringLiteral("other"));
    EXPECT_TRUE(b.flag);
    EXPECT_EQ(b.hostValue, -9);
}

TEST(PropertyTable, ALabelEqualToItsNameIsNotSaved)
{
    Sample a;
    a.name = QStringLiteral("same");
    a.label = QStringLiteral("same");
    PropertyBag bag;
    Sample::Table().Write(a, bag);
    EXPECT_FALSE(bag.Contains(QStringLiteral("Label")));
    Sample b;
    Sample::Table().Read(b, bag);
    EXPECT_EQ(b.label, QStringLiteral("same"));
}

struct OutOfRange {
    const char *name;
    const char *key;
    int stored;
};

class PropertyTableOutOfRange : public ::testing::TestWithParam<OutOfRange>
{
};

TEST_P(PropertyTableOutOfRange, ReadsAsTheDefault)
{
    PropertyBag bag;
    bag.WriteProperty(QString::fromLatin1(GetParam().key), GetParam().stored);
    Sample s;
    s.narrow = 11;
    s.code = 3;
    Sample::Table().Read(s, bag);
    EXPECT_EQ(s.narrow, -3);
    EXPECT_EQ(s.code, 2);
}

const OutOfRange OutOfRangeRows[] = {
    {"NarrowAboveInt16", "Narrow", 32768},
    {"NarrowBelowInt16", "Narrow", -32769},
    {"CodeAboveItsSet", "Code", 5},
    {"CodeBelowItsSet", "Code", -1},
};

INSTANTIATE_TEST_SUITE_P(Rows, PropertyTableOutOfRange, ::testing::ValuesIn(OutOfRangeRows),
                         [](const ::testing::TestParamInfo<OutOfRange> &info) {
                             return std::string(info.param.name);
                         });

TEST(PropertyTable, DefaultsAreAppliedByKindOfRow)
{
    const auto &table = Sample::Table();
    Sample s;
    s.name = QStringLiteral("kept");
    table.ApplyDefaults(s, PropertyTable<Sample>::ConstantAccessors);
    EXPECT_EQ(s.setterCalls, 1);
    EXPECT_EQ(s.count, 0); // fields untouched
    table.ApplyDefaults(s, PropertyTable<Sample>::DependentDefaults);
    EXPECT_EQ(s.label, QStringLiteral("kept")); // only the label depends on the control
    EXPECT_EQ(s.name, QStringLiteral("kept"));
    table.ApplyDefaults(s, PropertyTable<Sample>::ConstantFields);
    EXPECT_EQ(s.count, 7);
    EXPECT_EQ(s.name, QStringLiteral("none"));
    EXPECT_EQ(s.setterCalls, 1);
}

} // namespace
} // namespace ui
