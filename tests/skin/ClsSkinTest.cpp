// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/ClsSkin.h"

#include "platform/services/EventLog.h"
#include "platform/services/MessageBox.h"
#include "platform/services/Resources.h"
#include "platform/ui/Form.h"
#include "platform/ui/Twips.h"
#include "platform/ui/UserControl.h"
#include "skin/HostControls.h"
#include "skin/ReportError.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QSet>
#include <QTest>

#include <memory>

using namespace skin;

namespace {

QImage Skin(const char *name)
{
    return services::Resources::Bitmap(QString::fromLatin1(name)).convertToFormat(QImage::Format_RGB32);
}

// The colours a column (or row) of a bitmap holds: what a stretched edge may show there.
QSet<QRgb> RowColours(const QImage &image, int y)
{
    QSet<QRgb> set;
    for (int x = 0; x < image.width(); ++x)
        set.insert(image.pixel(x, y));
    return set;
}
QSet<QRgb> ColumnColours(const QImage &image, int x)
{
    QSet<QRgb> set;
    for (int y = 0; y < image.height(); ++y)
        set.insert(image.pixel(x, y));
    return set;
}

class ClsSkinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        services::MessageBox::SetCurrent(&box);
        services::EventLog::SetCurrent(&log);
        ResetReportErrorGuard();
    }
    void TearDown() override
    {
        ResetReportErrorGuard();
        services::MessageBox::SetCurrent(nullptr);
        services::EventLog::SetCurrent(nullptr);
    }

    // A shown borderless form of the given client size with a skin attached.
    void Open(int width, int height, int borderStyle = ui::vbBSNone)
    {
        form = std::make_unique<ui::Form>();
        form->SetBorderStyle(borderStyle);
        form->SetCaption(QStringLiteral("Skinned"));
        form->setGeometry(50, 50, width, height);
        skin = std::make_unique<ClsSkin>();
        skin->SetTheForm(form.get());
    }
    void Show()
    {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    // A plain child control known to the skin by its tag.
    QWidget *AddTagged(const QString &tag, QSize size = QSize(18, 13))
    {
        auto *w = new QWidget(form.get());
        w->resize(size);
        SetControlTag(w, tag);
        form->AddControl(w);
        return w;
    }
    QImage Shot() { return form->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    int Px(double twips) const { return ui::Twips::ToPixelsX(twips, form.get()); }
    int Py(double twips) const { return ui::Twips::ToPixelsY(twips, form.get()); }

    services::RecordingMessageBox box;
    services::RecordingEventLog log;
    // The skin goes before its form, as the studio's skin dies with the studio window.
    std::unique_ptr<ui::Form> form;
    std::unique_ptr<ClsSkin> skin;
};

// -- painting ----------------------------------------------------------------------------------

TEST(ClsSkinGeometry, tilesCoverTheClientInclusiveOfTheLastColumnAndRow)
{
    const auto origins = ClsSkin::TileOrigins(QSize(570, 560), QSize(57, 56));
    ASSERT_EQ(origins.size(), 121u); // columns 0..10 by rows 0..10
    EXPECT_EQ(origins.front(), QPoint(0, 0));
    EXPECT_EQ(origins[1], QPoint(0, 56)); // rows run inside columns
    EXPECT_EQ(origins[11], QPoint(57, 0));
    EXPECT_EQ(origins.back(), QPoint(570, 560));

    EXPECT_EQ(ClsSkin::TileOrigins(QSize(56, 55), QSize(57, 56)).size(), 1u); // smaller than a tile
    EXPECT_EQ(ClsSkin::TileOrigins(QSize(571, 1), QSize(57, 56)).size(), 11u);
    EXPECT_TRUE(ClsSkin::TileOrigins(QSize(100, 100), QSize(0, 56)).empty());
}

TEST(ClsSkinGeometry, frameCopiesRunEdgesThenCornersAtTheRightPlaces)
{
    std::array<QSize, ClsSkin::PieceCount> sizes;
    for (int i = 0; i < ClsSkin::PieceCount; ++i)
        sizes[i] = Skin(ClsSkin::PieceNames()[i]).size();
    const auto copies = ClsSkin::FrameCopies(QRect(0, 0, 300, 200), sizes);
    ASSERT_EQ(copies.size(), 8u);
    const struct {
        ClsSkin::Piece piece;
        QRect destination;
        bool stretch;
    } expected[] = {
        {ClsSkin::TopForm, QRect(0, 0, 300, 26), true},
        {ClsSkin::BottomForm, QRect(0, 181, 300, 19), true},
        {ClsSkin::RightForm, QRect(288, 0, 12, 200), true},
        {ClsSkin::LeftForm, QRect(0, 0, 22, 200), true},
        {ClsSkin::TopLeft, QRect(0, 0, 70, 38), false},
        {ClsSkin::TopRight, QRect(256, 0, 44, 33), false},
        {ClsSkin::BottomLeft, QRect(0, 178, 79, 22), false},
        {ClsSkin::BottomRight, QRect(280, 174, 20, 26), false},
    };
    for (std::size_t i = 0; i < copies.size(); ++i) {
        EXPECT_EQ(copies[i].piece, expected[i].piece) << i;
        EXPECT_EQ(copies[i].destination, expected[i].destination) << i;
        EXPECT_EQ(copies[i].stretch, expected[i].stretch) << i;
    }
}

TEST_F(ClsSkinTest, borderlessWindowShowsTilesFrameAndCornersFromTheBitmaps)
{
    Open(570, 560);
    skin->SetFrmPict();
    Show();
    const QImage shot = Shot();
    ASSERT_EQ(shot.size(), QSize(570, 560));
    const QImage bg = Skin("BACKGROUND");
    for (const QPoint p : {QPoint(100, 100), QPoint(300, 300), QPoint(456, 448), QPoint(540, 500)})
        EXPECT_EQ(shot.pixel(p), bg.pixel(p.x() % 57, p.y() % 56)) << p.x() << "," << p.y();

    struct Corner {
        const char *name;
        QPoint at;
    };
    const QImage tr = Skin("TOPRIGHT"), bl = Skin("BOTTOMLEFT"), br = Skin("BOTTOMRIGHT");
    for (const Corner &c : {Corner{"TOPLEFT", QPoint(0, 0)}, Corner{"TOPRIGHT", QPoint(570 - tr.width(), 0)},
                            Corner{"BOTTOMLEFT", QPoint(0, 560 - bl.height())},
                            Corner{"BOTTOMRIGHT", QPoint(570 - br.width(), 560 - br.height())}}) {
        const QImage bitmap = Skin(c.name);
        EXPECT_EQ(shot.copy(QRect(c.at, bitmap.size())), bitmap) << c.name;
    }
    // Edges keep their thickness and are stretched along their length only.
    const QImage top = Skin("TOPFORM"), left = Skin("LEFTFORM"), right = Skin("RIGHTFORM"), bottom = Skin("BOTTOMFORM");
    for (int y = 0; y < top.height(); ++y)
        EXPECT_TRUE(RowColours(top, y).contains(shot.pixel(285, y))) << "top edge row " << y;
    EXPECT_EQ(shot.pixel(285, top.height()), bg.pixel(285 % 57, top.height()));
    for (int x = 0; x < left.width(); ++x)
        EXPECT_TRUE(ColumnColours(left, x).contains(shot.pixel(x, 280))) << "left edge column " << x;
    for (int x = 0; x < right.width(); ++x)
        EXPECT_TRUE(ColumnColours(right, x).contains(shot.pixel(570 - right.width() + x, 280))) << x;
    for (int y = 0; y < bottom.height(); ++y)
        EXPECT_TRUE(RowColours(bottom, y).contains(shot.pixel(285, 560 - bottom.height() + y))) << y;
    EXPECT_TRUE(box.calls.empty());
}

TEST_F(ClsSkinTest, narrowWindowDrawsTheTopRightCornerOverTheTopLeft)
{
    Open(100, 120);
    skin->SetFrmPict();
    Show();
    const QImage shot = Shot();
    const QImage tl = Skin("TOPLEFT"), tr = Skin("TOPRIGHT");
    const int trLeft = 100 - tr.width(); // 56, inside the 70-pixel top-left corner
    int differing = 0;
    for (int x = trLeft; x < tl.width(); ++x) {
        for (int y = 0; y < tr.height(); ++y) {
            EXPECT_EQ(shot.pixel(x, y), tr.pixel(x - trLeft, y)) << x << "," << y;
            differing += tl.pixel(x, y) != tr.pixel(x - trLeft, y);
        }
    }
    EXPECT_GT(differing, 0) << "the corners must differ where they overlap for this check to mean anything";
    // Below the top-right corner the top-left one still shows.
    EXPECT_EQ(shot.pixel(60, tr.height() + 2), tl.pixel(60, tr.height() + 2));
}

TEST_F(ClsSkinTest, framedWindowPaintsNothingUntilItsBackgroundIsLoadedAndNeverAFrame)
{
    Open(200, 150, ui::vbFixedSingle);
    form->SetBackColor(0x00123456);
    Show();
    QImage shot = Shot();
    EXPECT_EQ(shot.pixel(5, 5), gdi::ToQRgb(0x00123456));
    EXPECT_EQ(shot.pixel(150, 100), gdi::ToQRgb(0x00123456));

    skin->SetFrmBackPict();
    form->repaint();
    shot = Shot();
    const QImage bg = Skin("BACKGROUND");
    for (const QPoint p : {QPoint(0, 0), QPoint(5, 5), QPoint(199, 149), QPoint(120, 70)})
        EXPECT_EQ(shot.pixel(p), bg.pixel(p.x() % 57, p.y() % 56)) << p.x() << "," << p.y();
    EXPECT_TRUE(box.calls.empty());
}

TEST_F(ClsSkinTest, paintingBeforeAnyBitmapReportsTileBltOnce)
{
    Open(200, 150);
    Show();
    form->repaint();
    form->repaint();
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].title, QStringLiteral("ERROR - 11 - TileBlt - ClsSkin"));
    EXPECT_EQ(box.calls[0].text, QStringLiteral("ERROR  11 - Division by zero"));
    // Once the bitmaps are there the same failure may be reported again should it come back.
    skin->SetFrmPict();
    form->repaint();
    EXPECT_EQ(box.calls.size(), 1u);
}

