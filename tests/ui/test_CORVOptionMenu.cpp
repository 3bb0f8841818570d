#include "ui/controls/CORVOptionMenu.h"

#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

using namespace ui_test;

namespace {

constexpr CColor kNormal{90, 20, 20, 255};
constexpr CColor kPressed{20, 90, 20, 255};

CBitmap* Solid(const CColor& colour)
{
    const auto png = StripPng(53, 15, {colour});
    return new CBitmap(std::span<const unsigned char>(png));
}

// A preset menu as a stomp box builds it: three factory presets, a
// separator, two user presets; the save menu with a disabled "Delete".
struct PresetBench {
    Recorder recorder;
    CFrame frame{CRect(0, 0, 200, 300), nullptr, &recorder};
    CORVOptionMenu* presets;
    CORVOptionMenu* save;
    PresetBench()
    {
        CBitmap* normal = Solid(kNormal);
        CBitmap* pressed = Solid(kPressed);
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

TEST(CORVOptionMenu, PositionsSkipSeparatorsAndValuesOutsideTheEntriesAreIgnored)
{
    PresetBench bench;
    CORVOptionMenu& menu = *bench.presets;
    menu.setValue(4);
    EXPECT_EQ(menu.getCurrentIndex(false), 3) << "the first user preset follows the three factory presets";
    EXPECT_EQ(menu.getCurrentIndex(true), 4);
    // Style 1024: the current entry alone carries the check mark.
    for (int32_t i = 0; i < menu.getNbEntries(); ++i)
        EXPECT_EQ(menu.getEntry(i)->isChecked(), i == 4) << i;
    menu.setValue(1);
    EXPECT_TRUE(menu.getEntry(1)->isChecked());
    EXPECT_FALSE(menu.getEntry(4)->isChecked());
    menu.setValue(static_cast<float>(menu.getNbEntries()));
    menu.setValue(-1);
    EXPECT_EQ(menu.getCurrentIndex(true), 1);
    EXPECT_FLOAT_EQ(menu.getValue(), 1.0f);
    EXPECT_TRUE(menu.getEntry(1)->isChecked());

    // Style 1 toggles the mark of each entry set.
    CORVOptionMenu toggles(CRect(0, 0, 50, 15), nullptr, 0, nullptr, nullptr, kMultipleCheckStyle);
    toggles.addEntry("Sync");
    toggles.addEntry("Hold");
    toggles.setValue(0);
    toggles.setValue(1);
    EXPECT_TRUE(toggles.getEntry(0)->isChecked() && toggles.getEntry(1)->isChecked());
    toggles.setValue(0);
    EXPECT_FALSE(toggles.getEntry(0)->isChecked());
    EXPECT_TRUE(toggles.getEntry(1)->isChecked());
}

TEST(CORVOptionMenu, NumberPrefixesAndPrefixFiveIgnored)
{
    PresetBench bench;
    CORVOptionMenu& menu = *bench.presets;
    menu.setPrefixNumbers(1);
    EXPECT_EQ(menu.getDisplayTitle(0), "1 Warm");
    menu.setPrefixNumbers(3);
    EXPECT_EQ(menu.getDisplayTitle(5), "006 Yours");
    menu.setPrefixNumbers(2);
    menu.setPrefixNumbers(5);
    EXPECT_EQ(menu.getPrefixNumbers(), 2);
    EXPECT_EQ(menu.getDisplayTitle(4), "05 Mine");
}

TEST(CORVOptionMenu, LeftRightOrCommandPressOpensThePopupBelowWithThePressedBitmap)
{
    PresetBench bench;
    CPoint where(130, 160);
    bench.frame.onMouseDown(where, kShift);
    EXPECT_EQ(bench.popup(), nullptr) << "shift alone is no menu press";
    EXPECT_TRUE(SameColour(bench.frame.getPixel(170, 165), kNormal));
    for (int32_t buttons : {kLButton, kRButton, kApple}) {
        bench.frame.onMouseDown(where, buttons);
        ASSERT_NE(bench.popup(), nullptr) << buttons;
        EXPECT_EQ(bench.popup()->getLevelRect(0).getTopLeft(), CPoint(119, 167)) << "below the control";
        EXPECT_TRUE(SameColour(bench.frame.getPixel(170, 165), kPressed));
        bench.frame.closeMenu();
        bench.frame.setFocusView(nullptr);
    }
    Click(bench.frame, where);
    Click(bench.frame, bench.popup()->getEntryCenter(0, 5));
    EXPECT_EQ(bench.popup(), nullptr);
    ASSERT_EQ(bench.recorder.changes.size(), 1u);
    EXPECT_EQ(bench.recorder.changes[0].tag, 17);
    EXPECT_FLOAT_EQ(bench.recorder.changes[0].value, 5.0f);
    EXPECT_EQ(bench.presets->getCurrentIndex(false), 4);
}

TEST(CORVOptionMenu, DisabledDeleteCannotBeChosenInAMenuOpeningOverItself)
{
    PresetBench bench;
    Click(bench.frame, CPoint(70, 160));
    ASSERT_NE(bench.popup(), nullptr);
    EXPECT_EQ(bench.popup()->getLevelRect(0).top, 152) << "style 512 opens at the control's top";
    Click(bench.frame, bench.popup()->getEntryCenter(0, 1));
    EXPECT_NE(bench.popup(), nullptr);
    EXPECT_TRUE(bench.recorder.changes.empty());
    Click(bench.frame, bench.popup()->getEntryCenter(0, 0));
    ASSERT_EQ(bench.recorder.changes.size(), 1u);
    EXPECT_EQ(bench.recorder.changes[0].tag, 18);
    EXPECT_FLOAT_EQ(bench.recorder.changes[0].value, 0.0f);
}
