// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/UcCmd.h"

#include "platform/services/EventLog.h"
#include "platform/services/MessageBox.h"
#include "platform/ui/Form.h"
#include "platform/ui/Twips.h"
#include "skin/Failure.h"
#include "skin/HostControls.h"
#include "skin/ReportError.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <memory>

using controls::UcCmd;

namespace {

class UcCmdTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        services::MessageBox::SetCurrent(&box);
        services::EventLog::SetCurrent(&log);
        skin::ResetReportErrorGuard();
        form = std::make_unique<ui::Form>();
        form->SetBorderStyle(ui::vbBSNone);
        form->setGeometry(40, 40, 400, 300);
    }
    void TearDown() override
    {
        form.reset();
        skin::ResetReportErrorGuard();
        services::MessageBox::SetCurrent(nullptr);
        services::EventLog::SetCurrent(nullptr);
    }
    UcCmd *Add(int style, const QString &caption = QString())
    {
        auto *button = new UcCmd(form.get());
        form->AddControl(button);
        button->InitNew();
        button->SetStyle(style);
        if (!caption.isEmpty())
            button->SetCaption(caption);
        return button;
    }
    void Show()
    {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    double Tx() const { return form->TwipsPerPixelX(); }
    double Ty() const { return form->TwipsPerPixelY(); }
    int Px(double twips) const { return ui::Twips::ToPixelsX(twips, form.get()); }
    int Py(double twips) const { return ui::Twips::ToPixelsY(twips, form.get()); }
    static void Press(UcCmd *b, QPoint p) { QTest::mousePress(b, Qt::LeftButton, Qt::NoModifier, p); }
    static void Release(UcCmd *b, QPoint p) { QTest::mouseRelease(b, Qt::LeftButton, Qt::NoModifier, p); }
    static void ClickAt(UcCmd *b, QPoint p)
    {
        Press(b, p);
        Release(b, p);
    }
    static QPoint PictureCentre(UcCmd *b) { return b->PictureGeometry().center(); }

    services::RecordingMessageBox box;
    services::RecordingEventLog log;
    std::unique_ptr<ui::Form> form;
};

// The caption buttons at ScaleFactor 1, 0.5 and 5 (stored as 3): the 18 x 13 pixel close picture
// scaled, each side rounded to whole twips with ties to even, placed in the title band.
TEST_F(UcCmdTest, closeButtonSizeFollowsScaleFactorAndSitsTopRight)
{
    UcCmd *close = Add(UcCmd::StyleClose);
    Show();
    EXPECT_EQ(close->Tag(), QStringLiteral("TOPCLOSE"));
    EXPECT_FALSE(close->CaptionShown());
    const struct {
        double factor, stored;
    } rows[] = {{1, 1}, {0.5, 0.5}, {5, 3}, {3, 3}, {0.1, 0.1}};
    for (const auto &row : rows) {
        close->SetScaleFactor(row.factor);
        EXPECT_EQ(close->ScaleFactor(), row.stored);
        const double b = std::nearbyint(18 * Tx() * row.stored);
        const double c = std::nearbyint(13 * Ty() * row.stored);
        EXPECT_EQ(close->width(), Px(b)) << row.factor;
        EXPECT_EQ(close->height(), Py(c)) << row.factor;
        EXPECT_EQ(close->y(), Py(55)) << row.factor;
        EXPECT_EQ(close->x(), Px(form->Width() - close->Width() - 90)) << row.factor;
    }
    if (Tx() == 15 && Ty() == 15) { // the usual screen: the sizes in twips themselves
        close->SetScaleFactor(1);
        EXPECT_DOUBLE_EQ(close->Width(), 270);
        EXPECT_DOUBLE_EQ(close->Height(), 195);
        close->SetScaleFactor(0.5); // 135 x 97.5 -> 135 x 98 twips
        EXPECT_EQ(close->size(), QSize(9, 7));
    }
    EXPECT_TRUE(box.calls.empty());
}

