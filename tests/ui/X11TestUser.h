#pragma once
// The user's side of an X server for tests of real windows: pointer and
// keys sent through XTest, and a wait that lets a frame handle its events.
#include "ui/vstgui/CView.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <functional>
#include <thread>

namespace ui_test {

using namespace VSTGUI;

// The user's side of the X server: a connection of its own. Points are in
// the coordinates of the frame whose window was last aimed at.
class User {
public:
    User() : display(XOpenDisplay(nullptr)) {}
    ~User()
    {
        if (display)
            XCloseDisplay(display);
    }
    bool ready() const
    {
        int event = 0, error = 0, major = 0, minor = 0;
        return display && XTestQueryExtension(display, &event, &error, &major, &minor);
    }
    void aimAt(unsigned long window)
    {
        Window child = 0;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &originX, &originY, &child);
    }
    void moveTo(const CPoint& where)
    {
        XTestFakeMotionEvent(display, DefaultScreen(display), originX + int(where.x), originY + int(where.y), 0);
        XSync(display, False);
    }
    void button(bool down)
    {
        XTestFakeButtonEvent(display, 1, down ? True : False, 0);
        XSync(display, False);
    }
    void click(const CPoint& where)
    {
        moveTo(where);
        button(true);
        button(false);
    }
    void key(KeySym symbol)
    {
        const KeyCode code = XKeysymToKeycode(display, symbol);
        XTestFakeKeyEvent(display, code, True, 0);
        XTestFakeKeyEvent(display, code, False, 0);
        XSync(display, False);
    }
    Display* display;
    int originX = 0, originY = 0;
};

// Lets the frame handle its events until the condition holds (or gives up).
inline bool WaitFor(CFrame& frame, const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (; std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(std::chrono::milliseconds(2))) {
        frame.idle();
        if (condition())
            return true;
    }
    return false;
}

} // namespace ui_test
