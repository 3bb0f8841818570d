#include "ui/controls/CORVOptionMenu.h"

#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

using namespace ui_test;

namespace {

constexpr CColor kNormal{90, 20, 20, 255};
constexpr CColor kPressed{20, 90, 20, 255};

// A stomp box's preset menu (three factory presets, a separator, two user
// presets) and its save menu with a disabled "Delete".
struct PresetBench {
    Recorder recorder;
    CFrame frame{CRect(0, 0, 200, 300), nullptr, &recorder};
    CORVOptionMenu* presets;
    CORVOptionMenu* save;
    PresetBench()
    {
        const auto normalPng = StripPng(53, 15, {kNormal});
        const auto pressedPng = StripPng(53, 15, {kPressed});
        auto* normal = new CBitmap(std::span<const unsigned char>(normalPng));
        auto* pressed = new CBitmap(std::span<const unsigned char>(pressedPng));
        presets = new CORVOptionMenu(CRect(119, 152, 172, 167), &recorder, 17, normal, pressed, kChoiceMenuStyle);
        save = new CORVOptionMenu(CRect(66, 152, 119, 167), &recorder, 18, normal, pressed,
                                  kOptionMenuStyle | kPopupStyle);
        normal->forget();
        pressed->forget();
        for (const char* title : {"Warm", "Bright", "Dark", "-", "Mine", "Yours"})
            presets->addEntry(title);
        save->addEntry("Save As...");
        save->addEntry("Delete", -1, CMenuItem::kDisabled);
        frame.addView(presets);
        frame.addView(save);
    }
    CMenuPopup* popup() { return frame.getOpenMenu(); }
};

} // namespace

TEST(CORVOptionMenu, PositionsChecksPrefixesAndValuesOutsideTheEntries)
{
    PresetBench bench;
    CORVOptionMenu& menu = *bench.presets;
    menu.setValue(4);
    EXPECT_EQ(menu.getCurrentIndex(false), 3) << "the first user preset follows the three factory presets";
    for (int32_t i = 0; i < menu.getNbEntries(); ++i)
        EXPECT_EQ(menu.getEntry(i)->isChecked(), i == 4) << "style 1024 checks the current entry alone";
    menu.setValue(1);
    menu.setValue(static_cast<float>(menu.getNbEntries()));
    EXPECT_EQ(menu.getCurrentIndex(true), 1) << "a value past the last entry changes nothing";
    EXPECT_TRUE(menu.getEntry(1)->isChecked() && !menu.getEntry(4)->isChecked());

    menu.setPrefixNumbers(2);
    menu.setPrefixNumbers(5);
    EXPECT_EQ(menu.getDisplayTitle(4), "05 Mine") << "prefix 5 leaves the previous one in force";

    CORVOptionMenu toggles(CRect(0, 0, 50, 15), nullptr, 0, nullptr, nullptr, kMultipleCheckStyle);
    toggles.addEntry("Sync");
    toggles.addEntry("Hold");
    for (int32_t position : {0, 1, 0})
        toggles.setValue(static_cast<float>(position));
    EXPECT_FALSE(toggles.getEntry(0)->isChecked()) << "style 1 toggles at each setting";
    EXPECT_TRUE(toggles.getEntry(1)->isChecked());
}

TEST(CORVOptionMenu, MenuPressesOpenThePopupWithThePressedBitmapAndDisabledEntriesCannotBeChosen)
{
    PresetBench bench;
    CPoint where(130, 160);
    bench.frame.onMouseDown(where, kShift);
    EXPECT_EQ(bench.popup(), nullptr);
    for (int32_t buttons : {kLButton, kRButton, kApple}) {
        bench.frame.onMouseDown(where, buttons);
        ASSERT_NE(bench.popup(), nullptr) << buttons;
        EXPECT_EQ(bench.popup()->getLevelRect(0).getTopLeft(), CPoint(119, 167)) << "below the control";
        EXPECT_TRUE(SameColour(bench.frame.getPixel(170, 165), kPressed));
        bench.frame.closeMenu();
        bench.frame.setFocusView(nullptr);
    }
    EXPECT_TRUE(SameColour(bench.frame.getPixel(170, 165), kNormal));

    Click(bench.frame, CPoint(70, 160));
    EXPECT_EQ(bench.popup()->getLevelRect(0).top, 152) << "style 512 opens at the control's top";
    Click(bench.frame, bench.popup()->getEntryCenter(0, 1));
    EXPECT_NE(bench.popup(), nullptr);
    EXPECT_TRUE(bench.recorder.changes.empty()) << "the disabled Delete";
    Click(bench.frame, bench.popup()->getEntryCenter(0, 0));
    ASSERT_EQ(bench.recorder.changes.size(), 1u);
    EXPECT_EQ(bench.recorder.changes[0].tag, 18);
    EXPECT_FLOAT_EQ(bench.recorder.changes[0].value, 0.0f);
}
