#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

using namespace ui_test;

namespace {

// A preset-like menu: two factory entries, a separator, a disabled entry,
// a user entry and a submenu.
struct MenuBench {
    Recorder recorder;
    CFrame frame{CRect(0, 0, 300, 300), nullptr, &recorder};
    COptionMenu* menu = new COptionMenu(CRect(10, 10, 63, 25), &recorder, 18, nullptr, nullptr, kCheckStyle);
    COptionMenu* submenu = new COptionMenu(CRect(10, 10, 63, 25), &recorder, 17);
    MenuBench()
    {
        menu->addEntry("Default");
        menu->addEntry("Bright");
        menu->addEntry("-");
        menu->addEntry("Locked", -1, CMenuItem::kDisabled);
        menu->addEntry("Mine");
        submenu->addEntry("First user");
        submenu->addEntry("Second user");
        menu->addEntry(submenu, "Delete");
        submenu->forget();
        frame.addView(menu);
    }
    CMenuPopup* popup() { return frame.getOpenMenu(); }
};

const CColor kHighlight{51, 102, 204, 255};

} // namespace

TEST(COptionMenu, PositionsCountWithOrWithoutSeparatorsAndBadValuesAreIgnored)
{
    MenuBench bench;
    COptionMenu& menu = *bench.menu;
    EXPECT_EQ(menu.getNbEntries(), 6);
    EXPECT_TRUE(menu.getEntry(2)->isSeparator());
    menu.setValue(4);
    EXPECT_EQ(menu.getCurrentIndex(true), 4);
    EXPECT_EQ(menu.getCurrentIndex(false), 3);
    EXPECT_STREQ(menu.getCurrent()->getTitle(), "Mine");
    EXPECT_TRUE(menu.getEntry(4)->isChecked());
    menu.setValue(1);
    EXPECT_FALSE(menu.getEntry(4)->isChecked()) << "check style shows the current entry alone";
    EXPECT_TRUE(menu.getEntry(1)->isChecked());
    menu.setValue(6);
    menu.setValue(-1);
    EXPECT_EQ(menu.getCurrentIndex(true), 1);
    EXPECT_TRUE(menu.setCurrent(3, false));
    EXPECT_STREQ(menu.getCurrent()->getTitle(), "Mine");

    menu.setPrefixNumbers(2);
    EXPECT_EQ(menu.getDisplayTitle(4), "05 Mine");
    menu.setPrefixNumbers(5);
    EXPECT_EQ(menu.getPrefixNumbers(), 2);
    menu.setPrefixNumbers(3);
    EXPECT_EQ(menu.getDisplayTitle(0), "001 Default");

    menu.removeEntry(0);
    EXPECT_STREQ(menu.getCurrent()->getTitle(), "Mine");
    menu.removeAllEntry();
    EXPECT_EQ(menu.getNbEntries(), 0);
    EXPECT_EQ(menu.getCurrent(), nullptr);
}

TEST(COptionMenu, KeyboardSkipsSeparatorsAndDisabledEntriesAndChooses)
{
    MenuBench bench;
    Click(bench.frame, CPoint(20, 15));
    ASSERT_NE(bench.popup(), nullptr);
    EXPECT_EQ(bench.popup()->getLevelRect(0).getTopLeft(), CPoint(10, 25)) << "opens below the control";
    PressKey(bench.frame, VKEY_DOWN);
    PressKey(bench.frame, VKEY_DOWN);
    PressKey(bench.frame, VKEY_DOWN);
    EXPECT_EQ(bench.popup()->getHighlighted(0), 4);
    PressKey(bench.frame, VKEY_UP);
    EXPECT_EQ(bench.popup()->getHighlighted(0), 1);

    // The highlighted row is drawn over the frame.
    const CPoint row = bench.popup()->getEntryCenter(0, 1);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(row.x + 30, row.y), kHighlight));

    PressKey(bench.frame, VKEY_RETURN);
    EXPECT_EQ(bench.popup(), nullptr);
    ASSERT_EQ(bench.recorder.changes.size(), 1u);
    EXPECT_EQ(bench.recorder.changes[0].tag, 18);
    EXPECT_FLOAT_EQ(bench.recorder.changes[0].value, 1.0f);
    EXPECT_TRUE(bench.menu->getEntry(1)->isChecked());
    EXPECT_FALSE(SameColour(bench.frame.getPixel(row.x + 30, row.y), kHighlight)) << "overlay gone";
}

