// SPDX-License-Identifier: GPL-3.0-or-later
#include "bevel/mdlSHPCLR.h"

#include "platform/services/MessageBox.h"

#include <QApplication>
#include <QCursor>
#include <QRegularExpression>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace bevel::mdlSHPCLR
{

namespace
{

// A number as the old runtime's numeric test accepts it: optional sign, digits with at most one
// decimal point, optional exponent. Blanks are gone by the time this runs.
bool IsNumeric(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    return number.match(text).hasMatch();
}

// A 16-bit integer from a numeric text, rounded half to even; nullopt when out of range.
std::optional<std::int16_t> ToInteger(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double rounded = RoundEven(value);
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

bool Fail(bool report, const QString &message)
{
    if (report)
        services::MessageBox::Warn(message, CartesianTitle);
    return false;
}

std::int16_t ToInt16(double value)
{
    return static_cast<std::int16_t>(std::clamp(value, -32768.0, 32767.0));
}

} // namespace

std::int16_t MaxInteger(std::int16_t a, std::int16_t b)
{
    return b < a ? a : b;
}

std::int16_t MinInteger(std::int16_t a, std::int16_t b)
{
    return a < b ? a : b;
}

HLS RGBToHLS(gdi::Colour colour)
{
    const auto r = static_cast<std::int16_t>(colour & 0xFF);
    const auto g = static_cast<std::int16_t>((colour & 0xFF00) / 256);
    const auto b = static_cast<std::int16_t>((colour & 0xFF0000) / 65536);
    const double cMax = MaxInteger(MaxInteger(r, g), b);
    const double cMin = MinInteger(MinInteger(r, g), b);
    const double l = ((cMax + cMin) * 240.0 + 255.0) / 510.0;
    double h = 160.0;
    double s = 0.0;
    if (cMax != cMin) {
        const double sum = cMax + cMin;
        const double diff = cMax - cMin;
        s = l <= 120.0 ? (diff * 240.0 + 0.5) / sum : (diff * 240.0 + 0.5) / (510.0 - sum);
        const double rd = (40.0 * (cMax - r) + 0.5) / diff;
        const double gd = (40.0 * (cMax - g) + 0.5) / diff;
        const double bd = (40.0 * (cMax - b) + 0.5) / diff;
        if (r == cMax)
            h = bd - gd;
        else if (g == cMax)
            h = 80.0 + rd - bd;
        else
            h = 160.0 + gd - rd;
        if (h < 0.0)
            h += 240.0;
    }
    return {ToInt16(RoundEven(h)), ToInt16(RoundEven(s)), ToInt16(RoundEven(l))};
}

std::int32_t HueToRGB(std::int16_t a, std::int16_t b, std::int32_t &hue)
{
    if (hue < 0)
        hue += 240;
    else if (hue > 240)
        hue -= 240;
    const double h = hue;
    if (h < 40.0)
        return static_cast<std::int32_t>(RoundEven(a + ((b - a) * h + 20.0) / 40.0));
    if (h < 120.0)
        return b;
    if (h < 160.0)
        return static_cast<std::int32_t>(RoundEven(a + ((b - a) * (160.0 - h) + 20.0) / 40.0));
    return a;
}

gdi::Colour HLSToRGB(const HLS &hls)
{
    const double s = hls.Saturation, l = hls.Luminance;
    auto channel = [](double v) { return gdi::Colour(std::clamp(static_cast<int>(v), 0, 255)); };
    if (hls.Saturation == 0) {
        const gdi::Colour c = channel(RoundEven(l * 255.0 / 240.0));
        return c | (c << 8) | (c << 16);
    }
    const double m2 = l <= 120.0 ? RoundEven((l * (s + 240.0) + 120.0) / 240.0)
                                 : RoundEven(l + s - (l * s + 120.0) / 240.0);
    const double m1 = 2.0 * l - m2;
    const auto a = ToInt16(m1), b = ToInt16(m2);
    auto level = [&](std::int32_t hue) {
        return channel(RoundEven((HueToRGB(a, b, hue) * 255.0 + 120.0) / 240.0));
    };
    const gdi::Colour red = level(hls.Hue + 80);
    const gdi::Colour green = level(hls.Hue);
    const gdi::Colour blue = level(hls.Hue - 80);
    return red + 256 * green + 65536 * blue;
}

gdi::Colour TranslateColour(gdi::Colour colour)
{
    return gdi::TranslateColour(colour);
}

bool ParseCartesian(QString &text, std::int16_t &x, std::int16_t &y, bool report)
{
    QString t;
    t.reserve(text.size());
    for (QChar c : text)
        if (!c.isSpace())
            t.append(c);
    if (t.isEmpty())
        t = QStringLiteral("(0,0)");
    if (t.startsWith(QLatin1Char(',')))
        t = QStringLiteral("(0,") + t.mid(1);
    if (!t.startsWith(QLatin1Char('(')))
        t.prepend(QLatin1Char('('));
    if (!t.contains(QLatin1Char(','))) {
        if (t.endsWith(QLatin1Char(')')))
            t = t.left(t.size() - 1) + QStringLiteral(",0");
        else
            t += QStringLiteral(",0)");
    }
    if (t.endsWith(QLatin1Char(',')))
        t += QStringLiteral("0)");
    if (!t.endsWith(QLatin1Char(')')))
        t += QLatin1Char(')');

    const int comma = t.indexOf(QLatin1Char(',')); // 0-based; the first comma must follow "(" and a character
    if (!t.startsWith(QLatin1Char('(')) || !t.endsWith(QLatin1Char(')')) || comma + 1 <= 2)
        return Fail(report, CartesianFormatMessage);
    const QString xPart = t.mid(1, comma - 1);
    const QString yPart = t.mid(comma + 1, t.size() - comma - 2);
    if (!IsNumeric(xPart) || !IsNumeric(yPart))
        return Fail(report, CartesianNonNumericMessage);
    const auto xValue = ToInteger(xPart);
    const auto yValue = ToInteger(yPart);
    if (!xValue || !yValue)
        return Fail(report, CartesianValueMessage);
    x = *xValue;
    y = *yValue;
    text = QStringLiteral("(%1,%2)").arg(x).arg(y);
    return true;
}

bool IsMouseOver(const QWidget *window)
{
    return window && QApplication::widgetAt(QCursor::pos()) == window;
}

double Distance(std::int16_t a, std::int16_t b)
{
    return std::sqrt(double(a) * a + double(b) * b);
}

std::int16_t BevelLuminance(std::int16_t baseLuminance, double theta, double &d, int lightMode, bool inverted,
                            int reserved)
{
    Q_UNUSED(reserved);
    if (d > 1.0)
        d = 1.0;
    if (!(d >= 0.0))
        d = 0.0;
    double k = d;
    if ((lightMode == 1 && inverted) || (lightMode == 2 && !inverted))
        k = std::sin(d * HalfTurn / 2.0);
    else if ((lightMode == 1 && !inverted) || (lightMode == 2 && inverted))
        k = std::cos(d * HalfTurn / 2.0);

    double phi = theta;
    if (inverted)
        phi = theta >= HalfTurn ? theta - HalfTurn : theta + HalfTurn;

    const double l0 = baseLuminance;
    const double dark = l0 - (l0 - 40.0) * k;
    const double light = l0 + (220.0 - l0) * k;
    const double s = HalfTurn / 6.0;
    double l = 0.0;
    if (phi == 0.0 || phi == FullTurn)
        l = dark;
    else if (phi < QuarterTurn)
        l = dark + (light - dark) * phi / QuarterTurn;
    else if (phi == QuarterTurn)
        l = light;
    else if (phi < QuarterTurn + s)
        l = l0 + ((phi - QuarterTurn) * 20.0 / s + 220.0 - l0) * k;
    else if (phi <= QuarterTurn + 2.0 * s)
        l = l0 + (240.0 - l0) * k;
    else if (phi < HalfTurn)
        l = l0 + (20.0 - (phi - QuarterTurn - 2.0 * s) * 20.0 / s + 220.0 - l0) * k;
    else if (phi == HalfTurn)
        l = light;
    else if (phi < ThreeQuarterTurn)
        l = light + (phi - HalfTurn) / QuarterTurn * (dark - light);
    else if (phi == ThreeQuarterTurn)
        l = dark;
    else if (phi < ThreeQuarterTurn + s)
        l = l0 - (l0 + (phi - HalfTurn - QuarterTurn) * 40.0 / s - 40.0) * k;
    else if (phi <= ThreeQuarterTurn + 2.0 * s)
        l = l0 - l0 * k;
    else if (phi < FullTurn)
        l = l0 - (l0 + 40.0 - (phi - HalfTurn - QuarterTurn - 2.0 * s) * 40.0 / s - 40.0) * k;
    else
        l = 0.0;
    return ToInt16(RoundEven(l));
}

namespace
{

// The measures of a face outline that the bevel is shaded from.
struct BevelGeometry {
    int width = 0, height = 0;
    int corner = 0;                         // the corner size of rounded outlines
    int half = 0;                           // the distance from the rim to the corner centres
    int band = 0;                           // the bevel height: how deep the band is
    int radius = 0;                         // the inner radius of the band at a corner
    int cx0 = 0, cy0 = 0, cx1 = 0, cy1 = 0; // corner centres, top left and bottom right
};

// The corner size, the corner centres and the band depth of an outline; a bevel height of 0 asks
// for the automatic one, which is a fixed share of the outline's half size.
BevelGeometry MeasureBevel(int w, int h, int shape, int bevelHeight)
{
    BevelGeometry g;
    g.width = w;
    g.height = h;
    int quantum = 0;
    switch (shape) {
    case ShapeRectangle:
    case ShapeRoundedRectangle:
        g.corner = int(RoundEven(h < w ? h / 2.0 : w / 2.0));
        g.half = int(std::floor(g.corner / 2.0));
        quantum = int(std::floor(g.corner / 4.0));
        break;
    case ShapeCircle:
        g.half = int(std::floor(w / 2.0));
        quantum = int(std::floor(w / 8.0));
        break;
    case ShapeCapsule:
        g.corner = h < w ? h : w;
        g.half = int(std::floor(g.corner / 2.0));
        quantum = int(std::floor(g.corner / 8.0));
        break;
    default:
        break;
    }
    if (bevelHeight != 0) {
        g.band = bevelHeight;
        g.radius = g.half - g.band + 1;
    } else {
        g.radius = g.half - quantum;
        g.band = int(RoundEven(g.half - g.radius + 1.0));
    }
    g.cx0 = int(RoundEven(g.half));
    g.cy0 = g.cx0;
    g.cx1 = int(RoundEven(w - g.cx0 - 1.0));
    g.cy1 = int(RoundEven(h - g.cy0 - 1.0));
    return g;
}

// The band between the outer outline and the inner one.
gdi::Region BevelBand(const BevelGeometry &g, int shape)
{
    const int w = g.width, h = g.height, b = g.band, m = g.corner;
    gdi::Region outer, inner;
    switch (shape) {
    case ShapeRectangle:
        outer = gdi::CreateRectRgn(0, 0, w + 1, h + 1);
        inner = gdi::CreateRectRgn(b, b, w - b + 1, h - b + 1);
        break;
    case ShapeCircle:
        outer = gdi::CreateEllipticRgn(0, 0, w + 1, h + 1);
        inner = gdi::CreateEllipticRgn(b, b, w - b + 1, h - b + 1);
        break;
    case ShapeRoundedRectangle:
    case ShapeCapsule:
        outer = gdi::CreateRoundRectRgn(0, 0, w + 1, h + 1, m, m);
        inner = gdi::CreateRoundRectRgn(b, b, w - b + 1, h - b + 1, m - 2 * b, m - 2 * b);
        break;
    default:
        break;
    }
    gdi::Region band;
    gdi::CombineRgn(band, outer, inner, gdi::RGN_XOR);
    return band;
}

// The lit colour of every pixel of the band. Straight edges have one colour per row or column,
// worked out once per line; corners are shaded by their angle round the corner centre.
class BandShader
{
  public:
    BandShader(const BevelGeometry &g, const HLS &base, int lightMode, bool inverted, int reserved)
        : g_(g), base_(base), lightMode_(lightMode), inverted_(inverted), reserved_(reserved),
          depthSpan_(g.band - 1.0), lines_{Cache(std::size_t(g.height)), Cache(std::size_t(g.width)),
                                           Cache(std::size_t(g.height)), Cache(std::size_t(g.width))}
    {
    }

    // Mitred edges: the line at distance k from an edge runs from k to (length - k - 1), so each
    // corner square splits along its diagonal. Later lines own the shared diagonal pixels.
    std::optional<QRgb> RectanglePixel(int x, int y)
    {
        const int w = g_.width, h = g_.height;
        const int kl = x, kt = y, kr = w - 1 - x, kb = h - 1 - y;
        if (y >= kr && y <= h - 1 - kr)
            return EdgeColour(Right, x, y);
        if (x >= kb && x <= w - 1 - kb)
            return EdgeColour(Bottom, x, y);
        if (y >= kl && y <= h - 1 - kl)
            return EdgeColour(Left, x, y);
        if (x >= kt && x <= w - 1 - kt)
            return EdgeColour(Top, x, y);
        return std::nullopt;
    }

    std::optional<QRgb> RoundPixel(int x, int y)
    {
        const int cx0 = g_.cx0, cy0 = g_.cy0, cx1 = g_.cx1, cy1 = g_.cy1;
        double theta = 0.0, dist = 0.0;
        if (x < cx0 && y < cy0) {
            theta = std::atan(double(cy0 - y) / (cx0 - x)) + QuarterTurn;
            dist = Distance(std::int16_t(cx0 - x), std::int16_t(cy0 - y));
        } else if (x < cx0 && y > cy1) {
            theta = std::atan(double(y - cy1) / (cx0 - x)) + HalfTurn;
            dist = Distance(std::int16_t(cx0 - x), std::int16_t(y - cy1));
        } else if (x > cx1 && y > cy1) {
            theta = std::atan(double(y - cy1) / (x - cx1)) + ThreeQuarterTurn;
            dist = Distance(std::int16_t(x - cx1), std::int16_t(y - cy1));
        } else if (x > cx1 && y < cy0) {
            theta = std::atan(double(cy0 - y) / (x - cx1));
            dist = Distance(std::int16_t(x - cx1), std::int16_t(cy0 - y));
        } else if (y < cy0) {
            return EdgeColour(Top, x, y);
        } else if (x < cx0) {
            return EdgeColour(Left, x, y);
        } else if (y > cy1) {
            return EdgeColour(Bottom, x, y);
        } else if (x > cx1) {
            return EdgeColour(Right, x, y);
        } else {
            return std::nullopt;
        }
        return ColourOf(theta, (dist - g_.radius) / depthSpan_);
    }

  private:
    enum Edge { Top, Left, Bottom, Right };
    using Cache = std::vector<std::optional<QRgb>>;

    QRgb ColourOf(double theta, double depth) const
    {
        const std::int16_t l =
            BevelLuminance(base_.Luminance, theta, depth, lightMode_, inverted_, reserved_);
        return gdi::ToQRgb(HLSToRGB({base_.Hue, base_.Saturation, l}));
    }

    QRgb EdgeColour(Edge edge, int x, int y)
    {
        const int index = (edge == Top || edge == Bottom) ? y : x;
        std::optional<QRgb> &cached = lines_[edge][std::size_t(index)];
        if (!cached) {
            const int b = g_.band;
            switch (edge) {
            case Top:
                cached = ColourOf(QuarterTurn, (b - y - 1.0) / depthSpan_);
                break;
            case Left:
                cached = ColourOf(HalfTurn, (b - x - 1.0) / depthSpan_);
                break;
            case Bottom:
                cached = ColourOf(ThreeQuarterTurn, (y - g_.cy1 - g_.radius) / depthSpan_);
                break;
            case Right:
                cached = ColourOf(FullTurn, (x - g_.cx1 - g_.radius) / depthSpan_);
                break;
            }
        }
        return *cached;
    }

    const BevelGeometry &g_;
    const HLS base_;
    const int lightMode_;
    const bool inverted_;
    const int reserved_;
    const double depthSpan_;
    Cache lines_[4];
};

void ShadeBand(QImage &image, const gdi::Region &band, BandShader &shader, bool rectangle)
{
    const QRect bounds = image.rect();
    for (const QRect &rect : band.ToQRegion()) {
        const QRect area = rect.intersected(bounds);
        for (int y = area.top(); y <= area.bottom(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = area.left(); x <= area.right(); ++x) {
                const std::optional<QRgb> c =
                    rectangle ? shader.RectanglePixel(x, y) : shader.RoundPixel(x, y);
                if (c)
                    line[x] = *c;
            }
        }
    }
}

} // namespace

gdi::Region ShadeBevel(gdi::Bitmap &picture, std::int16_t &bevelHeight, gdi::Colour faceColour, int shape,
                       int lightMode, bool inverted, int reserved)
{
    const BevelGeometry g = MeasureBevel(picture.Width(), picture.Height(), shape, bevelHeight);
    if (bevelHeight == 0)
        bevelHeight = static_cast<std::int16_t>(g.band);
    gdi::Region band = BevelBand(g, shape);

    // The face colour fills the image; its luminance is the base of the lighting.
    if (picture.IsNull())
        return band;
    QImage &image = picture.Pixels();
    image.fill(gdi::ToQRgb(TranslateColour(faceColour)));
    const HLS base = RGBToHLS(gdi::FromQRgb(image.pixel(0, 0)));

    // A bevel of height 1 has no depth to shade across: the band keeps the face colour.
    if (g.band - 1 == 0)
        return band;
    BandShader shader(g, base, lightMode, inverted, reserved);
    ShadeBand(image, band, shader, shape == ShapeRectangle);
    return band;
}

} // namespace bevel::mdlSHPCLR
