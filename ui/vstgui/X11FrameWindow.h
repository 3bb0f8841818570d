#pragma once
// The X11 side of a frame: its window, the events that reach it and the
// windows of its pop-up menus. Drawing happens in the frame's memory
// buffer; this class only copies pixels to the screen.
#include "ui/vstgui/CGeometry.h"

#include <memory>
#include <vector>

typedef struct _XDisplay Display;
union _XEvent;

namespace VSTGUI {

class CFrame;

class X11FrameWindow {
public:
    // Null when no X display can be opened.
    static std::unique_ptr<X11FrameWindow> create(CFrame& frame, void* systemWindow);
    ~X11FrameWindow();
    X11FrameWindow(const X11FrameWindow&) = delete;
    X11FrameWindow& operator=(const X11FrameWindow&) = delete;

    unsigned long getWindow() const { return window; }
    Display* getDisplay() const { return display; }
    void processEvents();
    void present(const CRect& area);
    void resize();
    // The screen, in the frame's coordinates: where pop-ups must stay.
    CRect screenInFrameCoordinates();
    void menuOpened();
    void menuClosed();
    void updateMenuWindows();
    bool isCloseRequested() const { return closeRequested; }

private:
    X11FrameWindow(CFrame& frame, Display* display);
    bool open(void* systemWindow);
    void dispatch(_XEvent& event);
    void paintMenuLevel(size_t level);
    void destroyMenuWindows();
    CPoint framePoint(int x, int y) const;
    CPoint frameOriginOnScreen();
    int32_t buttonState(unsigned int state, unsigned int button, bool pressed, unsigned long time, int x, int y);

    struct MenuWindow {
        unsigned long window;
        CRect rect;
    };

    CFrame& frame;
    Display* display;
    unsigned long window = 0;
    std::vector<MenuWindow> menuWindows;
    unsigned long deleteAtom = 0;
    bool closeRequested = false;
    // Double-click detection.
    unsigned long lastPressTime = 0;
    int lastPressX = -100;
    int lastPressY = -100;
    unsigned int lastPressButton = 0;
};

// The window a host's window holds an editor in: a child of the host's
// window, as large as the editor and centred across the host's window when
// the widths differ.  It lives on a display connection of its own, which
// its destruction closes.
class X11ChildWindow {
public:
    // Null when there is no display or the server does not know parent.
    static std::unique_ptr<X11ChildWindow> create(unsigned long parent, int width, int height);
    ~X11ChildWindow();
    X11ChildWindow(const X11ChildWindow&) = delete;
    X11ChildWindow& operator=(const X11ChildWindow&) = delete;

    unsigned long getWindow() const { return window; }

private:
    explicit X11ChildWindow(Display* display) : display(display) {}
    Display* display;
    unsigned long window = 0;
};

} // namespace VSTGUI