TEST(COptionMenu, SubmenuChoiceReachesTheRootListenerWithItsMenu)
{
    MenuBench bench;
    Click(bench.frame, CPoint(20, 15));
    for (int i = 0; i < 4; ++i)
        PressKey(bench.frame, VKEY_DOWN);
    EXPECT_EQ(bench.popup()->getHighlighted(0), 5);
    PressKey(bench.frame, VKEY_RIGHT);
    ASSERT_EQ(bench.popup()->getLevelCount(), 2u);
    EXPECT_EQ(bench.popup()->getHighlighted(1), 0);
    PressKey(bench.frame, VKEY_LEFT);
    EXPECT_EQ(bench.popup()->getLevelCount(), 1u);

    // With the mouse: hovering opens the submenu, a click in it chooses.
    CPoint deleteRow = bench.popup()->getEntryCenter(0, 5);
    bench.frame.onMouseMoved(deleteRow, 0);
    ASSERT_EQ(bench.popup()->getLevelCount(), 2u);
    EXPECT_GE(bench.popup()->getLevelRect(1).left, bench.popup()->getLevelRect(0).right - 2);
    const CPoint second = bench.popup()->getEntryCenter(1, 1);
    Click(bench.frame, second);
    EXPECT_EQ(bench.popup(), nullptr);
    ASSERT_EQ(bench.recorder.changes.size(), 1u);
    EXPECT_EQ(bench.recorder.changes[0].tag, 18);
    int32_t index = -1;
    EXPECT_EQ(bench.menu->getLastItemMenu(index), bench.submenu);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(bench.submenu->getCurrentIndex(), 1);
}

TEST(COptionMenu, DisabledEntriesCannotBeChosenAndEscapeOrOutsideDismiss)
{
    MenuBench bench;
    Click(bench.frame, CPoint(20, 15));
    const CPoint locked = bench.popup()->getEntryCenter(0, 3);
    Click(bench.frame, locked);
    ASSERT_NE(bench.popup(), nullptr) << "a disabled entry keeps the menu open";
    EXPECT_EQ(bench.popup()->getHighlighted(0), -1);
    PressKey(bench.frame, VKEY_ESCAPE);
    EXPECT_EQ(bench.popup(), nullptr);

    Click(bench.frame, CPoint(20, 15));
    ASSERT_NE(bench.popup(), nullptr);
    Click(bench.frame, CPoint(290, 290));
    EXPECT_EQ(bench.popup(), nullptr);
    EXPECT_TRUE(bench.recorder.changes.empty());
    EXPECT_FALSE(bench.menu->isPoppedUp());
}

TEST(COptionMenu, APopupStyleMenuOpensOverItsControlAndItsOpeningClickChoosesNothing)
{
    MenuBench bench;
    const CColor normal{100, 0, 0, 255};
    const CColor pressed{0, 100, 0, 255};
    const auto normalPng = StripPng(53, 15, {normal});
    const auto pressedPng = StripPng(53, 15, {pressed});
    auto* normalBitmap = new CBitmap(std::span<const unsigned char>(normalPng));
    auto* pressedBitmap = new CBitmap(std::span<const unsigned char>(pressedPng));
    auto* popupStyle = new COptionMenu(CRect(100, 100, 153, 115), &bench.recorder, 20, normalBitmap, pressedBitmap,
                                       kPopupStyle | kNoTextStyle);
    normalBitmap->forget();
    pressedBitmap->forget();
    popupStyle->addEntry("Help");
    popupStyle->addEntry("About Plug-In");
    bench.frame.addView(popupStyle);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(150, 112), normal));

    // Over the control: the release of the opening click lies on an entry.
    CPoint where(110, 105);
    bench.frame.onMouseDown(where, kLButton);
    ASSERT_NE(bench.popup(), nullptr);
    EXPECT_EQ(bench.popup()->getLevelRect(0).top, 100);
    EXPECT_TRUE(popupStyle->isPoppedUp());
    bench.frame.onMouseUp(where, kLButton);
    EXPECT_NE(bench.popup(), nullptr);
    EXPECT_TRUE(bench.recorder.changes.empty());
    bench.frame.closeMenu();
    EXPECT_TRUE(SameColour(bench.frame.getPixel(150, 112), normal));

    bench.frame.onMouseDown(where, kRButton);
    ASSERT_NE(bench.popup(), nullptr);
    CPoint about = bench.popup()->getEntryCenter(0, 1);
    bench.frame.onMouseMoved(about, kRButton);
    bench.frame.onMouseUp(about, kRButton);
    EXPECT_EQ(bench.popup(), nullptr);
    ASSERT_EQ(bench.recorder.changes.size(), 1u);
    EXPECT_STREQ(popupStyle->getCurrent()->getTitle(), "About Plug-In");
}
