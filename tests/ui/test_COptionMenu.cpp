// The option menu and its pop-up, set up the way the stomp boxes' menus are.
#include "tests/ui/UiTestSupport.h"
#include "ui/controls/CORVOptionMenu.h"

#include <gtest/gtest.h>

using namespace ui_test;

namespace {

constexpr CColor kNormal{90, 20, 20, 255};
constexpr CColor kPressed{20, 90, 20, 255};
constexpr CColor kHighlight{51, 102, 204, 255};

// A preset menu (two factory entries, a separator, a disabled entry, a user
// entry and a submenu) and an options menu that pops up over itself.
struct MenuBench : Bench {
    CORVOptionMenu* menu;
    CORVOptionMenu* submenu = new CORVOptionMenu(CRect(10, 10, 63, 25), &recorder, 17);
    CORVOptionMenu* options;
    MenuBench() : Bench(300, 300)
    {
        CBitmap* normal = Strip(53, 15, {kNormal});
        CBitmap* pressed = Strip(53, 15, {kPressed});
        menu = add(new CORVOptionMenu(CRect(10, 10, 63, 25), &recorder, 18, normal, pressed, kChoiceMenuStyle));
        options = add(new CORVOptionMenu(CRect(100, 100, 153, 115), &recorder, 20, normal, pressed,
                                         kOptionMenuStyle | kPopupStyle));
        normal->forget();
        pressed->forget();
        for (const char* title : {"Default", "Bright", "-"})
            menu->addEntry(title);
        menu->addEntry("Locked", -1, CMenuItem::kDisabled);
        menu->addEntry("Mine");
        submenu->addEntry("First user");
        submenu->addEntry("Second user");
        menu->addEntry(submenu, "Delete");
        submenu->forget();
        options->addEntry("Help");
        options->addEntry("About Plug-In");
    }
};

} // namespace

TEST(COptionMenu, PositionsCountWithOrWithoutSeparatorsAndBadValuesAreIgnored)
{
    MenuBench bench;
    COptionMenu& menu = *bench.menu;
    menu.setValue(4);
    EXPECT_EQ(menu.getCurrentIndex(true), 4);
    EXPECT_EQ(menu.getCurrentIndex(false), 3);
    EXPECT_STREQ(menu.getCurrent()->getTitle(), "Mine");
    for (int32_t i = 0; i < menu.getNbEntries(); ++i)
        EXPECT_EQ(menu.getEntry(i)->isChecked(), i == 4) << "the check style marks the current entry alone";
    menu.setValue(1);
    for (const float outside : {6.0f, -1.0f})
        menu.setValue(outside);
    EXPECT_EQ(menu.getCurrentIndex(true), 1);
    EXPECT_TRUE(menu.getEntry(1)->isChecked() && !menu.getEntry(4)->isChecked());
    EXPECT_TRUE(menu.setCurrent(3, false));
    EXPECT_STREQ(menu.getCurrent()->getTitle(), "Mine");
    menu.removeEntry(0);
    EXPECT_STREQ(menu.getCurrent()->getTitle(), "Mine") << "the current entry stays when one before it goes";
}

