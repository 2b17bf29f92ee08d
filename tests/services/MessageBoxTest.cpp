// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/services/MessageBox.h"
#include "platform/services/EventLog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <syslog.h>

using namespace services;

TEST(MessageBox, flagsChooseButtonsAndDefault)
{
    EXPECT_EQ(MessageBox::Buttons(MB_YESNOCANCEL | MB_ICONQUESTION),
              (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(MessageBox::Buttons(MB_OK | MB_ICONSTOP), (std::vector<int>{IDOK}));
    EXPECT_EQ(MessageBox::DefaultButton(MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBox::DefaultButton(MB_OKCANCEL), IDOK);
    // A default beyond the last button falls back to the first rather than to nothing.
    EXPECT_EQ(MessageBox::DefaultButton(MB_OK | MB_DEFBUTTON3), IDOK);
}

TEST(MessageBox, recordingDoubleAnswersAsScriptedThenYesOrOk)
{
    RecordingMessageBox box;
    MessageBox::SetCurrent(&box);
    box.answers = {IDNO};
    EXPECT_EQ(MessageBox::Current().Show(QStringLiteral("Save?"), QStringLiteral("T"), MB_YESNOCANCEL), IDNO);
    EXPECT_EQ(MessageBox::Current().Show(QStringLiteral("Save?"), QStringLiteral("T"), MB_YESNOCANCEL),
              IDYES);
    EXPECT_EQ(MessageBox::Current().Show(QStringLiteral("Done"), QStringLiteral("T"), MB_OKCANCEL), IDOK);
    MessageBox::SetCurrent(nullptr);
    ASSERT_EQ(box.calls.size(), 3u);
    EXPECT_EQ(box.calls[2].text, QStringLiteral("Done"));
    EXPECT_NE(&MessageBox::Current(), &box);
}

TEST(EventLog, typesMapToSyslogPriorities)
{
    EXPECT_EQ(EventLog::SyslogPriority(EVENTLOG_ERROR_TYPE), LOG_ERR);
    EXPECT_EQ(EventLog::SyslogPriority(EVENTLOG_WARNING_TYPE), LOG_WARNING);
    EXPECT_EQ(EventLog::SyslogPriority(EVENTLOG_INFORMATION_TYPE), LOG_INFO);
    // Writing to the real log with a format directive in the text must be harmless.
    EventLog::Current().Write(EVENTLOG_INFORMATION_TYPE, QStringLiteral("orvena test %s %n"));
}

namespace
{
// Answers the next modal message box with a key once it is up, noting what it offered.
struct Answerer {
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    void Press(Qt::Key key)
    {
        QTimer::singleShot(0, [this, key] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box) {
                Press(key); // not up yet: look again on the next turn of its loop
                return;
            }
            for (QAbstractButton *b : box->buttons())
                buttons << b->text().remove(QLatin1Char('&'));
            buttons.sort();
            icon = box->icon();
            QTest::keyClick(box, key);
        });
    }
};
} // namespace

TEST(MessageBox, qtBoxOffersTheFlagsButtonsAndAnswersWithTheirIds)
{
    QtMessageBox box;
    Answerer enter;
    enter.Press(Qt::Key_Return);
    EXPECT_EQ(box.Show(QStringLiteral("Save changes?"), QStringLiteral("Studio"),
                       MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2),
              IDNO);
    EXPECT_EQ(enter.buttons,
              (QStringList{QStringLiteral("Cancel"), QStringLiteral("No"), QStringLiteral("Yes")}));
    EXPECT_EQ(enter.icon, QMessageBox::Question);

    Answerer escape;
    escape.Press(Qt::Key_Escape);
    EXPECT_EQ(box.Show(QStringLiteral("Stop?"), QStringLiteral("Studio"), MB_OKCANCEL | MB_ICONEXCLAMATION),
              IDCANCEL);

    Answerer ok;
    ok.Press(Qt::Key_Escape);
    EXPECT_EQ(box.Show(QStringLiteral("Done"), QStringLiteral("Studio"), MB_OK | MB_ICONSTOP), IDOK);
    EXPECT_EQ(ok.icon, QMessageBox::Critical);
}
