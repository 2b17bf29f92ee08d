// SPDX-License-Identifier: GPL-3.0-or-later
#include "bevel/mdlSHPCLR.h"

#include "platform/services/MessageBox.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace bevel::mdlSHPCLR;

namespace
{

// The face colour of the studio's buttons: a grey of luminance 211 (224 in each channel).
constexpr gdi::Colour Face = 0xE0E0E0;

gdi::Colour PixelOf(const gdi::Bitmap &bitmap, int x, int y)
{
    return gdi::FromQRgb(bitmap.Image().pixel(x, y));
}

constexpr gdi::Colour Grey(int channel)
{
    return gdi::RGB(channel, channel, channel);
}

class CartesianOffsets : public ::testing::Test
{
  protected:
    void SetUp() override { services::MessageBox::SetCurrent(&box); }
    void TearDown() override { services::MessageBox::SetCurrent(nullptr); }
    services::RecordingMessageBox box;
};

} // namespace

TEST(ShapeColour, hlsOfGreyAndRedAndTheLossyGreyRoundTrip)
{
    const HLS grey = RGBToHLS(0x808080);
    EXPECT_EQ(grey, (HLS{160, 0, 121}));               // luminance 120.97 rounds up
    EXPECT_EQ(HLSToRGB(grey), 0x818181u);              // and comes back one step lighter
    EXPECT_EQ(RGBToHLS(0x0000FF), (HLS{0, 240, 120})); // 120.5 rounds to even
    EXPECT_EQ(HLSToRGB({0, 240, 120}), 0x0000FFu);
    EXPECT_EQ(HLSToRGB(RGBToHLS(Face)), Face);
    EXPECT_EQ(RGBToHLS(0x00FF00).Hue, 80);
    EXPECT_EQ(RGBToHLS(0xFF0000).Hue, 160);

    std::int32_t hue = 250;
    HueToRGB(0, 240, hue);
    EXPECT_EQ(hue, 10); // one adjustment, in place
}

TEST(ShapeColour, systemColoursTranslateToThePalette)
{
    EXPECT_EQ(TranslateColour(0x8000000F), gdi::GetSysColor(gdi::COLOR_BTNFACE));
    EXPECT_EQ(TranslateColour(0x123456), 0x123456u);
}

TEST_F(CartesianOffsets, parseCartesianCompletesAndNormalisesOffsets)
{
    struct Row {
        const char *text, *normalised;
        int x, y;
    } rows[] = {{"", "(0,0)", 0, 0},
                {"5", "(5,0)", 5, 0},
                {",7", "(0,7)", 0, 7},
                {"(4,", "(4,0)", 4, 0},
                {" ( 3 , -2 ) ", "(3,-2)", 3, -2},
                {"(8)", "(8,0)", 8, 0},
                {"(2.5,3.5)", "(2,4)", 2, 4},
                {"(-32768,32767)", "(-32768,32767)", -32768, 32767}};
    for (const Row &row : rows) {
        QString text = QString::fromLatin1(row.text);
        std::int16_t x = 99, y = 99;
        EXPECT_TRUE(ParseCartesian(text, x, y)) << row.text;
        EXPECT_EQ(text, QString::fromLatin1(row.normalised)) << row.text;
        EXPECT_EQ(x, row.x) << row.text;
        EXPECT_EQ(y, row.y) << row.text;
    }
    EXPECT_TRUE(box.calls.empty());
}

TEST_F(CartesianOffsets, parseCartesianFailuresShowTheirMessageAndChangeNothing)
{
    struct Row {
        const char *text;
        const QString &message;
    } rows[] = {{"(,5)", CartesianFormatMessage},     {"(a,5)", CartesianNonNumericMessage},
                {"(5,)", CartesianNonNumericMessage}, {"(1,2,3)", CartesianNonNumericMessage},
                {"(40000,0)", CartesianValueMessage}, {"(0,-32769)", CartesianValueMessage}};
    for (const Row &row : rows) {
        box.calls.clear();
        QString text = QString::fromLatin1(row.text);
        std::int16_t x = 1, y = 2;
        EXPECT_FALSE(ParseCartesian(text, x, y)) << row.text;
        EXPECT_EQ(text, QString::fromLatin1(row.text));
        EXPECT_EQ(x, 1);
        EXPECT_EQ(y, 2);
        ASSERT_EQ(box.calls.size(), 1u) << row.text;
        EXPECT_EQ(box.calls[0].text, row.message);
        EXPECT_EQ(box.calls[0].title, QStringLiteral("Cartesian Co-ordinates Validation"));
        EXPECT_EQ(box.calls[0].flags, services::MB_OK | services::MB_ICONEXCLAMATION);
    }
    EXPECT_TRUE(
        CartesianFormatMessage.startsWith(QStringLiteral("INVALID CARTESIAN CO-ORDINATES FORMAT.\r\n\r\n")));
    EXPECT_TRUE(CartesianFormatMessage.contains(QStringLiteral("\"(x,y)\" where x and y are Integers\r\n")));

    // Run-time callers parse quietly.
    box.calls.clear();
    QString text = QStringLiteral("(a,1)");
    std::int16_t x = 0, y = 0;
    EXPECT_FALSE(ParseCartesian(text, x, y, false));
    EXPECT_TRUE(box.calls.empty());
}

