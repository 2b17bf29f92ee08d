// SPDX-License-Identifier: GPL-3.0-or-later
#include "MultiButtonTestSupport.h"

#include "multibutton/zqStrings.h"
#include "platform/ui/WindowProps.h"

#include <gtest/gtest.h>

namespace multibutton
{
namespace
{

using test::Host;

TEST(MultiButtonColour, ShadeColorExamples)
{
    EXPECT_EQ(zqButtons_H::ShadeColor(0x808080, -48), 0x505050u);
    EXPECT_EQ(zqButtons_H::ShadeColor(0x101010, -48), 0x000000u);
    EXPECT_EQ(zqButtons_H::ShadeColor(0xFFFFFF, -32), 0xDFDFDFu);
    EXPECT_EQ(zqButtons_H::ShadeColor(0x808080, 12), 0x8C8C8Cu);
    // Avoiding white reverses the amount.
    EXPECT_EQ(zqButtons_H::ShadeColor(0xFFFFFF, 40, false, true), 0xD7D7D7u);
    // Scale-blue moves blue by amount * blue / 192 only.
    EXPECT_EQ(zqButtons_H::ShadeColor(0x808080, 16, true), gdi::RGB(0x90, 0x90, 0x8A));
    EXPECT_EQ(zqButtons_H::ShadeColor(0x102030, 0, false, false, true), gdi::RGB(0xCF, 0xDF, 0xEF));
}

TEST(MultiButtonColour, GradientTableSteps)
{
    const auto table = zqButtons_H::GradientTable(0x0000FF, 0xFF0000, 100);
    ASSERT_EQ(table.size(), 100u);
    EXPECT_EQ(table.front(), 0x0000FFu);
    EXPECT_EQ(table.back(), 0xFF0000u);
    const float step = 255.0f / 99.0f;
    float red = 255.0f, blue = 0.0f;
    for (std::size_t i = 1; i < table.size(); ++i) {
        red -= step;
        blue += step;
        EXPECT_EQ(gdi::GetGValue(table[i]), 0);
        EXPECT_EQ(gdi::GetRValue(table[i]), int(std::clamp(red, 0.0f, 255.0f))) << i;
        EXPECT_EQ(gdi::GetBValue(table[i]), int(std::clamp(blue, 0.0f, 255.0f))) << i;
    }
}

TEST(MultiButtonProperties, AccessKeyFromCaption)
{
    Host host;
    zqButtons_H *button = host.Add();
    button->SetCaption(QStringLiteral("&Open"));
    EXPECT_EQ(button->AccessKeys(), QStringLiteral("O"));
    // A doubled ampersand before a single one: the single one marks the key.
    button->SetCaption(QStringLiteral("Save && E&xit"));
    EXPECT_EQ(button->AccessKeys(), QStringLiteral("x"));
    button->SetCaption(QStringLiteral("Fish &&& Chips"));
    EXPECT_EQ(button->AccessKeys(), QStringLiteral(" "));
    // Only doubled ampersands: no key, and the previous one stays.
    button->SetCaption(QStringLiteral("&&B"));
    EXPECT_EQ(button->AccessKeys(), QStringLiteral(" "));
    button->SetCaption(QStringLiteral("Salt && Pepper"));
    EXPECT_EQ(button->AccessKeys(), QStringLiteral(" "));
}

TEST(MultiButtonProperties, CaptionAlignRefusedWithPictureAbove)
{
    Host host(true);
    zqButtons_H *button = host.Add();
    button->SetCaptionAlign(0); // no picture yet: accepted
    EXPECT_EQ(button->CaptionAlign(), 0);
    EXPECT_TRUE(host.messages.calls.empty());

    button->SetPicture(ui::Picture::FromIcon(test::Square(16, 0xFF00FF00)));
    button->SetPictureAlign(4);
    EXPECT_EQ(button->CaptionAlign(), 2); // a picture above centres the caption
    button->SetCaptionAlign(0);
    EXPECT_EQ(button->CaptionAlign(), 2);
    ASSERT_EQ(host.messages.calls.size(), 1u);
    EXPECT_EQ(host.messages.calls[0].text, strings::CaptionAlignRefused);
    EXPECT_TRUE(host.messages.calls[0].text.contains(QStringLiteral("\r\n")));
}

TEST(MultiButtonProperties, RunTimeRefusalsAreSilentAndOutOfRangeIgnored)
{
    Host host(false);
    zqButtons_H *button = host.Add();
    button->SetValue(true); // command mode
    EXPECT_FALSE(button->Value());
    button->SetButtonShape(7); // no picture
    EXPECT_EQ(button->ButtonShape(), 0);
    button->SetButtonStyle(8);
    button->SetMode(-1);
    button->SetGradientMode(5);
    EXPECT_EQ(button->ButtonStyle(), 0);
    EXPECT_EQ(button->Mode(), 0);
    EXPECT_EQ(button->GradientMode(), 0);
    button->SetResetDefaultColors(true); // design time only
    EXPECT_TRUE(host.messages.calls.empty());
}

TEST(MultiButtonProperties, CommandModeRefusesValue)
{
    Host host(true);
    zqButtons_H *button = host.Add();
    button->SetValue(true);
    EXPECT_FALSE(button->Value());
    ASSERT_EQ(host.messages.calls.size(), 1u);
    EXPECT_EQ(host.messages.calls[0].text, strings::ValueNotApplicable);

    button->SetMode(zqButtons_H::CheckMode);
    button->SetValue(true);
    EXPECT_TRUE(button->Value());
    button->SetMode(zqButtons_H::CommandMode); // back to command mode clears Value
    EXPECT_FALSE(button->Value());
}

TEST(MultiButtonProperties, OptionGroupsPerContainer)
{
    Host host;
    auto *frameA = new QWidget(host.window.get());
    auto *frameB = new QWidget(host.window.get());
    zqButtons_H *a1 = host.Add(40, 20, frameA), *a2 = host.Add(40, 20, frameA);
    zqButtons_H *b1 = host.Add(40, 20, frameB);
    for (zqButtons_H *b : {a1, a2, b1})
        b->SetMode(zqButtons_H::OptionMode);
    EXPECT_EQ(ui::WindowProps::GetProp(frameA, strings::OptCount), 2);
    EXPECT_EQ(ui::WindowProps::GetProp(frameA, QStringLiteral("2zq_Obj")), reinterpret_cast<qintptr>(a2));

    b1->SetValue(true);
    a1->SetValue(true);
    a2->SetValue(true);
    EXPECT_FALSE(a1->Value());
    EXPECT_TRUE(a2->Value());
    EXPECT_TRUE(b1->Value()); // another container is another group

    // Leaving option mode moves the later members down.
    a1->SetMode(zqButtons_H::CheckMode);
    EXPECT_EQ(ui::WindowProps::GetProp(frameA, strings::OptCount), 1);
    EXPECT_EQ(ui::WindowProps::GetProp(frameA, QStringLiteral("1zq_Obj")), reinterpret_cast<qintptr>(a2));
    EXPECT_EQ(ui::WindowProps::GetProp(frameA, QStringLiteral("2zq_Obj")), 0);

    // A member that goes away leaves no reference behind.
    delete a2;
    EXPECT_EQ(ui::WindowProps::GetProp(frameA, strings::OptCount), 0);
    zqButtons_H *a3 = host.Add(40, 20, frameA);
    a3->SetMode(zqButtons_H::OptionMode);
    a3->SetValue(true);
    EXPECT_TRUE(a3->Value());
}

TEST(MultiButtonProperties, BackColorAndHoverLocks)
{
    Host host;
    zqButtons_H *button = host.Add();
    button->SetHoverColorLocks(0);
    button->SetBackColor(0x112233);
    EXPECT_EQ(button->HoverBackColor(), 0x112233u); // follows
    button->SetHoverColorLocks(1);
    button->SetBackColor(0x445566);
    EXPECT_EQ(button->HoverBackColor(), 0x112233u); // free
    // With a gradient the hover back colour follows the gradient colour.
    button->SetHoverColorLocks(0);
    button->SetGradientColor(0x0000FF);
    button->SetGradientMode(1);
    EXPECT_EQ(button->HoverBackColor(), 0x0000FFu);
    button->SetForeColor(0x00FF00);
    EXPECT_EQ(button->HoverForeColor(), 0x00FF00u);

    button->SetHoverColorLocks(2);
    button->SetHoverBackColor(0x999999);
    EXPECT_EQ(button->HoverColorLocks(), 3);
    button->SetHoverColorLocks(0);
    button->SetHoverForeColor(0x123456);
    EXPECT_EQ(button->HoverColorLocks(), 2);
}

TEST(MultiButtonProperties, PictureSizeCodes)
{
    Host host(true);
    zqButtons_H *button = host.Add();
    EXPECT_EQ(button->PictureSize(), 0);
    button->SetPictureSize(3);
    EXPECT_EQ(button->PictureSize(), 3);
    EXPECT_EQ(button->PictureSizeCode(), 40);
    EXPECT_EQ(button->Save().ReadProperty<int>(strings::key::ImgSize, 16), 40);

    // Custom shapes fit the picture and refuse other sizes.
    button->SetPicture(ui::Picture::FromBitmap(test::Square(32, 0xFFFF0000)));
    button->SetButtonShape(7);
    EXPECT_EQ(button->PictureSize(), 4);
    host.messages.calls.clear();
    button->SetPictureSize(1);
    EXPECT_EQ(button->PictureSize(), 4);
    ASSERT_EQ(host.messages.calls.size(), 1u);
    EXPECT_EQ(host.messages.calls[0].text, strings::PictureSizeShaped);
}

TEST(MultiButtonProperties, ShapeNeedsBitmapAndIconReturnsToRectangle)
{
    Host host(true);
    zqButtons_H *button = host.Add();
    button->SetPicture(ui::Picture::FromIcon(test::Square(16, 0xFF0000FF)));
    button->SetButtonShape(8);
    EXPECT_EQ(button->ButtonShape(), 0);
    ASSERT_EQ(host.messages.calls.size(), 1u);
    EXPECT_EQ(host.messages.calls[0].text, strings::PictureFirst);

    button->SetPicture(ui::Picture::FromBitmap(test::Square(16, 0xFF0000FF)));
    button->SetButtonShape(8);
    EXPECT_EQ(button->ButtonShape(), 8);
    button->SetPicture(ui::Picture::FromIcon(test::Square(16, 0xFF0000FF)));
    EXPECT_EQ(button->ButtonShape(), 0);
    EXPECT_EQ(host.messages.calls.back().text, strings::IconsNotCustom);
}

TEST(MultiButtonProperties, NewInstanceAndAlwaysWrittenKeys)
{
    Host host;
    zqButtons_H *button = host.Add();
    EXPECT_EQ(button->Caption(), QStringLiteral("zqButton"));
    const ui::PropertyBag bag = button->Save();
    namespace key = strings::key;
    EXPECT_EQ(bag.Keys(), (QStringList{key::Caption, key::Mode, key::Value, key::cBack}));
    EXPECT_EQ(bag.ReadProperty<std::uint32_t>(key::cBack, 0), 0x8000000Fu);
}

TEST(MultiButtonProperties, LoadKeepsCaptionAlignAndMatchesKeysWithoutCase)
{
    Host host;
    ui::PropertyBag bag;
    bag.WriteProperty(QStringLiteral("CAPTION"), QStringLiteral("&Go"));
    bag.WriteProperty(QStringLiteral("capalign"), 0);
    bag.WriteProperty(QStringLiteral("Shape"), 99); // damaged: ignored
    zqButtons_H *button = host.Add();
    button->Restore(bag);
    EXPECT_EQ(button->Caption(), QStringLiteral("&Go"));
    EXPECT_EQ(button->CaptionAlign(), 0);
    EXPECT_EQ(button->ButtonShape(), 0);
    EXPECT_EQ(button->AccessKeys(), QStringLiteral("G"));
    EXPECT_EQ(button->HoverBackColor(), button->BackColor()); // cBHover defaults to the BackColor read
}

TEST(MultiButtonProperties, DesignTimeMessagesAndDefaultFrame)
{
    Host host(true);
    zqButtons_H *button = host.Add();
    button->SetCustomClick(3);
    EXPECT_EQ(button->CustomClick(), 3); // stored in any case
    ASSERT_EQ(host.messages.calls.size(), 1u);
    EXPECT_EQ(host.messages.calls[0].text, strings::CustomClickNoEffect);

    button->SetMouseIcon(ui::Picture::FromBitmap(test::Square(16, 0xFF000000)));
    ASSERT_EQ(host.messages.calls.size(), 2u);
    EXPECT_EQ(host.messages.calls[1].title, strings::MouseIconTitle);
    EXPECT_TRUE(button->MouseIcon().IsNull());
    button->SetMouseIcon(ui::Picture::FromIcon(test::Square(16, 0xFF000000)));
    EXPECT_EQ(button->MousePointer(), ui::vbCustom);

    // The container shows it as its default button: the frame flag, and a design-time note
    // when the focus rectangle is switched afterwards.
    button->SetDefault(true);
    EXPECT_TRUE(button->StateFlags() & zqButtons_H::DefaultFrame);
    button->SetShowFocusRect(false);
    ASSERT_EQ(host.messages.calls.size(), 3u);
    EXPECT_EQ(host.messages.calls[2].text, strings::FocusOnDefault);

    button->SetResetDefaultColors(true);
    EXPECT_EQ(button->BackColor(), 0x8000000Fu);
    EXPECT_EQ(button->GradientMode(), 0);
    EXPECT_FALSE(button->DelayDrawingFlag());
}

TEST(MultiButtonProperties, RunTimeDefaultFrameFollowsShowFocusRect)
{
    Host host(false);
    zqButtons_H *shown = host.Add(60, 30);
    shown->SetCaption(QString());
    shown->SetBackColor(0xC0C0C0);
    const QImage plain = shown->BackBuffer().Image();
    shown->SetDefault(true);
    EXPECT_TRUE(shown->StateFlags() & zqButtons_H::DefaultFrame);
    EXPECT_NE(shown->BackBuffer().Image(), plain); // frame ring and focus rectangle
    shown->SetShowFocusRect(false);
    EXPECT_FALSE(shown->StateFlags() & zqButtons_H::DefaultFrame);
    EXPECT_TRUE(host.messages.calls.empty());

    zqButtons_H *hidden = host.Add(60, 30);
    hidden->SetShowFocusRect(false);
    hidden->SetDefault(true);
    EXPECT_FALSE(hidden->StateFlags() & zqButtons_H::DefaultFrame);
}

// The studio's twelve tool-bar buttons, as its window definition stores them.
struct ToolButton {
    const char *name;
    int w, h, style, mode;
    const char *caption;
    ui::StdFont font;
    std::uint32_t fore, back, hoverFore, hoverBack;
    int locks, gradient;
    std::uint32_t gradientColour;
    bool picture, keepsDefaults;
};

ui::StdFont TimesBold(bool italic)
{
    ui::StdFont f;
    f.Name = QStringLiteral("Times New Roman");
    f.Size = 11.25;
    f.Bold = true;
    f.Italic = italic;
    return f;
}

std::vector<ToolButton> ToolBar()
{
    std::vector<ToolButton> buttons;
    for (const char *name : {"cmdOpen", "cmdAll", "cmdCut", "cmdCopy", "cmdPaste", "cmdDelete", "cmdClear"})
        buttons.push_back({name, 39, 29, 6, 0, "", ui::StdFont(), 0x808080, 0x898F8B, 0xFFC0C0, 0x60B0EC, 3,
                           4, 0xC0C0C0, true, QLatin1String(name) == QLatin1String("cmdAll")});
    buttons.push_back({"cmdBold", 25, 25, 2, 1, "B", TimesBold(false), 0xFFFFFF, 0x50579C, 0x808080, 0x80C0FF,
                       3, 0, 0x977864, false, false});
    buttons.push_back({"cmdItalic", 25, 25, 2, 1, "I", TimesBold(true), 0xFFFFFF, 0x50579C, 0x808080,
                       0x80C0FF, 3, 0, 0x977864, false, false});
    buttons.push_back({"cmdFont", 25, 25, 2, 0, "F", TimesBold(false), 0xFFFFFF, 0x50579C, 0x808080, 0x80C0FF,
                       3, 0, 0x977864, false, false});
    for (const char *name : {"cmdForeColor", "cmdBackColor"})
        buttons.push_back({name, 25, 25, 2, 0, "", ui::StdFont(), 0xC0FFFF, 0xC0C0C0, 0xC0FFFF, 0x80FFFF, 1,
                           0, 0, true, false});
    return buttons;
}

ui::PropertyBag Stored(const ToolButton &t, const ui::Picture &icon)
{
    namespace key = strings::key;
    ui::PropertyBag bag;
    bag.WriteProperty<QString>(key::Caption, QString::fromLatin1(t.caption), QString());
    bag.WriteProperty<int>(key::BackStyle, t.style, 0);
    bag.WriteProperty<ui::StdFont>(key::Font, t.font, ui::StdFont());
    bag.WriteProperty<std::uint32_t>(key::cFore, t.keepsDefaults ? 0x80000012u : t.fore, 0x80000012u);
    bag.WriteProperty<std::uint32_t>(key::cFHover, t.hoverFore, 0x80000012u);
    bag.WriteProperty<std::uint32_t>(key::cBHover, t.hoverBack, t.back);
    bag.WriteProperty<bool>(key::Focus, t.keepsDefaults, true);
    bag.WriteProperty<int>(key::LockHover, t.locks, 0);
    bag.WriteProperty<std::uint32_t>(key::cGradient, t.gradientColour, 0x8000000Fu);
    bag.WriteProperty<int>(key::Gradient, t.gradient, 0);
    bag.WriteProperty<int>(key::Mode, t.mode);
    bag.WriteProperty<bool>(key::Value, false);
    bag.WriteProperty<int>(key::ImgAlign, t.picture && t.style == 6 ? 4 : 0, 0);
    bag.WriteProperty<ui::Picture>(key::Image, t.picture ? icon : ui::Picture(), ui::Picture());
    bag.WriteProperty<std::uint32_t>(key::cBack, t.back);
    return bag;
}

TEST(MultiButtonPersistence, StudioToolBarRoundTrip)
{
    Host host;
    QImage iconImage(16, 16, QImage::Format_ARGB32);
    iconImage.fill(0xFF2060A0);
    const ui::Picture icon = ui::Picture::FromIcon(iconImage);
    for (const ToolButton &t : ToolBar()) {
        SCOPED_TRACE(t.name);
        const ui::PropertyBag stored = Stored(t, icon);
        zqButtons_H *button = host.Add(t.w, t.h);
        button->Restore(stored);
        EXPECT_EQ(button->ButtonStyle(), t.style);
        EXPECT_EQ(button->Mode(), t.mode);
        EXPECT_EQ(button->CaptionAlign(), 2);
        EXPECT_EQ(button->ShowFocusRect(), t.keepsDefaults);
        EXPECT_EQ(button->BackColor(), t.back);
        EXPECT_EQ(button->HoverBackColor(), t.hoverBack);
        EXPECT_EQ(button->HoverForeColor(), t.hoverFore);
        EXPECT_EQ(button->HoverColorLocks(), t.locks);
        EXPECT_EQ(button->GradientMode(), t.gradient);
        EXPECT_EQ(button->Font(), t.font);
        EXPECT_EQ(button->Picture().IsNull(), !t.picture);
        EXPECT_EQ(button->width(), t.w);
        EXPECT_FALSE(button->DelayDrawingFlag());

        const ui::PropertyBag saved = button->Save();
        EXPECT_EQ(saved.Keys(), stored.Keys());
        for (const QString &k : stored.Keys()) {
            if (k != strings::key::Image) {
                EXPECT_EQ(saved.RawValue(k), stored.RawValue(k)) << k.toStdString();
            }
        }
        zqButtons_H *again = host.Add(t.w, t.h);
        again->Restore(saved);
        const ui::PropertyBag savedAgain = again->Save();
        EXPECT_EQ(savedAgain.Keys(), saved.Keys());
        for (const QString &k : saved.Keys()) {
            if (k != strings::key::Image) {
                EXPECT_EQ(savedAgain.RawValue(k), saved.RawValue(k)) << k.toStdString();
            }
        }
        EXPECT_EQ(again->Picture().Image(), button->Picture().Image());
    }
}

} // namespace
} // namespace multibutton
