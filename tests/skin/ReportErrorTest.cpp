// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/ReportError.h"

#include "platform/services/EventLog.h"
#include "platform/services/MessageBox.h"

#include <gtest/gtest.h>

using namespace skin;

namespace
{

class ReportErrorTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        services::MessageBox::SetCurrent(&box);
        services::EventLog::SetCurrent(&log);
        ResetReportErrorGuard();
        SetReportErrorClock([this] { return now; });
    }
    void TearDown() override
    {
        SetReportErrorClock(nullptr);
        ResetReportErrorGuard();
        services::MessageBox::SetCurrent(nullptr);
        services::EventLog::SetCurrent(nullptr);
    }
    services::RecordingMessageBox box;
    services::RecordingEventLog log;
    std::int64_t now = 1000;
};

TEST_F(ReportErrorTest, showsExactTitleAndTextAndLogsThem)
{
    EXPECT_TRUE(ReportError(91, QStringLiteral("Object variable not set"), QStringLiteral("RePaint"),
                            QStringLiteral("ClsSkin"), services::EVENTLOG_ERROR_TYPE));
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].title, QStringLiteral("ERROR - 91 - RePaint - ClsSkin"));
    EXPECT_EQ(box.calls[0].text, QStringLiteral("ERROR  91 - Object variable not set"));
    EXPECT_EQ(box.calls[0].flags, unsigned(services::MB_ICONEXCLAMATION | services::MB_OK));
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].type, services::EVENTLOG_ERROR_TYPE);
    EXPECT_EQ(log.entries[0].text,
              QStringLiteral("ERROR - 91 - RePaint - ClsSkin: ERROR  91 - Object variable not set"));
}

TEST_F(ReportErrorTest, numbersArePlainDecimal)
{
    ReportError(-2147467259, QStringLiteral("Unspecified error"), QStringLiteral("UserResize"),
                QStringLiteral("UcScroll"));
    ReportError(Failure(7, QStringLiteral("Out of memory")), QStringLiteral("GetThePict"),
                QStringLiteral("UcProgress"));
    ASSERT_EQ(box.calls.size(), 2u);
    EXPECT_EQ(box.calls[0].title, QStringLiteral("ERROR - -2147467259 - UserResize - UcScroll"));
    EXPECT_EQ(box.calls[0].text, QStringLiteral("ERROR  -2147467259 - Unspecified error"));
    EXPECT_EQ(box.calls[1].title, QStringLiteral("ERROR - 7 - GetThePict - UcProgress"));
    EXPECT_EQ(box.calls[1].text, QStringLiteral("ERROR  7 - Out of memory"));
    EXPECT_EQ(log.entries[1].type, 1);
}

TEST_F(ReportErrorTest, repeatedFailureIsLoggedButNotShownAgainWithinTheWindow)
{
    auto report = [] {
        return ReportError(5, QStringLiteral("Invalid procedure call"), QStringLiteral("RePaint"),
                           QStringLiteral("UcCmd"));
    };
    EXPECT_TRUE(report());
    now += ReportRepeatWindowMs - 1;
    EXPECT_FALSE(report());
    EXPECT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(log.entries.size(), 2u);
    // Another failure is shown at once.
    EXPECT_TRUE(ReportError(5, QStringLiteral("Invalid procedure call"), QStringLiteral("Click"),
                            QStringLiteral("UcCmd")));
    // Once the window has passed, the first one is shown again.
    now += ReportRepeatWindowMs;
    EXPECT_TRUE(report());
    EXPECT_EQ(box.calls.size(), 3u);
    EXPECT_EQ(log.entries.size(), 4u);
}

// A message box whose modal loop lets another failure be reported (a repaint under the box).
class ReenteringBox : public services::MessageBox
{
  public:
    int shown = 0;
    int Show(const QString &, const QString &, unsigned) override
    {
        ++shown;
        if (shown == 1)
            ReportError(9, QStringLiteral("Subscript out of range"), QStringLiteral("RePaint"),
                        QStringLiteral("ClsSkin"));
        return services::IDOK;
    }
};

TEST_F(ReportErrorTest, failuresWhileTheBoxIsOpenAreOnlyLogged)
{
    ReenteringBox reentering;
    services::MessageBox::SetCurrent(&reentering);
    EXPECT_TRUE(ReportError(9, QStringLiteral("Subscript out of range"), QStringLiteral("RePaint"),
                            QStringLiteral("ClsSkin")));
    EXPECT_EQ(reentering.shown, 1);
    EXPECT_EQ(log.entries.size(), 2u);
}

} // namespace
