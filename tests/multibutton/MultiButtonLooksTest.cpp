// SPDX-License-Identifier: GPL-3.0-or-later
// Oracles for the eight looks: every look drawn without a caption matches the checksum recorded
// for it, and a caption draws only inside the caption rectangle the layout reports.
//
// When a look changes on purpose, record the new checksums with
//     tests/multibutton/regenerate-looks build/dev
// and review the changed lines of tests/multibutton/looks.txt in the commit.
#include "MultiButtonTestSupport.h"

#include <QFile>
#include <QTextStream>
#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace multibutton
{
namespace
{

using test::Host;
using test::Look;

const QString LooksFile = QStringLiteral(ORVENA_SOURCE_DIR "/tests/multibutton/looks.txt");

// FNV-1a over the size and the colour of every pixel the window shows.
quint64 Checksum(const QImage &image)
{
    quint64 h = 14695981039346656037ull;
    const auto mix = [&h](quint32 v) {
        for (int i = 0; i < 4; ++i) {
            h ^= (v >> (8 * i)) & 0xFF;
            h *= 1099511628211ull;
        }
    };
    mix(quint32(image.width()));
    mix(quint32(image.height()));
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            mix(row[x] & 0xFFFFFFu);
    }
    return h;
}

QString Name(const Look &look)
{
    return QStringLiteral("style %1 shape %2 mode %3 state %4")
        .arg(look.style)
        .arg(look.shape)
        .arg(look.mode)
        .arg(look.state);
}

using LookKey = std::tuple<int, int, int, int>;

std::map<LookKey, quint64> ReadLooks()
{
    std::map<LookKey, quint64> recorded;
    QFile file(LooksFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return recorded;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList f = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (f.size() != 5)
            continue;
        recorded[{f[0].toInt(), f[1].toInt(), f[2].toInt(), f[3].toInt()}] = f[4].toULongLong(nullptr, 16);
    }
    return recorded;
}

TEST(MultiButtonLooks, EveryLookWithoutCaptionMatchesItsRecordedChecksum)
{
    const test::ManualTime time;
    Host host;
    host.Show();
    std::map<LookKey, quint64> drawn;
    for (const Look &look : test::EveryLook()) {
        zqButtons_H *button = test::DrawLook(host, look, QString());
        drawn[{look.style, look.shape, look.mode, look.state}] = Checksum(button->Surface());
        delete button;
    }

    // The regeneration tool runs this case with ORVENA_RECORD_LOOKS set: it writes the file
    // instead of comparing.
    if (qEnvironmentVariableIsSet("ORVENA_RECORD_LOOKS")) {
        QFile file(LooksFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text));
        QTextStream out(&file);
        out << "# Checksums of the multi-style button's looks drawn without a caption (48 x 30).\n"
               "# style shape mode state checksum; written by tests/multibutton/regenerate-looks.\n";
        for (const auto &[key, sum] : drawn)
            out << std::get<0>(key) << ' ' << std::get<1>(key) << ' ' << std::get<2>(key) << ' '
                << std::get<3>(key) << ' ' << QString::number(sum, 16) << '\n';
        GTEST_SKIP() << "recorded " << drawn.size() << " looks";
    }

    const std::map<LookKey, quint64> recorded = ReadLooks();
    ASSERT_EQ(recorded.size(), drawn.size()) << "run tests/multibutton/regenerate-looks";
    int differing = 0;
    for (const auto &[key, sum] : drawn) {
        const auto [style, shape, mode, state] = key;
        const auto it = recorded.find(key);
        ASSERT_NE(it, recorded.end());
        if (it->second != sum && ++differing <= 20)
            ADD_FAILURE() << Name({style, shape, mode, state}).toStdString() << " draws differently";
    }
    EXPECT_EQ(differing, 0);
}

// The smallest rectangle holding every pixel where two renders differ (empty when equal).
QRect Difference(const QImage &a, const QImage &b)
{
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

struct CaptionCase {
    const char *name;
    int style;
    int captionAlign;
    int captionStyle; // 1 and 2 draw two offset shadows around the text
    bool disabled;    // a check box greys its caption with a white shadow
    bool checked;     // a checked look moves the caption one pixel down (and right)
};

class MultiButtonCaption : public ::testing::TestWithParam<CaptionCase>
{
};

TEST_P(MultiButtonCaption, DrawsOnlyInsideTheCaptionRectangle)
{
    const CaptionCase &c = GetParam();
    Host host;
    const auto render = [&](const QString &caption) {
        zqButtons_H *button = host.Add(120, 40);
        button->DelayDrawing(true);
        button->SetButtonStyle(c.style);
        button->SetMode(zqButtons_H::CheckMode);
        button->SetShowFocusRect(false);
        button->SetCaptionAlign(c.captionAlign);
        button->SetCaptionStyle(c.captionStyle);
        button->SetCaption(caption);
        button->SetValue(c.checked);
        button->SetEnabled(!c.disabled);
        button->DelayDrawing(false);
        button->RedrawButton();
        return button;
    };
    zqButtons_H *plain = render(QString());
    zqButtons_H *captioned = render(QStringLiteral("Ab"));
    const QRect drawn = Difference(plain->BackBuffer().Image(), captioned->BackBuffer().Image());
    ASSERT_FALSE(drawn.isEmpty()) << "no caption drawn";

    const gdi::Rect r = captioned->CaptionRect();
    // Shadows reach one pixel left and two below; the pressed look moves everything by one.
    QRect allowed(QPoint(r.left - 1, r.top), QPoint(r.right + 1, r.bottom + 2));
    if (c.checked)
        allowed.adjust(0, 0, 1, 1);
    EXPECT_TRUE(allowed.contains(drawn))
        << "caption pixels " << drawn.x() << ',' << drawn.y() << ' ' << drawn.width() << 'x' << drawn.height()
        << " outside " << allowed.x() << ',' << allowed.y() << ' ' << allowed.width() << 'x'
        << allowed.height();
    // Left, centre and right alignment put the text at that side of the face.
    const int middle = captioned->width() / 2;
    if (c.captionAlign == 0)
        EXPECT_LT(drawn.right(), middle);
    else if (c.captionAlign == 1)
        EXPECT_GT(drawn.left(), middle);
    else
        EXPECT_TRUE(drawn.left() < middle && drawn.right() > middle);
}

const CaptionCase CaptionCases[] = {
    {"FlatLeft", 0, 0, 0, false, false},          {"FlatRight", 0, 1, 0, false, false},
    {"FlatCentre", 0, 2, 0, false, false},        {"SunkenShadows", 1, 2, 1, false, false},
    {"RaisedShadows", 2, 2, 2, false, false},     {"CheckedMovesDown", 3, 2, 0, false, true},
    {"CheckedWithShadows", 6, 0, 1, false, true}, {"DisabledGreyWithWhiteShadow", 4, 2, 0, true, false},
    {"DisabledAtTheRight", 5, 1, 0, true, false}, {"StyleSevenCentre", 7, 2, 0, false, false},
};

INSTANTIATE_TEST_SUITE_P(Rows, MultiButtonCaption, ::testing::ValuesIn(CaptionCases),
                         [](const ::testing::TestParamInfo<CaptionCase> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace multibutton
