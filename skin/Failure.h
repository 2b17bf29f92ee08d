// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <stdexcept>

namespace skin
{

// A failed operation of the skin or a skinned control, carrying the error number and description
// that ReportError shows. Thrown by operations that hand their failures to the caller (for
// example ClsPictureDC::SetPictBitmap) and caught where the failure is reported.
class Failure : public std::runtime_error
{
  public:
    Failure(long number, const QString &description)
        : std::runtime_error(description.toStdString()), number_(number), description_(description)
    {
    }
    long Number() const { return number_; }
    const QString &Description() const { return description_; }

    // Error numbers used by this library.
    static constexpr long InvalidPicture = 481;
    static constexpr long OutOfMemory = 7;

  private:
    long number_;
    QString description_;
};

} // namespace skin