TEST(ShapeColour, automaticBevelOfARoundedRectangle)
{
    // 100 x 30: m = 15, half = 7, quantum 3, so the bevel is 4 deep with an inner radius of 4.
    gdi::Bitmap face(100, 30);
    std::int16_t height = 0;
    const gdi::Region band = ShadeBevel(face, height, Face, ShapeRoundedRectangle, 2, false);
    EXPECT_EQ(height, 4);
    gdi::Region expected;
    gdi::CombineRgn(expected, gdi::CreateRoundRectRgn(0, 0, 101, 31, 15, 15),
                    gdi::CreateRoundRectRgn(4, 4, 97, 27, 7, 7), gdi::RGN_XOR);
    EXPECT_EQ(band, expected);
    // Across the middle row the band is four pixels on each side; inside it the face is flat.
    for (int x = 0; x < 100; ++x)
        EXPECT_EQ(band.Contains(x, 15), x < 4 || x >= 96) << x;
    EXPECT_EQ(PixelOf(face, 50, 15), Face);

    // Raised (light mode 2): d = 1 on the outer rim, k = sin(pi/2) = 1.
    // Top edge, quarter turn: light = 211 + (220 - 211) = 220 -> 220 * 255 / 240 = 233.75 -> 234.
    EXPECT_EQ(PixelOf(face, 50, 0), Grey(234));
    // Left edge, half turn: light as well.
    EXPECT_EQ(PixelOf(face, 0, 15), Grey(234));
    // Bottom edge (three-quarter turn) and right edge (full turn): dark = 40 -> 42.5 -> 42.
    EXPECT_EQ(PixelOf(face, 50, 29), Grey(42));
    EXPECT_EQ(PixelOf(face, 99, 15), Grey(42));
    // Top-left corner pixel (2, 2): theta = pi/4 + quarter turn lies in the highlight peak, and
    // d = (sqrt(50) - 4) / 3 clamps to 1: luminance 240, white.
    ASSERT_TRUE(band.Contains(2, 2));
    EXPECT_EQ(PixelOf(face, 2, 2), Grey(255));
    // Bottom-right corner pixel (97, 27): pi/4 past the three-quarter turn, the deepest shadow.
    ASSERT_TRUE(band.Contains(97, 27));
    EXPECT_EQ(PixelOf(face, 97, 27), Grey(0));
    // One step in from the top (d = 2/3, k = sin(pi/3)): 211 + 9 * 0.866 = 218.8 -> 219 -> 232.69 -> 233.
    EXPECT_EQ(PixelOf(face, 50, 1), Grey(233));

    // The sunken face (light mode 1, inverted) is lit from the other side: half a turn on.
    gdi::Bitmap sunken(100, 30);
    ShadeBevel(sunken, height, Face, ShapeRoundedRectangle, 1, true);
    EXPECT_EQ(PixelOf(sunken, 97, 27), Grey(255));
    EXPECT_EQ(PixelOf(sunken, 2, 2), Grey(0));
    EXPECT_EQ(PixelOf(sunken, 50, 0), Grey(42));
}

TEST(ShapeColour, circleHasOnlyCornerZones)
{
    // 80 x 80: half = 40, cx0 = 40 but cx1 = 39, so no pixel lies on a straight edge.
    gdi::Bitmap face(80, 80);
    std::int16_t height = 0;
    const gdi::Region band = ShadeBevel(face, height, Face, ShapeCircle, 2, false);
    EXPECT_EQ(height, 11); // quantum 80 / 8 = 10, plus one
    // (40, 0) is a top-right corner pixel: theta = atan(40) = 1.5458, d = (sqrt(1601) - 30) / 10 -> 1,
    // L = 40 + 180 * 1.5458 / 1.5758 = 216.57 -> 217 -> 230.56 -> 231. A top edge pixel would be 234.
    ASSERT_TRUE(band.Contains(40, 0));
    EXPECT_EQ(PixelOf(face, 40, 0), Grey(231));
    // (39, 0) is top-left: theta = atan(40) + quarter turn = 3.1216 falls past the highlight peak,
    // L = 211 + (20 - 0.4986 * 20 / (pi / 6) + 220 - 211) = 220.95 -> 221 -> 234.8 -> 235.
    EXPECT_EQ(PixelOf(face, 39, 0), Grey(235));
}

TEST(ShapeColour, rectangleEdgesMeetInMitres)
{
    gdi::Bitmap face(20, 12);
    std::int16_t height = 3;
    ShadeBevel(face, height, Face, ShapeRectangle, 2, false);
    // Below the top-right diagonal the pixel belongs to the right edge (dark), above it to the top.
    EXPECT_EQ(PixelOf(face, 18, 0), Grey(234));
    EXPECT_EQ(PixelOf(face, 19, 1), Grey(42));
    EXPECT_EQ(PixelOf(face, 1, 0), Grey(234));
    EXPECT_EQ(PixelOf(face, 0, 1), Grey(234));
}

TEST(ShapeColour, bevelOfHeightOneKeepsTheFace)
{
    gdi::Bitmap face(30, 30);
    std::int16_t height = 1;
    const gdi::Region band = ShadeBevel(face, height, Face, ShapeCircle, 2, false);
    EXPECT_FALSE(band.IsEmpty());
    for (int x = 0; x < 30; ++x)
        EXPECT_EQ(PixelOf(face, x, 15), Face);
}

TEST(ShapeColour, bevelLuminanceClampsDepthAndTurnsWhenInverted)
{
    double d = 3.0;
    EXPECT_EQ(BevelLuminance(100, QuarterTurn, d, 2, false), 220);
    EXPECT_EQ(d, 1.0);
    d = std::nan("");
    EXPECT_EQ(BevelLuminance(100, QuarterTurn, d, 2, false), 100);
    EXPECT_EQ(d, 0.0);
    d = 1.0;
    EXPECT_EQ(BevelLuminance(100, FullTurn + 0.001, d, 2, false), 0);
    // Mode 1 not inverted uses the cosine: at full depth there is no shading at all.
    d = 1.0;
    EXPECT_EQ(BevelLuminance(100, QuarterTurn, d, 1, false), 100);
}
