// SPDX-License-Identifier: GPL-3.0-or-later
// The skin on a real X server: the demo window's frame and background are the skin bitmaps'
// pixels, a drag on its title band moves it (no window manager: the window follows the mouse
// itself), and its skinned close button ends it.
#include "E2eSupport.h"

#include "platform/services/Resources.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

namespace {

const QString DemoTitle = QStringLiteral("Orvena Skin Demo");
constexpr int Left = 120, Top = 90, Width = 520, Height = 360;

QImage SkinBitmap(const char *name)
{
    return services::Resources::Bitmap(QString::fromLatin1(name)).convertToFormat(QImage::Format_RGB32);
}

// The window's position as the X server has it; false while it is not mapped.
bool WindowOrigin(QPoint &origin)
{
    const auto info = e2e::Run("xwininfo", {"-name", DemoTitle}, 5000);
    if (info.exitCode != 0 || !info.out.contains("Map State: IsViewable"))
        return false;
    const QString text = QString::fromLocal8Bit(info.out);
    const auto x = QRegularExpression(QStringLiteral("Absolute upper-left X:\\s+(-?\\d+)")).match(text);
    const auto y = QRegularExpression(QStringLiteral("Absolute upper-left Y:\\s+(-?\\d+)")).match(text);
    if (!x.hasMatch() || !y.hasMatch())
        return false;
    origin = QPoint(x.captured(1).toInt(), y.captured(1).toInt());
    return true;
}

QImage Screenshot(const QString &file)
{
    const auto shot = e2e::Run("import", {"-window", "root", file}, 15000);
    if (shot.exitCode != 0)
        return {};
    return QImage(file).convertToFormat(QImage::Format_RGB32);
}

int Mismatches(const QImage &shot, QPoint at, const QImage &bitmap, const QRect &part)
{
    int bad = 0;
    for (int y = part.top(); y <= part.bottom(); ++y)
        for (int x = part.left(); x <= part.right(); ++x)
            bad += shot.pixel(at.x() + x, at.y() + y) != bitmap.pixel(x, y);
    return bad;
}

// Drags with the real mouse from `grip` by `delta`, in steps, as a user would.
e2e::CommandResult Drag(QPoint grip, QPoint delta)
{
    return e2e::Run("xdotool", {"mousemove", QString::number(grip.x()), QString::number(grip.y()), "sleep", "0.3",
                                "mousedown", "1", "sleep", "0.3", "mousemove", QString::number(grip.x() + delta.x() / 2),
                                QString::number(grip.y() + delta.y() / 2), "sleep", "0.2", "mousemove",
                                QString::number(grip.x() + delta.x()), QString::number(grip.y() + delta.y()), "sleep",
                                "0.3", "mouseup", "1"},
                    15000);
}

// Waits until the window is at `expected` (or the time is up) and returns where it is.
QPoint SettledOrigin(QPoint expected)
{
    QPoint now;
    QDeadlineTimer settled(10000);
    while ((!WindowOrigin(now) || now != expected) && !settled.hasExpired())
        QThread::msleep(100);
    return now;
}

class SkinDemoE2e : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (demo.state() != QProcess::NotRunning) {
            demo.kill();
            demo.waitForFinished(5000);
        }
    }
    // Starts the demo and waits for its window; false when it never maps.
    bool StartDemo(QPoint &origin)
    {
        demo.start(QStringLiteral(ORVENA_BINARY_DIR "/bin/orvena-skin-demo"),
                   {"--pos", QStringLiteral("%1,%2").arg(Left).arg(Top), "--size",
                    QStringLiteral("%1,%2").arg(Width).arg(Height)});
        if (!demo.waitForStarted(10000))
            return false;
        QDeadlineTimer mapped(20000);
        while (!WindowOrigin(origin) && !mapped.hasExpired())
            QThread::msleep(100);
        return !mapped.hasExpired();
    }
    QProcess demo;
    QTemporaryDir dir;
};