TEST_F(UcCmdTest, minimiseAndRestoreLineUpLeftOfClose)
{
    UcCmd *close = Add(UcCmd::StyleClose);
    UcCmd *restore = Add(UcCmd::StyleRestore);
    UcCmd *minimise = Add(UcCmd::StyleMinimise);
    Show();
    const double w = form->Width();
    const double b = close->Width();
    EXPECT_EQ(restore->Tag(), QStringLiteral("RESTORE"));
    EXPECT_EQ(minimise->Tag(), QStringLiteral("MINIMISE"));
    EXPECT_EQ(restore->PictureUP(), QStringLiteral("RESTOREUP"));
    EXPECT_EQ(minimise->PictureDN(), QStringLiteral("MINIDN"));
    EXPECT_EQ(close->x(), Px(w - b - 90));
    EXPECT_EQ(restore->x(), Px(w - 2 * restore->Width() - 90));
    EXPECT_EQ(minimise->x(), Px(w - 3 * minimise->Width() - 90));
}

TEST_F(UcCmdTest, plainButtonWithoutPictureIs600By300Twips)
{
    UcCmd *plain = Add(UcCmd::StylePlain);
    EXPECT_EQ(plain->Tag(), QString());
    EXPECT_EQ(plain->width(), Px(600));
    EXPECT_EQ(plain->height(), Py(300));
    plain->SetScaleFactor(2);
    EXPECT_EQ(plain->width(), Px(1200));
    EXPECT_EQ(plain->height(), Py(600));
}

TEST_F(UcCmdTest, checkBoxIsPicturePlusGapPlusCaptionWide)
{
    UcCmd *check = Add(UcCmd::StyleCheck, QStringLiteral("Remember the voice"));
    EXPECT_EQ(check->Tag(), QStringLiteral("CHECKBUTTON"));
    EXPECT_TRUE(check->CaptionShown());
    const double b = std::nearbyint(15 * Tx());
    const QRect caption = check->CaptionGeometry();
    EXPECT_EQ(caption.x(), Px(b + 20));
    EXPECT_NEAR(check->Width(), caption.width() * Tx() + b + 20, Tx());
    EXPECT_EQ(check->PictureGeometry().size(), QSize(15, 15));
    EXPECT_EQ(check->CaptionColour(), 12u);
}