// -- pointer zones and presses -----------------------------------------------------------------

TEST(ClsSkinGeometry, zoneTableFirstMatchingRowWins)
{
    const double w = 3000, h = 2000;
    const struct {
        double x, y;
        int zone, pointer;
    } rows[] = {
        {1500, 30, 12, 7},  {61, 60, 12, 7},     {30, 30, 13, 8},     {60, 60, 13, 8},    {2940, 0, 14, 6},
        {30, 1990, 16, 6},  {60, 1940, 16, 6},   {2970, 1990, 17, 8}, {2970, 1000, 11, 9}, {2940, 61, 11, 9},
        {30, 1000, 10, 9},  {60, 61, 10, 9},     {1500, 1990, 15, 7}, {1500, 1940, 15, 7}, {1500, 1000, 1, 0},
        {61, 61, 1, 0},     {2939, 1939, 1, 0},
    };
    for (const auto &row : rows) {
        const ClsSkin::Zone zone = ClsSkin::ZoneAt(row.x, row.y, w, h);
        EXPECT_EQ(zone.hitTest, row.zone) << row.x << "," << row.y;
        EXPECT_EQ(zone.pointer, row.pointer) << row.x << "," << row.y;
    }
}

// Presses on a borderless skinned window, with a filter that records and swallows the system
// commands, so nothing actually starts moving.
class ClsSkinMouseTest : public ClsSkinTest {
protected:
    void SetUp() override
    {
        ClsSkinTest::SetUp();
        Open(200, 200);
        skin->SetFrmPict();
        Show();
        form->AddMessageFilter([this](unsigned msg, ui::WPARAM wParam, ui::LPARAM, ui::LRESULT &) {
            if (msg == ui::WM_NCLBUTTONDOWN)
                zones.push_back(int(wParam));
            if (msg != ui::WM_SYSCOMMAND)
                return false;
            commands.push_back(unsigned(wParam));
            return true;
        });
    }
    // A point of the form given in twips (it lands on the nearest pixel).
    QPoint At(double x, double y) const { return QPoint(Px(x), Py(y)); }
    double Tx(int px) const { return px * form->TwipsPerPixelX(); }
    double Ty(int py) const { return py * form->TwipsPerPixelY(); }
    void MoveThenPress(QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseMove(form.get(), p);
        QTest::mousePress(form.get(), button, Qt::NoModifier, p);
        QTest::mouseRelease(form.get(), button, Qt::NoModifier, p);
    }
    std::vector<int> zones;
    std::vector<unsigned> commands;
};

