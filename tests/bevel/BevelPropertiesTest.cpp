// SPDX-License-Identifier: GPL-3.0-or-later
#include "bevel/bvlBUTTON.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace bevel
{
namespace
{

// One stored property changed away from its default on an otherwise new button.
struct Change {
    const char *key;
    std::function<void(bvlBUTTON &)> apply;
};

class BevelStoredProperty : public ::testing::TestWithParam<Change>
{
  protected:
    bvlBUTTON *New()
    {
        auto *button = new bvlBUTTON(window.get());
        button->setObjectName(QStringLiteral("bvlButton1"));
        button->setGeometry(0, 0, 80, 24);
        button->InitNew();
        return button;
    }
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
};

TEST_P(BevelStoredProperty, IsSavedAloneUnderItsKeyAndReadBack)
{
    // A new button stores only the bevel height it worked out for its size.
    const QStringList fresh = New()->Save().Keys();
    ASSERT_EQ(fresh, QStringList{QStringLiteral("BevelHeight")});
    bvlBUTTON *changed = New();
    GetParam().apply(*changed);
    const ui::PropertyBag saved = changed->Save();
    QStringList keys = saved.Keys();
    keys.removeAll(QStringLiteral("BevelHeight"));
    EXPECT_EQ(keys, QStringList{QString::fromLatin1(GetParam().key)});

    bvlBUTTON *restored = New();
    restored->Restore(saved);
    EXPECT_EQ(restored->Save(), saved);
}

ui::Picture SmallPicture()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(qRgb(10, 200, 30));
    return ui::Picture::FromBitmap(image);
}

const Change Changes[] = {
    {"AccessKeys", [](bvlBUTTON &b) { b.SetAccessKeys(QStringLiteral("x")); }},
    {"Appearance", [](bvlBUTTON &b) { b.SetAppearance(0); }},
    {"BackColour", [](bvlBUTTON &b) { b.SetBackColour(0x00FF00); }},
    {"Behaviour", [](bvlBUTTON &b) { b.SetBehaviour(bvlBUTTON::ToggleButton); }},
    {"BevelAutoAdjust", [](bvlBUTTON &b) { b.SetBevelAutoAdjust(false); }},
    {"Caption", [](bvlBUTTON &b) { b.SetCaption(QStringLiteral("Go")); }},
    {"CaptionJustify", [](bvlBUTTON &b) { b.SetCaptionJustify(8); }},
    {"CaptionColour", [](bvlBUTTON &b) { b.SetCaptionColour(0x0000FF); }},
    {"CaptionHoverColour", [](bvlBUTTON &b) { b.SetCaptionHoverColour(0x00FFFF); }},
    {"CaptionOffset", [](bvlBUTTON &b) { b.SetCaptionOffset(QStringLiteral("(3,-2)")); }},
    {"Enabled", [](bvlBUTTON &b) { b.SetEnabled(false); }},
    {"Font",
     [](bvlBUTTON &b) {
         ui::StdFont font = b.Font();
         font.Bold = !font.Bold;
         b.SetFont(font);
     }},
    {"MouseKeys", [](bvlBUTTON &b) { b.SetMouseKeys(3); }},
    {"Picture", [](bvlBUTTON &b) { b.SetPicture(SmallPicture()); }},
    {"PictureJustify", [](bvlBUTTON &b) { b.SetPictureJustify(0); }},
    {"PictureHover", [](bvlBUTTON &b) { b.SetPictureHover(SmallPicture()); }},
    {"PictureOffset", [](bvlBUTTON &b) { b.SetPictureOffset(QStringLiteral("(-4,1)")); }},
    {"Transparency", [](bvlBUTTON &b) { b.SetTransparency(0xFF00FF); }},
    {"UseTransparency", [](bvlBUTTON &b) { b.SetUseTransparency(false); }},
    {"MouseIcon", [](bvlBUTTON &b) { b.SetMouseIcon(SmallPicture()); }},
    {"MousePointer", [](bvlBUTTON &b) { b.SetMousePointer(2); }},
};

INSTANTIATE_TEST_SUITE_P(Keys, BevelStoredProperty, ::testing::ValuesIn(Changes),
                         [](const ::testing::TestParamInfo<Change> &info) {
                             return std::string(info.param.key);
                         });

} // namespace
} // namespace bevel
