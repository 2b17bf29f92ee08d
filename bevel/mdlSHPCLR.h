// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bevel/BevelCodes.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Colour.h"
#include "platform/gdi/Region.h"
#include "platform/gdi/Rounding.h"

#include <QString>

#include <cstdint>

class QWidget;

// Shape and colour routines of the bevel button: conversions between packed colours and the
// integer hue/saturation/luminance model (all three on 0..240, channels on 0..255), system colour
// translation, the "(x,y)" offset parser, the cursor hit test and the bevel shader that paints the
// raised and sunken faces.
namespace bevel::mdlSHPCLR
{

// The lighting angles. They are close to, but deliberately not exactly, the multiples of pi/2:
// the faces were tuned with these values and a pixel near the bottom-right corner that reaches
// past the full turn is shaded black on purpose.
inline constexpr double HalfTurn = 3.14159265358979;
inline constexpr double QuarterTurn = 1.5757963267949;
inline constexpr double ThreeQuarterTurn = 4.7173889803846905;
inline constexpr double FullTurn = 6.28318520717959;

// Outline shapes (the button's Appearance values), as the plain integers the shader takes.
inline constexpr int ShapeRectangle = int(Appearance::Rectangle);
inline constexpr int ShapeCircle = int(Appearance::Circle);
inline constexpr int ShapeRoundedRectangle = int(Appearance::RoundedRectangle);
inline constexpr int ShapeCapsule = int(Appearance::Capsule);

// The message box texts of ParseCartesian; lines are separated by CR LF.
inline const QString CartesianTitle = QStringLiteral("Cartesian Co-ordinates Validation");
inline const QString CartesianFormatMessage =
    QStringLiteral("INVALID CARTESIAN CO-ORDINATES FORMAT.\r\n\r\nCo-ordinates must be in the format\r\n"
                   "\"(x,y)\" where x and y are Integers\r\nin the range -32768 to +32767.");
inline const QString CartesianNonNumericMessage =
    QStringLiteral("NON-NUMERIC CARTESIAN CO-ORDINATES.\r\n\r\nCo-ordinates must numeric Integers\r\n"
                   "in the range -32768 to +32767.");
inline const QString CartesianValueMessage =
    QStringLiteral("INVALID CARTESIAN CO-ORDINATES VALUES.\r\n\r\nValues must be Integers in the\r\n"
                   "range -32768 to +32767 only.");

// Hue, saturation and luminance, in this order, each on 0..240 (hue 160 when undefined).
struct HLS {
    std::int16_t Hue = 0;
    std::int16_t Saturation = 0;
    std::int16_t Luminance = 0;
    bool operator==(const HLS &) const = default;
};

// Nearest integer with ties to even, as every rounding of these routines does.
using gdi::RoundEven;

std::int16_t MaxInteger(std::int16_t a, std::int16_t b);
std::int16_t MinInteger(std::int16_t a, std::int16_t b);

HLS RGBToHLS(gdi::Colour colour);
gdi::Colour HLSToRGB(const HLS &hls);
// One channel on the 0..240 scale; `hue` is brought into 0..240 by one adjustment, in place.
std::int32_t HueToRGB(std::int16_t a, std::int16_t b, std::int32_t &hue);

// Plain colours unchanged; a system colour becomes the palette's current colour.
gdi::Colour TranslateColour(gdi::Colour colour);

// Normalises an "(x,y)" text in place and returns its numbers. Blanks are dropped and missing
// parts completed ("" -> "(0,0)", "5" -> "(5,0)", ",7" -> "(0,7)", "(4," -> "(4,0)"). A malformed
// text leaves `text`, `x` and `y` untouched and returns false; with `report` set it first shows
// the failure's message box (callers pass false at run time, where bad writes are ignored quietly).
bool ParseCartesian(QString &text, std::int16_t &x, std::int16_t &y, bool report = true);

// Whether the widget under the cursor is exactly `window`.
bool IsMouseOver(const QWidget *window);

double Distance(std::int16_t a, std::int16_t b);

// Shades the face image `picture` (its whole size is the face): fills it with the face colour and
// gives every pixel of the bevel band its lit colour. `bevelHeight` 0 asks for the automatic
// height, which is written back. Returns the band region, which the caller owns. `reserved` is
// always 0.
gdi::Region ShadeBevel(gdi::Bitmap &picture, std::int16_t &bevelHeight, gdi::Colour faceColour, int shape,
                       int lightMode, bool inverted, int reserved = 0);

// The luminance of one band pixel at angle `theta` and depth `d` (1 at the outer rim, 0 at the
// inner one; clamped into 0..1 in place) on a face of luminance `baseLuminance`.
std::int16_t BevelLuminance(std::int16_t baseLuminance, double theta, double &d, int lightMode, bool inverted,
                            int reserved = 0);

} // namespace bevel::mdlSHPCLR