TEST_F(UcCmdTest, checkBoxSwitchesOnPressAndPressingTwiceTurnsItOffWithoutClick)
{
    UcCmd *check = Add(UcCmd::StyleCheck, QStringLiteral("Check"));
    Show();
    QSignalSpy clicks(check, &UcCmd::Click);
    ClickAt(check, PictureCentre(check));
    EXPECT_TRUE(check->Value());
    EXPECT_TRUE(check->PressedLook());
    ClickAt(check, PictureCentre(check));
    EXPECT_FALSE(check->Value());
    EXPECT_FALSE(check->PressedLook());
    EXPECT_EQ(check->CaptionColour(), 12u);
    // The caption of a check box does nothing.
    ClickAt(check, check->CaptionGeometry().center());
    EXPECT_FALSE(check->Value());
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(UcCmdTest, optionButtonsOfAGroupExcludeEachOther)
{
    UcCmd *a = Add(UcCmd::StyleOption, QStringLiteral("A"));
    UcCmd *b = Add(UcCmd::StyleOption, QStringLiteral("B"));
    UcCmd *c = Add(UcCmd::StyleOption, QStringLiteral("C"));
    UcCmd *elsewhere = Add(UcCmd::StyleOption, QStringLiteral("D"));
    elsewhere->SetOptionGroup(QStringLiteral("OPT2"));
    for (UcCmd *o : {a, b, c})
        EXPECT_EQ(o->OptionGroup(), QStringLiteral("OPT1"));
    b->move(0, 30);
    c->move(0, 60);
    elsewhere->move(0, 90);
    elsewhere->SetValue(true);
    Show();
    QSignalSpy clicks(b, &UcCmd::Click);

    ClickAt(a, PictureCentre(a));
    EXPECT_TRUE(a->Value());
    ClickAt(b, PictureCentre(b));
    EXPECT_FALSE(a->Value());
    EXPECT_TRUE(b->Value());
    EXPECT_FALSE(c->Value());
    EXPECT_TRUE(b->PressedLook());
    EXPECT_FALSE(a->PressedLook());
    // Pressing the one that is on changes nothing.
    ClickAt(b, PictureCentre(b));
    EXPECT_TRUE(b->Value());
    EXPECT_FALSE(a->Value());
    // Writing Value clears the others too; another group is left alone.
    c->SetValue(true);
    EXPECT_FALSE(b->Value());
    EXPECT_TRUE(c->Value());
    EXPECT_TRUE(elsewhere->Value());
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_TRUE(box.calls.empty());
}

TEST_F(UcCmdTest, restoredOptionStateSurvivesTheSiblingsFirstLayout)
{
    ui::PropertyBag on;
    on.WriteProperty(QStringLiteral("Style"), int(UcCmd::StyleOption));
    on.WriteProperty(QStringLiteral("PictureUP"), "RADIOOFF");
    on.WriteProperty(QStringLiteral("PictureDN"), "RADIOON");
    on.WriteProperty(QStringLiteral("OptionGroup"), "OPT1");
    on.WriteProperty(QStringLiteral("Value"), true);
    ui::PropertyBag off = on;
    off.WriteProperty(QStringLiteral("Value"), false);
    auto *first = new UcCmd(form.get());
    form->AddControl(first);
    first->Restore(on);
    auto *second = new UcCmd(form.get());
    form->AddControl(second);
    second->Restore(off);
    second->move(0, 40);
    Show();
    EXPECT_EQ(second->Tag(), QStringLiteral("OPTBUTTON"));
    EXPECT_TRUE(first->Value());
    EXPECT_TRUE(first->PressedLook());
    EXPECT_FALSE(second->Value());
}

TEST_F(UcCmdTest, pushButtonClicksOnReleaseEvenOutsideIt)
{
    UcCmd *push = Add(UcCmd::StylePush, QStringLiteral("SPEAK"));
    push->move(100, 100);
    Show();
    EXPECT_EQ(push->Tag(), QStringLiteral("BOUTON"));
    EXPECT_EQ(push->CaptionColour(), 65535u);
    QSignalSpy clicks(push, &UcCmd::Click);
    const QPoint onPicture(3, 3); // clear of the centred caption
    Press(push, onPicture);
    EXPECT_TRUE(push->PressedLook());
    EXPECT_EQ(push->CaptionColour(), 0xFFFFFFu);
    EXPECT_EQ(clicks.count(), 0);
    Release(push, QPoint(-80, 150)); // far outside the button
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(push->PressedLook());
    EXPECT_EQ(push->CaptionColour(), 12u);

    // A press on the caption works the same way, with any button.
    const QPoint onCaption = push->CaptionGeometry().center();
    QTest::mousePress(push, Qt::RightButton, Qt::NoModifier, onCaption);
    EXPECT_TRUE(push->PressedLook());
    QTest::mouseRelease(push, Qt::RightButton, Qt::NoModifier, onCaption);
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(UcCmdTest, enabledWritesSetTheCaptionColour)
{
    UcCmd *push = Add(UcCmd::StylePush, QStringLiteral("GO"));
    QSignalSpy changed(push, &ui::UserControl::PropertyChanged);
    push->SetEnabled(false);
    EXPECT_EQ(push->CaptionColour(), 0x80000013u);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), QStringLiteral("Enabled"));
    push->SetEnabled(true);
    EXPECT_EQ(push->CaptionColour(), 65535u);
    // The skin switches caption buttons through the same write.
    skin::SetControlEnabled(push, false);
    EXPECT_FALSE(push->isEnabled());
    EXPECT_EQ(push->CaptionColour(), 0x80000013u);
}