TEST_F(SkinDemoE2e, frameIsTheSkinTitleBandDragMovesAndCloseButtonQuits)
{
    if (!e2e::HaveDesktop())
        GTEST_SKIP() << "needs scripts/with-desktop";
    ASSERT_TRUE(dir.isValid());
    QPoint origin;
    ASSERT_TRUE(StartDemo(origin)) << "the demo window never mapped";
    EXPECT_EQ(origin, QPoint(Left, Top));

    // The frame: corners at their natural size. The caption buttons sit over the top of the
    // top-right corner, so only its rows below them are compared.
    const QImage tl = SkinBitmap("TOPLEFT"), tr = SkinBitmap("TOPRIGHT"), bl = SkinBitmap("BOTTOMLEFT"),
                 br = SkinBitmap("BOTTOMRIGHT"), bg = SkinBitmap("BACKGROUND");
    ASSERT_FALSE(tl.isNull());
    const QString file = dir.filePath(QStringLiteral("screen.png"));
    QImage shot;
    QDeadlineTimer painted(15000);
    do {
        shot = Screenshot(file);
    } while ((shot.isNull() || Mismatches(shot, origin, tl, tl.rect()) != 0) && !painted.hasExpired() &&
             (QThread::msleep(200), true));
    ASSERT_FALSE(shot.isNull());
    shot.save(QStringLiteral(ORVENA_BINARY_DIR "/e2e-skin-demo.png"));   // for a look by eye
    EXPECT_EQ(Mismatches(shot, origin, tl, tl.rect()), 0);
    EXPECT_EQ(Mismatches(shot, origin + QPoint(Width - tr.width(), 0), tr, QRect(0, 20, tr.width(), tr.height() - 20)), 0);
    EXPECT_EQ(Mismatches(shot, origin + QPoint(0, Height - bl.height()), bl, bl.rect()), 0);
    EXPECT_EQ(Mismatches(shot, origin + QPoint(Width - br.width(), Height - br.height()), br, br.rect()), 0);
    // The background tiles, where no control covers them (the demo keeps this area free).
    int tileMismatches = 0;
    for (int y = 100; y < 195; y += 3)
        for (int x = 200; x < 375; x += 3)
            tileMismatches += shot.pixel(origin.x() + x, origin.y() + y) != bg.pixel(x % bg.width(), y % bg.height());
    EXPECT_EQ(tileMismatches, 0);

    // A real drag on the title band (clear of the caption label and the buttons).
    const QPoint grip = origin + QPoint(380, 10);
    const QPoint delta(-70, 45);
    const auto drag = Drag(grip, delta);
    ASSERT_EQ(drag.exitCode, 0) << drag.err.constData();
    const QPoint moved = SettledOrigin(origin + delta);
    EXPECT_EQ(moved, origin + delta);
    const auto geometry = e2e::Run("xdotool", {"search", "--name", DemoTitle, "getwindowgeometry"}, 5000);
    EXPECT_TRUE(geometry.out.contains(QStringLiteral("Position: %1,%2").arg(moved.x()).arg(moved.y()).toLatin1()))
        << geometry.out.constData();
    EXPECT_TRUE(geometry.out.contains(QStringLiteral("Geometry: %1x%2").arg(Width).arg(Height).toLatin1()))
        << geometry.out.constData();

    // The skinned close button (18 pixels wide, a few pixels in from the right edge).
    const QPoint closeButton = moved + QPoint(Width - 15, 10);
    const auto click = e2e::Run("xdotool", {"mousemove", QString::number(closeButton.x()),
                                            QString::number(closeButton.y()), "sleep", "0.2", "click", "1"}, 10000);
    ASSERT_EQ(click.exitCode, 0);
    EXPECT_TRUE(demo.waitForFinished(10000)) << "the close button did not end the demo";
    EXPECT_EQ(demo.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(demo.exitCode(), 0);
}

// With a window manager the move is the window manager's own interactive move.
TEST_F(SkinDemoE2e, titleBandDragMovesTheWindowUnderAWindowManager)
{
    if (!e2e::HaveDesktop())
        GTEST_SKIP() << "needs scripts/with-desktop";
    QProcess wm;
    wm.start(QStringLiteral("openbox"), {});
    if (!wm.waitForStarted(5000))
        GTEST_SKIP() << "openbox is not installed";
    // The window manager is up once it names itself on the root window.
    QDeadlineTimer up(15000);
    while (!e2e::Run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}, 5000).out.contains("window id") && !up.hasExpired())
        QThread::msleep(100);
    const bool running = !up.hasExpired();
    QPoint origin;
    const bool mapped = running && StartDemo(origin);
    QPoint moved;
    QPoint delta(-90, 60);
    if (mapped) {
        QThread::msleep(500); // let the window manager finish placing the new window
        WindowOrigin(origin);
        const auto drag = Drag(origin + QPoint(380, 10), delta);
        EXPECT_EQ(drag.exitCode, 0) << drag.err.constData();
        moved = SettledOrigin(origin + delta);
    }
    demo.kill();
    demo.waitForFinished(5000);
    wm.kill();
    wm.waitForFinished(5000);
    // The X server outlives its clients (it does not reset), so the dead window manager's marks on the
    // root window would stay and make later windows on the same server believe one still runs.
    for (const char *mark : {"_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED"})
        e2e::Run("xprop", {"-root", "-remove", mark}, 5000);
    ASSERT_TRUE(running) << "openbox did not come up";
    ASSERT_TRUE(mapped) << "the demo window never mapped";
    EXPECT_EQ(moved, origin + delta);
}

} // namespace
