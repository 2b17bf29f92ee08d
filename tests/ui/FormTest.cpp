// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/Form.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace ui;

namespace
{
struct Seen {
    unsigned msg;
    WPARAM wParam;
};

LPARAM ScreenPoint(QPoint p)
{
    return MAKELPARAM(p.x(), p.y());
}

// The user's press on the form (the skin's caption) that a move or size starts from.
void PressAt(Form &form, QPoint from)
{
    QTest::mouseMove(&form, from);
    QTest::mousePress(&form, Qt::LeftButton, Qt::NoModifier, from);
}
} // namespace

TEST(Form, nonClientZonesBecomeTheirSystemCommands)
{
    EXPECT_EQ(Form::SysCommandForHitTest(HTCAPTION), 0xF012u);
    const struct {
        int zone;
        unsigned command;
        Qt::Edges edges;
    } rows[] = {
        {HTLEFT, 0xF001, Qt::LeftEdge},
        {HTRIGHT, 0xF002, Qt::RightEdge},
        {HTTOP, 0xF003, Qt::TopEdge},
        {HTTOPLEFT, 0xF004, Qt::TopEdge | Qt::LeftEdge},
        {HTTOPRIGHT, 0xF005, Qt::TopEdge | Qt::RightEdge},
        {HTBOTTOM, 0xF006, Qt::BottomEdge},
        {HTBOTTOMLEFT, 0xF007, Qt::BottomEdge | Qt::LeftEdge},
        {HTBOTTOMRIGHT, 0xF008, Qt::BottomEdge | Qt::RightEdge},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(Form::SysCommandForHitTest(row.zone), row.command) << row.zone;
        EXPECT_EQ(Form::EdgesForSizeCommand(row.command), row.edges) << row.zone;
    }
    for (int zone : std::initializer_list<int>{HTNOWHERE, HTCLIENT, HTSYSMENU, HTMINBUTTON, HTMAXBUTTON,
                                               HTCLOSE, 9, 18, -1})
        EXPECT_EQ(Form::SysCommandForHitTest(zone), 0u) << zone;
    EXPECT_FALSE(Form::EdgesForSizeCommand(0xF012));
    EXPECT_FALSE(Form::EdgesForSizeCommand(0xF009));
}

TEST(Form, filterRefusingSizeLeavesMoveWorking)
{
    std::vector<Seen> seen; // outlives the form: the filter still sees WM_NCDESTROY
    Form form;
    form.SetBorderStyle(vbBSNone);
    form.setGeometry(100, 100, 200, 150);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    form.AddMessageFilter([&](unsigned msg, WPARAM wParam, LPARAM, LRESULT &result) {
        seen.push_back({msg, wParam});
        if (msg == WM_SYSCOMMAND && (wParam & SC_COMMAND_MASK) == SC_SIZE) {
            result = 0;
            return true; // the studio's window keeps its size
        }
        return false;
    });

    const QPoint corner = form.mapToGlobal(QPoint(198, 148));
    form.SendMessage(WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, ScreenPoint(corner));
    EXPECT_FALSE(form.ManualDragActive());
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].msg, unsigned(WM_SYSCOMMAND));
    EXPECT_EQ(seen[1].wParam, 0xF008u);

    // The offscreen window system cannot move windows itself, so the form follows the mouse.
    const QPoint press(10, 5);
    PressAt(form, press);
    const QPoint start = form.pos();
    form.SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, ScreenPoint(form.mapToGlobal(press)));
    EXPECT_EQ(seen.back().wParam, 0xF012u);
    ASSERT_TRUE(form.ManualDragActive());
    QTest::mouseMove(&form, press + QPoint(30, 20));
    QTRY_COMPARE(form.pos(), start + QPoint(30, 20));
    QTest::mouseRelease(&form, Qt::LeftButton, Qt::NoModifier, form.mapFromGlobal(QCursor::pos()));
    EXPECT_FALSE(form.ManualDragActive());
    EXPECT_EQ(form.size(), QSize(200, 150));
}

TEST(Form, moveStartedFromAChildsPressFollowsTheMouse)
{
    Form form;
    form.SetBorderStyle(vbBSNone);
    form.setGeometry(100, 100, 200, 150);
    auto *caption = new QWidget(&form); // the skin's caption strip
    caption->setGeometry(0, 0, 200, 20);
    int childMoves = 0;
    struct Counter : QObject {
        int &n;
        explicit Counter(int &count) : n(count) {}
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::MouseMove)
                ++n;
            return false;
        }
    } counter(childMoves);
    caption->installEventFilter(&counter);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QPoint press(50, 10);
    QTest::mouseMove(caption, QPoint(1, 1));
    QTest::mousePress(caption, Qt::LeftButton, Qt::NoModifier, press);
    const QPoint start = form.pos();
    childMoves = 0;
    // Like the skin: no coordinates, the move anchors where the press was.
    form.SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, 0);
    ASSERT_TRUE(form.ManualDragActive());
    QTest::mouseMove(caption, press + QPoint(-40, 60));
    QTRY_COMPARE(form.pos(), start + QPoint(-40, 60));
    EXPECT_EQ(childMoves, 0); // the drag keeps the mouse to itself
    QTest::mouseRelease(caption, Qt::LeftButton, Qt::NoModifier, caption->mapFromGlobal(QCursor::pos()));
    EXPECT_FALSE(form.ManualDragActive());
}

