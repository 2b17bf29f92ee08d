// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ui/PropertyBag.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace studio
{

// One control of the studio window as the definition places it. Geometry is in twips.
struct ControlEntry {
    QString name;
    QString kind;
    int index = -1; // the position in a control array, -1 for a single control
    QString parent; // empty: the window itself
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    QString icon;
    ui::PropertyBag properties;

    // "name(index)" for a member of a control array, else the name.
    QString IndexedName() const;
};

// The window's own properties, with the values a definition that leaves them out gets.
struct FormEntry {
    int borderStyle = 0;
    QString caption;
    std::uint32_t backColor = 0x999999;
    QString icon;
    double clientWidth = 11895; // twips
    double clientHeight = 7620;
};

// The studio window's definition: a JSON form file holding the window's properties ("Form"), the
// menu's small images ("SmallImages") and the controls in the order they are made ("Controls").
// Reading checks everything the window turns into sizes, positions, colours and indexes, so that a
// damaged or hostile definition is refused with a reason instead of overflowing a conversion, asking
// for a window of gigabytes or leaving no window at all. Which kinds exist and how controls nest is
// the window's business, checked as it builds them.
class WindowDefinition
{
  public:
    // The largest extent or offset a definition may give, in twips: about 91 inches, more than any
    // screen (an 8K screen at 96 dpi is 115,200 twips wide) and small enough that a control's surface
    // stays a few hundred megabytes at most.
    static constexpr double MaxTwips = 131072;
    // Control arrays are numbered 0 to 32767.
    static constexpr int MaxIndex = 32767;

    // nullopt with `why` filled (the reason alone, without the file's name).
    static std::optional<WindowDefinition> Read(const QString &path, QString *why);
    static std::optional<WindowDefinition> Parse(const QByteArray &json, QString *why);

    const FormEntry &Form() const { return form_; }
    const QStringList &SmallImages() const { return smallImages_; }
    const std::vector<ControlEntry> &Controls() const { return controls_; }

  private:
    FormEntry form_;
    QStringList smallImages_;
    std::vector<ControlEntry> controls_;
};

} // namespace studio