TEST_F(UcCmdTest, savesInItsKeyOrderAndReadsBack)
{
    UcCmd *check = Add(UcCmd::StyleCheck, QStringLiteral("Keep"));
    check->SetBorderStyle(1);
    check->SetEnabled(false);
    check->SetScaleFactor(2);
    check->SetValue(true);
    check->SetOptionGroup(QStringLiteral("G"));
    ui::StdFont font = check->Font();
    font.Bold = true;
    check->SetFont(font);
    const ui::PropertyBag bag = check->Save();
    EXPECT_EQ(bag.Keys(), (QStringList{"BorderStyle", "Enabled", "ScaleFactor", "PictureUP", "PictureDN", "Style",
                                       "Font", "Caption", "Value", "OptionGroup"}));

    auto *copy = new UcCmd(form.get());
    form->AddControl(copy);
    copy->Restore(bag);
    EXPECT_EQ(copy->Save(), bag);
    EXPECT_EQ(copy->Tag(), QStringLiteral("CHECKBUTTON"));
    EXPECT_FALSE(copy->isEnabled());
    EXPECT_EQ(copy->CaptionColour(), 0x80000013u);
    EXPECT_TRUE(copy->PressedLook());

    // A fresh button saves nothing; a saved ScaleFactor above 3 reads back as it was written.
    auto *fresh = new UcCmd(form.get());
    fresh->InitNew();
    EXPECT_TRUE(fresh->Save().IsEmpty());
    ui::PropertyBag big;
    big.WriteProperty(QStringLiteral("ScaleFactor"), 5.0);
    fresh->Restore(big);
    EXPECT_EQ(fresh->ScaleFactor(), 5.0);
}

TEST_F(UcCmdTest, unknownPictureNameIsReturnedToTheWriterAndKept)
{
    UcCmd *plain = Add(UcCmd::StylePlain);
    EXPECT_THROW(plain->SetPictureUP(QStringLiteral("NOSUCHBITMAP")), skin::Failure);
    EXPECT_EQ(plain->PictureUP(), QStringLiteral("NOSUCHBITMAP"));
    // A damaged saved definition is reported, not fatal.
    ui::PropertyBag bag;
    bag.WriteProperty(QStringLiteral("PictureUP"), "NOSUCHBITMAP");
    auto *restored = new UcCmd(form.get());
    restored->Restore(bag);
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].title, QStringLiteral("ERROR - 326 - ReadProperties - UcCmd"));
}

TEST_F(UcCmdTest, captionStyleWithoutHostIsLaidOutSilently)
{
    UcCmd orphan;
    orphan.SetStyle(UcCmd::StyleMinimise);
    orphan.SetScaleFactor(2);
    EXPECT_EQ(orphan.width(), ui::Twips::ToPixelsX(std::nearbyint(18 * orphan.TwipsPerPixelX() * 2), &orphan));
    orphan.SetStyle(UcCmd::StyleOption);
    orphan.SetValue(true);
    EXPECT_TRUE(box.calls.empty()); // error 398 (no host yet) is not reported
}

TEST_F(UcCmdTest, foreignOptionTaggedControlIsReportedByResetParent)
{
    UcCmd *option = Add(UcCmd::StyleOption, QStringLiteral("A"));
    auto *stranger = new QWidget(form.get());
    skin::SetControlTag(stranger, QStringLiteral("OPTBUTTON"));
    form->AddControl(stranger);
    option->SetValue(true);
    ASSERT_FALSE(box.calls.empty());
    EXPECT_EQ(box.calls[0].title, QStringLiteral("ERROR - 438 - ResetParent - UcCmd"));
}

TEST_F(UcCmdTest, movingOverTheReleasedPictureResetsTheHostPointer)
{
    UcCmd *push = Add(UcCmd::StylePush, QStringLiteral("X"));
    Show();
    skin::SetWindowMousePointer(form.get(), ui::vbSizeWE);
    QSignalSpy moves(push, &UcCmd::MouseMove);
    QTest::mouseMove(push, QPoint(3, 3));
    EXPECT_EQ(skin::WindowMousePointer(form.get()), ui::vbDefault);
    EXPECT_GE(moves.count(), 1);
}

} // namespace