// Left, right or command press opens the pop-up below the menu, which shows
// its pressed bitmap while open; the keys skip separators and disabled
// entries, and return chooses.  (The gallery shows an open menu with its
// number prefixes.)
TEST(COptionMenu, OpensOnAPressChoosesByKeyAndNeverChoosesADisabledEntry)
{
    MenuBench bench;
    CPoint where(20, 15);
    bench.frame.onMouseDown(where, kShift);
    EXPECT_EQ(bench.popup(), nullptr);
    for (int32_t buttons : {kRButton, kApple, kLButton}) {
        bench.frame.closeMenu();
        bench.frame.setFocusView(nullptr);
        bench.frame.onMouseDown(where, buttons);
        ASSERT_NE(bench.popup(), nullptr) << buttons;
        EXPECT_EQ(bench.popup()->getLevelRect(0).getTopLeft(), CPoint(10, 25)) << "below the control";
        EXPECT_TRUE(SameColour(bench.frame.getPixel(60, 20), kPressed));
    }
    bench.frame.onMouseUp(where, kLButton);
    for (int i = 0; i < 3; ++i)
        PressKey(bench.frame, VKEY_DOWN);
    EXPECT_EQ(bench.popup()->getHighlighted(0), 4);
    PressKey(bench.frame, VKEY_UP);
    EXPECT_EQ(bench.popup()->getHighlighted(0), 1);
    const CPoint row = bench.popup()->getEntryCenter(0, 1);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(row.x + 30, row.y), kHighlight));

    PressKey(bench.frame, VKEY_RETURN);
    EXPECT_EQ(bench.popup(), nullptr);
    ASSERT_EQ(bench.recorder.changes.size(), 1u);
    EXPECT_EQ(bench.recorder.changes[0].tag, 18);
    EXPECT_FLOAT_EQ(bench.recorder.changes[0].value, 1.0f);
    EXPECT_TRUE(bench.menu->getEntry(1)->isChecked());
    EXPECT_FALSE(SameColour(bench.frame.getPixel(row.x + 30, row.y), kHighlight)) << "overlay gone";
    EXPECT_TRUE(SameColour(bench.frame.getPixel(60, 20), kNormal));

    // A click on the disabled entry keeps the menu open; escape or a click
    // outside dismisses it.
    Click(bench.frame, where);
    Click(bench.frame, bench.popup()->getEntryCenter(0, 3));
    ASSERT_NE(bench.popup(), nullptr);
    EXPECT_EQ(bench.popup()->getHighlighted(0), -1);
    PressKey(bench.frame, VKEY_ESCAPE);
    EXPECT_EQ(bench.popup(), nullptr);
    Click(bench.frame, where);
    ASSERT_NE(bench.popup(), nullptr);
    Click(bench.frame, CPoint(290, 290));
    EXPECT_EQ(bench.popup(), nullptr);
    EXPECT_FALSE(bench.menu->isPoppedUp());
    EXPECT_EQ(bench.recorder.changes.size(), 1u);
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
    Click(bench.frame, bench.popup()->getEntryCenter(1, 1));
    EXPECT_EQ(bench.popup(), nullptr);
    ASSERT_EQ(bench.recorder.changes.size(), 1u);
    EXPECT_EQ(bench.recorder.changes[0].tag, 18);
    int32_t index = -1;
    EXPECT_EQ(bench.menu->getLastItemMenu(index), bench.submenu);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(bench.submenu->getCurrentIndex(), 1);
}

TEST(COptionMenu, APopupStyleMenuOpensOverItsControlAndItsOpeningClickChoosesNothing)
{
    MenuBench bench;
    // Over the control: the release of the opening click lies on an entry.
    CPoint where(110, 105);
    bench.frame.onMouseDown(where, kLButton);
    ASSERT_NE(bench.popup(), nullptr);
    EXPECT_EQ(bench.popup()->getLevelRect(0).top, 100);
    EXPECT_TRUE(bench.options->isPoppedUp());
    bench.frame.onMouseUp(where, kLButton);
    EXPECT_NE(bench.popup(), nullptr);
    EXPECT_TRUE(bench.recorder.changes.empty());
    bench.frame.closeMenu();

    // A right-button press, drag and release chooses.
    bench.frame.onMouseDown(where, kRButton);
    ASSERT_NE(bench.popup(), nullptr);
    CPoint about = bench.popup()->getEntryCenter(0, 1);
    bench.frame.onMouseMoved(about, kRButton);
    bench.frame.onMouseUp(about, kRButton);
    EXPECT_EQ(bench.popup(), nullptr);
    ASSERT_EQ(bench.recorder.changes.size(), 1u);
    EXPECT_EQ(bench.recorder.changes[0].tag, 20);
    EXPECT_STREQ(bench.options->getCurrent()->getTitle(), "About Plug-In");
}