TEST_F(ClsSkinMouseTest, cornerPointerAndPressStartTheTopLeftResize)
{
    const QPoint p = At(30, 30);
    ASSERT_LE(Tx(p.x()), 60);
    QTest::mouseMove(form.get(), p);
    EXPECT_EQ(skin->ResizeZone(), ui::HTTOPLEFT);
    EXPECT_EQ(WindowMousePointer(form.get()), ui::vbSizeNWSE);
    EXPECT_EQ(form->cursor().shape(), Qt::SizeFDiagCursor);
    QTest::mousePress(form.get(), Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseRelease(form.get(), Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_EQ(zones, std::vector<int>{ui::HTTOPLEFT});
    EXPECT_EQ(commands, std::vector<unsigned>{unsigned(ui::SC_SIZE) + unsigned(ui::WMSZ_TOPLEFT)});

    // Back in the middle the pointer is the window's own again.
    QTest::mouseMove(form.get(), QPoint(100, 100));
    EXPECT_EQ(skin->ResizeZone(), ui::HTCLIENT);
    EXPECT_EQ(WindowMousePointer(form.get()), ui::vbDefault);
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ClsSkinMouseTest, titleBandMovesEvenOverTheLeftEdgeZone)
{
    const QPoint p = At(30, 100);
    ASSERT_GE(Ty(p.y()), 60);
    ASSERT_LE(Ty(p.y()), 250);
    QTest::mouseMove(form.get(), p);
    EXPECT_EQ(skin->ResizeZone(), ui::HTLEFT);
    MoveThenPress(p);
    EXPECT_EQ(zones, std::vector<int>{ui::HTCAPTION});
    EXPECT_EQ(commands, std::vector<unsigned>{unsigned(ui::SC_MOVE) | unsigned(ui::HTCAPTION)});
}

TEST_F(ClsSkinMouseTest, pressesThatNeitherMoveNorResize)
{
    MoveThenPress(At(1500, 400)); // middle of the window, zone 1
    EXPECT_TRUE(zones.empty());
    MoveThenPress(At(30, 30), Qt::RightButton);
    MoveThenPress(At(1500, 150), Qt::RightButton);
    EXPECT_TRUE(zones.empty());
    EXPECT_TRUE(commands.empty());
    // The title band with moving switched off.
    skin->SetMoveFormAllow(false);
    MoveThenPress(At(1500, 150));
    EXPECT_TRUE(zones.empty());
}

TEST_F(ClsSkinMouseTest, resizeSwitchedOffFreezesThePointerAndDisablesRestore)
{
    QWidget *restore = AddTagged(QString::fromLatin1(ClsSkin::TagRestore));
    QTest::mouseMove(form.get(), At(30, 30));
    ASSERT_EQ(WindowMousePointer(form.get()), ui::vbSizeNWSE);
    skin->SetResizeFormAllow(false);
    EXPECT_FALSE(restore->isEnabled());
    QTest::mouseMove(form.get(), QPoint(100, 100));
    EXPECT_EQ(skin->ResizeZone(), ui::HTTOPLEFT);
    EXPECT_EQ(WindowMousePointer(form.get()), ui::vbSizeNWSE);
    MoveThenPress(At(30, 30));
    MoveThenPress(At(30, 2900));
    EXPECT_TRUE(zones.empty());
    MoveThenPress(At(1500, 150)); // moving still works
    EXPECT_EQ(zones, std::vector<int>{ui::HTCAPTION});
}

TEST_F(ClsSkinTest, framedWindowGetsNoPointersNoMovesNoPlacement)
{
    Open(200, 200, ui::vbSizable);
    QWidget *close = AddTagged(QString::fromLatin1(ClsSkin::TagClose));
    close->move(3, 3);
    skin->SetFrmPict();
    Show();
    std::vector<unsigned> seen;
    const int filter = form->AddMessageFilter([&](unsigned msg, ui::WPARAM, ui::LPARAM, ui::LRESULT &) {
        seen.push_back(msg);
        return true;
    });
    QTest::mouseMove(form.get(), QPoint(1, 1));
    QTest::mousePress(form.get(), Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
    QTest::mouseRelease(form.get(), Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
    form->resize(260, 220);
    QTest::qWait(0);
    EXPECT_EQ(skin->ResizeZone(), 0);
    EXPECT_EQ(WindowMousePointer(form.get()), ui::vbDefault);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(close->pos(), QPoint(3, 3));
    form->RemoveMessageFilter(filter);
}

// The studio keeps its size: its filter swallows every size command, while moves go through.
TEST_F(ClsSkinTest, studioStyleFilterRefusesSizingWhileMovingWorks)
{
    Open(200, 200);
    skin->SetFrmPict();
    Show();
    form->AddMessageFilter([](unsigned msg, ui::WPARAM wParam, ui::LPARAM, ui::LRESULT &result) {
        if (msg == ui::WM_SYSCOMMAND && (wParam & ui::SC_COMMAND_MASK) == ui::SC_SIZE) {
            result = 0;
            return true;
        }
        return false;
    });
    const QRect start = form->geometry();
    const QPoint edge(199, 100); // right edge, below the title band
    QTest::mouseMove(form.get(), edge);
    ASSERT_EQ(skin->ResizeZone(), ui::HTRIGHT);
    QTest::mousePress(form.get(), Qt::LeftButton, Qt::NoModifier, edge);
    EXPECT_FALSE(form->ManualDragActive());
    QTest::mouseMove(form.get(), edge + QPoint(-40, 0));
    QTest::mouseRelease(form.get(), Qt::LeftButton, Qt::NoModifier, edge + QPoint(-40, 0));
    EXPECT_EQ(form->geometry(), start);

    // The title band: the offscreen window system cannot move windows, so the form follows the
    // mouse from where the pointer is at the press.
    const QPoint band(100, 8);
    QTest::mouseMove(form.get(), band);
    QCursor::setPos(form->mapToGlobal(band));
    QTest::mousePress(form.get(), Qt::LeftButton, Qt::NoModifier, band);
    ASSERT_TRUE(form->ManualDragActive());
    QTest::mouseMove(form.get(), band + QPoint(30, 20));
    QTRY_COMPARE(form->pos(), start.topLeft() + QPoint(30, 20));
    QTest::mouseRelease(form.get(), Qt::LeftButton, Qt::NoModifier, form->mapFromGlobal(QCursor::pos()));
    EXPECT_FALSE(form->ManualDragActive());
    EXPECT_EQ(form->size(), start.size());
}

// -- caption controls --------------------------------------------------------------------------

TEST_F(ClsSkinTest, captionButtonsFormARowAtTheTopRightForAnyWidth)
{
    Open(300, 200);
    QWidget *close = AddTagged(QString::fromLatin1(ClsSkin::TagClose));
    QWidget *restore = AddTagged(QString::fromLatin1(ClsSkin::TagRestore));
    QWidget *minimise = AddTagged(QString::fromLatin1(ClsSkin::TagMinimise));
    QWidget *pinned = AddTagged(QString::fromLatin1(ClsSkin::TagTopLeft), QSize(30, 10));
    QWidget *other = AddTagged(QStringLiteral("topclose"));   // tags compare exactly
    pinned->move(40, 40);
    other->move(7, 9);
    skin->SetFrmPict();
    Show();
    const double b = ControlWidth(close);
    for (int width : {300, 517, 160, 1001}) {
        form->resize(width, 200);
        const double w = form->Width();
        QTRY_COMPARE(close->x(), Px(w - b - 90));
        EXPECT_EQ(restore->x(), Px(w - 2 * b - 90)) << width;
        EXPECT_EQ(minimise->x(), Px(w - 3 * b - 90)) << width;
        for (QWidget *c : {close, restore, minimise})
            EXPECT_EQ(c->y(), Py(55)) << width;
        EXPECT_EQ(pinned->pos(), QPoint(0, 0));
        EXPECT_EQ(other->pos(), QPoint(7, 9));
    }
}

TEST_F(ClsSkinTest, frameLoadShowsCaptionControlsAndBackgroundLoadHidesThem)
{
    Open(300, 200);
    form->SetCaption(QStringLiteral("Orvena STUDIO 4"));
    auto *label = new QLabel(form.get());
    SetControlTag(label, QString::fromLatin1(ClsSkin::TagCaption));
    form->AddControl(label);
    QWidget *close = AddTagged(QString::fromLatin1(ClsSkin::TagClose));
    QWidget *minimise = AddTagged(QString::fromLatin1(ClsSkin::TagMinimise));
    label->hide();
    close->hide();
    skin->SetFrmPict();
    Show();
    EXPECT_TRUE(label->isVisible());
    EXPECT_TRUE(close->isVisible());
    EXPECT_EQ(label->text(), QStringLiteral("Orvena STUDIO 4"));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 255, 0)); // 65535 from the table

    label->setText(QString());
    skin->SetFrmBackPict();
    EXPECT_FALSE(label->isVisible());
    EXPECT_FALSE(close->isVisible());
    EXPECT_FALSE(minimise->isVisible());
    EXPECT_EQ(label->text(), QStringLiteral("Orvena STUDIO 4")); // set while hidden too
    EXPECT_TRUE(box.calls.empty());
}

TEST_F(ClsSkinTest, captionTagOnAWidgetWithoutCaptionIsReported)
{
    Open(300, 200);
    AddTagged(QString::fromLatin1(ClsSkin::TagCaption));
    skin->SetFrmPict();
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].title, QStringLiteral("ERROR - 438 - HideControls - ClsSkin"));
    Show(); // and the window still paints
    EXPECT_EQ(Shot().copy(QRect(0, 0, 70, 38)), Skin("TOPLEFT"));
}