TEST(Form, manualSizingKeepsTheOppositeEdgeAndTheMinimum)
{
    Form form;
    form.SetBorderStyle(vbBSNone);
    form.setGeometry(100, 100, 200, 150);
    form.setMinimumSize(50, 40);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QPoint press(1, 1);
    PressAt(form, press);
    const QRect start = form.geometry();
    form.SendMessage(WM_NCLBUTTONDOWN, HTTOPLEFT, ScreenPoint(form.mapToGlobal(press)));
    ASSERT_TRUE(form.ManualDragActive());
    QTest::mouseMove(&form, press + QPoint(500, 20));
    QTRY_COMPARE(form.geometry().width(), 50);
    EXPECT_EQ(form.geometry().right(), start.right());
    EXPECT_EQ(form.geometry().top(), start.top() + 20);
    EXPECT_EQ(form.geometry().bottom(), start.bottom());
    // Escape gives the window back its size and ends the drag.
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.ManualDragActive());
    EXPECT_EQ(form.geometry(), start);
}

TEST(Form, filtersRunNewestFirstAndSeeTheLastMessage)
{
    std::vector<int> order;
    bool sawDestroy = false;
    {
        Form form;
        int second = 0;
        form.AddMessageFilter([&](unsigned msg, WPARAM, LPARAM, LRESULT &) {
            if (msg == WM_NCDESTROY)
                sawDestroy = true;
            order.push_back(1);
            return false;
        });
        second = form.AddMessageFilter([&](unsigned, WPARAM wParam, LPARAM, LRESULT &result) {
            order.push_back(2);
            if (wParam == 7) {
                form.RemoveMessageFilter(second); // unsubclassing from inside the chain
                result = 42;
                return true;
            }
            return false;
        });
        auto owner = std::make_unique<QObject>();
        form.AddMessageFilter(
            [&](unsigned, WPARAM, LPARAM, LRESULT &) {
                order.push_back(3);
                return false;
            },
            owner.get());
        form.SendMessage(0x400, 1, 0);
        EXPECT_EQ(order, (std::vector<int>{3, 2, 1}));
        owner.reset(); // its filter leaves the chain with it
        order.clear();
        EXPECT_EQ(form.SendMessage(0x400, 1, 0), 0);
        EXPECT_EQ(order, (std::vector<int>{2, 1}));
        order.clear();
        EXPECT_EQ(form.SendMessage(0x400, 7, 0), 42);
        EXPECT_EQ(order, (std::vector<int>{2}));
        order.clear();
        form.SendMessage(0x400, 7, 0);
        EXPECT_EQ(order, (std::vector<int>{1}));
    }
    EXPECT_TRUE(sawDestroy);
}

TEST(Form, queryUnloadCanCancelClosing)
{
    Form form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    int modeSeen = -1;
    QObject::connect(&form, &Form::QueryUnload, [&](int &cancel, int mode) {
        modeSeen = mode;
        cancel = 1;
    });
    int unloads = 0;
    QObject::connect(&form, &Form::Unload, [&](int &) { ++unloads; });
    form.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(modeSeen, vbFormControlMenu);
    EXPECT_EQ(unloads, 0);
    form.CloseFromCode();
    EXPECT_EQ(modeSeen, vbFormCode);
    QObject::disconnect(&form, &Form::QueryUnload, nullptr, nullptr);
    form.CloseFromCode();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(unloads, 1);
}

TEST(Form, controlsKeepTheirOrderAndDropOutWhenDestroyed)
{
    Form form;
    auto *a = new QWidget(&form);
    auto *b = new QWidget(&form);
    auto *c = new QWidget(&form);
    form.AddControl(c, QStringLiteral("txtText"));
    form.AddControl(a, QStringLiteral("cmdSpeak"));
    form.AddControl(b, QStringLiteral("picDisplay"));
    form.AddControl(a, QStringLiteral("again"));
    EXPECT_EQ(form.Controls(), (std::vector<QWidget *>{c, a, b}));
    EXPECT_EQ(form.Control(QStringLiteral("CMDSPEAK")), a);
    delete a;
    EXPECT_EQ(form.Controls(), (std::vector<QWidget *>{c, b}));
    EXPECT_EQ(form.Control(QStringLiteral("cmdSpeak")), nullptr);
}
