// Frames in real X11 windows, driven with XTest through the X server the
// way a user's pointer and keyboard would. Runs under xvfb-run.
#include "tests/ui/UiTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
// After the test framework: Xlib's macros (None, Bool) clash with its names.
#include "tests/ui/X11TestUser.h"

using namespace ui_test;


TEST(X11Frame, PointerAndKeysFromTheServerTurnPressAndChoose)
{
    User user;
    ASSERT_TRUE(user.ready()) << "needs an X server with XTest (run under xvfb-run)";
    Recorder recorder;
    recorder.knobMode = kLinearMode;
    CFrame frame(CRect(0, 0, 200, 200), CFrame::kTopLevelWindow, &recorder);
    ASSERT_TRUE(frame.isWindowOpen());
    auto* knob = new CKnob(CRect(10, 10, 50, 50), &recorder, 2, nullptr, nullptr);
    knob->setValue(0.0f);
    frame.addView(knob);
    frame.addView(new CKickButton(CRect(60, 10, 80, 30), &recorder, 1, 10, nullptr));
    auto* menu = new COptionMenu(CRect(100, 10, 153, 25), &recorder, 20);
    for (const char* title : {"One", "Two", "Three"})
        menu->addEntry(title);
    frame.addView(menu);
    frame.idle();
    user.aimAt(frame.getSystemWindow());
    const auto reported = [&](int32_t tag, float value) {
        return WaitFor(frame, [&] {
            return !recorder.changes.empty() && recorder.changes.back().tag == tag &&
                   std::abs(recorder.changes.back().value - value) < 1e-5f;
        });
    };

    user.moveTo(CPoint(30, 40));
    user.button(true);
    EXPECT_TRUE(WaitFor(frame, [&] { return knob->isEditing(); }));
    user.moveTo(CPoint(30, 0));
    EXPECT_TRUE(reported(2, 0.2f)) << recorder.last();
    user.button(false);
    EXPECT_TRUE(WaitFor(frame, [&] { return recorder.editorEnds == std::vector<int32_t>{2}; }));

    user.moveTo(CPoint(70, 20));
    user.button(true);
    EXPECT_TRUE(reported(1, 1.0f));
    user.button(false);
    EXPECT_TRUE(reported(1, 0.0f));

    user.click(CPoint(120, 17));
    ASSERT_TRUE(WaitFor(frame, [&] { return frame.getOpenMenu() != nullptr; }));
    user.moveTo(frame.getOpenMenu()->getEntryCenter(0, 2));
    ASSERT_TRUE(WaitFor(frame, [&] { return frame.getOpenMenu()->getHighlighted(0) == 2; }));
    user.button(true);
    user.button(false);
    EXPECT_TRUE(reported(20, 2.0f));
    EXPECT_EQ(frame.getOpenMenu(), nullptr);

    // The keyboard, grabbed by the open menu.
    user.click(CPoint(120, 17));
    ASSERT_TRUE(WaitFor(frame, [&] { return frame.getOpenMenu() != nullptr; }));
    for (const KeySym key : {XK_Down, XK_Down, XK_Return})
        user.key(key);
    EXPECT_TRUE(reported(20, 1.0f));
    EXPECT_STREQ(menu->getCurrent()->getTitle(), "Two");
    // The window closes with a pop-up open.
    menu->popup();
    frame.idle();
    EXPECT_NE(frame.getOpenMenu(), nullptr);
}

TEST(X11Frame, LivesInsideTheWindowTheHostGives)
{
    User host;
    ASSERT_TRUE(host.ready());
    const Window parent = XCreateSimpleWindow(host.display, DefaultRootWindow(host.display), 0, 0, 300, 400, 0, 0, 0);
    XMapWindow(host.display, parent);
    XSync(host.display, False);
    {
        CFrame frame(CRect(10, 20, 195, 340), reinterpret_cast<void*>(parent), nullptr);
        ASSERT_TRUE(frame.isWindowOpen());
        Window root = 0, windowParent = 0, *children = nullptr;
        unsigned int count = 0;
        XQueryTree(host.display, frame.getSystemWindow(), &root, &windowParent, &children, &count);
        XFree(children);
        EXPECT_EQ(windowParent, parent);
        XWindowAttributes a;
        XGetWindowAttributes(host.display, frame.getSystemWindow(), &a);
        EXPECT_EQ(std::vector<int>({a.x, a.y, a.width, a.height}), std::vector<int>({10, 20, 185, 320}));

        // What the frame drew is what the window shows.
        frame.setBackgroundColor(CColor{0, 200, 40, 255});
        frame.invalid();
        frame.idle();
        XImage* shown = XGetImage(host.display, frame.getSystemWindow(), 5, 5, 1, 1, AllPlanes, ZPixmap);
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(XGetPixel(shown, 0, 0) & 0xffffff, 0x00c828u);
        XDestroyImage(shown);
    }
    XDestroyWindow(host.display, parent);
    XSync(host.display, False);

    // A window id the server does not know leaves the frame in memory.
    CFrame orphan(CRect(0, 0, 185, 320), reinterpret_cast<void*>(parent), nullptr);
    EXPECT_FALSE(orphan.isWindowOpen());
    EXPECT_TRUE(orphan.isOffscreen());
}

// Every frame gives its connection back: more frames in turn than the
// server takes clients at once.
TEST(X11Frame, OpensAndClosesThreeHundredTimes)
{
    // Another client keeps the server up: an X server resets when its last
    // client leaves and refuses connections meanwhile.
    User user;
    ASSERT_TRUE(user.ready());
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(CFrame(CRect(0, 0, 185, 320), CFrame::kTopLevelWindow, nullptr).isWindowOpen()) << i;
}
