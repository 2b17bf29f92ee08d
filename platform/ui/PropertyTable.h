// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ui/PropertyBag.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <concepts>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <type_traits>
#include <utility>
#include <vector>

namespace ui
{

// The persisted properties of one kind of control, in the order they are saved: for each its key,
// its default and how it is read from and written to a property bag. One table serves the
// control's member defaults, InitProperties, ReadProperties and WriteProperties, so a key or a
// default is written down once.
//
// A default is either a constant or a function of the control (a caption that defaults to the
// control's name, a font that defaults to the container's). Rows are made by Field (a data member
// of the control; one narrower than int reads a stored value out of its range as the default),
// Ranged (a code of a closed set) and Accessor (a value the control keeps through a getter and a
// setter). ReadAt moves a row in the reading order when its default depends on another row.
template <typename Owner> class PropertyTable
{
  public:
    // Which rows ApplyDefaults sets.
    enum Which : unsigned {
        ConstantFields = 1,    // data members whose default is a constant
        ConstantAccessors = 2, // getter/setter values whose default is a constant
        DependentDefaults = 4, // every row whose default is a function of the control
        AllRows = 7,
    };

    struct Row {
        QString key;
        bool field = false;            // a data member (else a getter/setter pair)
        bool dependentDefault = false; // the default is a function of the control
        bool alwaysWritten = false;    // stored even when it equals its default
        int readRank = -1;             // where it comes in the reading order (-1: as saved)
        std::function<void(Owner &)> reset;
        std::function<void(Owner &, const PropertyBag &)> read;
        std::function<void(const Owner &, PropertyBag &)> write;
    };

    PropertyTable(std::initializer_list<Row> rows) : rows_(rows)
    {
        for (std::size_t i = 0; i < rows_.size(); ++i)
            readOrder_.push_back(i);
        const auto rank = [this](std::size_t i) {
            return rows_[i].readRank < 0 ? int(i) : rows_[i].readRank;
        };
        std::stable_sort(readOrder_.begin(), readOrder_.end(),
                         [&rank](std::size_t a, std::size_t b) { return rank(a) < rank(b); });
    }

    // Rows are set in the reading order, so a default that depends on another value sees that
    // value's default.
    void ApplyDefaults(Owner &owner, unsigned which) const
    {
        for (std::size_t i : readOrder_) {
            const Row &row = rows_[i];
            const bool wanted = row.dependentDefault
                                    ? (which & DependentDefaults)
                                    : (which & (row.field ? ConstantFields : ConstantAccessors));
            if (wanted)
                row.reset(owner);
        }
    }
    void Read(Owner &owner, const PropertyBag &bag) const
    {
        for (std::size_t i : readOrder_)
            rows_[i].read(owner, bag);
    }
    void Write(const Owner &owner, PropertyBag &bag) const
    {
        for (const Row &row : rows_)
            row.write(owner, bag);
    }
    QStringList Keys() const
    {
        QStringList keys;
        for (const Row &row : rows_)
            keys.append(row.key);
        return keys;
    }
    const std::vector<Row> &Rows() const { return rows_; }

  private:
    std::vector<Row> rows_;
    std::vector<std::size_t> readOrder_;
};

// A row that is read at `rank` of the reading order rather than where it is saved (for a default
// that depends on a value read before it).
template <typename Row> Row ReadAt(int rank, Row row)
{
    row.readRank = rank;
    return row;
}

namespace property_table_detail
{
template <typename Owner, typename D>
concept DependentDefault = std::invocable<const D &, const Owner &>;

template <typename Owner, typename T, typename D> T DefaultOf(const Owner &owner, const D &defaultValue)
{
    if constexpr (DependentDefault<Owner, D>)
        return T(std::invoke(defaultValue, owner));
    else
        return T(defaultValue);
}

// The type a value is kept under in a bag: narrow integers are kept as int.
template <typename T>
using Stored =
    std::conditional_t<std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, std::uint32_t>,
                       int, T>;

template <typename T> bool Fits(int value)
{
    return value >= int(std::numeric_limits<T>::min()) && value <= int(std::numeric_limits<T>::max());
}
} // namespace property_table_detail

// Whether to store a value that equals its default.
enum class Saved { WhenChanged, Always };

// A data member. Integers narrower than int are kept as int in the bag; a stored value outside
// the member's range reads as the default.
template <typename Owner, typename T, typename D>
typename PropertyTable<Owner>::Row Field(QString key, T Owner::*member, D defaultValue,
                                         Saved saved = Saved::WhenChanged)
{
    using namespace property_table_detail;
    using S = Stored<T>;
    typename PropertyTable<Owner>::Row row;
    row.key = key;
    row.field = true;
    row.dependentDefault = DependentDefault<Owner, D>;
    row.alwaysWritten = saved == Saved::Always;
    row.reset = [member, defaultValue](Owner &owner) {
        owner.*member = DefaultOf<Owner, T>(owner, defaultValue);
    };
    row.read = [key, member, defaultValue](Owner &owner, const PropertyBag &bag) {
        const T fallback = DefaultOf<Owner, T>(owner, defaultValue);
        if constexpr (std::is_same_v<S, T>) {
            owner.*member = bag.ReadProperty<T>(key, fallback);
        } else {
            const int stored = bag.ReadProperty<int>(key, int(fallback));
            owner.*member = Fits<T>(stored) ? T(stored) : fallback;
        }
    };
    row.write = [key, member, defaultValue, saved](const Owner &owner, PropertyBag &bag) {
        const S value = S(owner.*member);
        if (saved == Saved::Always)
            bag.WriteProperty<S>(key, value);
        else
            bag.WriteProperty<S>(key, value, S(DefaultOf<Owner, T>(owner, defaultValue)));
    };
    return row;
}

// A data member holding a code of a closed set low..high: a stored value outside reads as the
// default.
template <typename Owner, typename T, typename D>
typename PropertyTable<Owner>::Row Ranged(QString key, T Owner::*member, D defaultValue, T low, T high,
                                          Saved saved = Saved::WhenChanged)
{
    typename PropertyTable<Owner>::Row row = Field(key, member, defaultValue, saved);
    row.read = [key, member, defaultValue, low, high](Owner &owner, const PropertyBag &bag) {
        const T fallback = property_table_detail::DefaultOf<Owner, T>(owner, defaultValue);
        const int stored = bag.ReadProperty<int>(key, int(fallback));
        owner.*member = (stored >= int(low) && stored <= int(high)) ? T(stored) : fallback;
    };
    return row;
}

// A value the control keeps behind a getter and a setter (often one its base class holds, or one
// whose setter has work to do). T is the type it is kept under in the bag; Owner and T are given,
// as in Accessor<MyControl, QString>(...).
template <typename Owner, typename T, typename D, typename Get, typename Set>
typename PropertyTable<Owner>::Row Accessor(QString key, D defaultValue, Get get, Set set,
                                            Saved saved = Saved::WhenChanged)
{
    using namespace property_table_detail;
    typename PropertyTable<Owner>::Row row;
    row.key = key;
    row.field = false;
    row.dependentDefault = DependentDefault<Owner, D>;
    row.alwaysWritten = saved == Saved::Always;
    row.reset = [defaultValue, set](Owner &owner) { set(owner, DefaultOf<Owner, T>(owner, defaultValue)); };
    row.read = [key, defaultValue, set](Owner &owner, const PropertyBag &bag) {
        set(owner, bag.ReadProperty<T>(key, DefaultOf<Owner, T>(owner, defaultValue)));
    };
    row.write = [key, defaultValue, get, saved](const Owner &owner, PropertyBag &bag) {
        if (saved == Saved::Always)
            bag.WriteProperty<T>(key, T(get(owner)));
        else
            bag.WriteProperty<T>(key, T(get(owner)), DefaultOf<Owner, T>(owner, defaultValue));
    };
    return row;
}

} // namespace ui
