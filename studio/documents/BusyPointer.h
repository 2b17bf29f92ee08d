// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace documents {

// Shows the hourglass (busy) pointer over the application while it lives. Does nothing in a
// program without a graphical application, such as the command-line tool.
class BusyPointer {
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;

private:
    bool shown_ = false;
};

} // namespace documents