TEST_F(ClsSkinTest, buttonFlagsApplyOnWriteOnly)
{
    Open(300, 200);
    QWidget *close = AddTagged(QString::fromLatin1(ClsSkin::TagClose));
    QWidget *minimise = AddTagged(QString::fromLatin1(ClsSkin::TagMinimise));
    QWidget *restore = AddTagged(QString::fromLatin1(ClsSkin::TagRestore));
    skin->SetFrmPict();
    // Stored as false at creation, but the buttons stay enabled until the host writes.
    EXPECT_FALSE(skin->MinimiseAllow());
    EXPECT_FALSE(skin->CloseButtonAllow());
    EXPECT_TRUE(close->isEnabled());
    EXPECT_TRUE(minimise->isEnabled());
    skin->SetCloseButtonAllow(false);
    EXPECT_FALSE(close->isEnabled());
    EXPECT_TRUE(minimise->isEnabled());
    skin->SetMinimiseAllow(false);
    EXPECT_FALSE(minimise->isEnabled());
    EXPECT_TRUE(restore->isEnabled());
    skin->SetMinimiseAllow(true);
    skin->SetCloseButtonAllow(true);
    EXPECT_TRUE(close->isEnabled());
    EXPECT_TRUE(minimise->isEnabled());
}

} // namespace
