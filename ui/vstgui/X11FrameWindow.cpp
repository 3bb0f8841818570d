#include "ui/vstgui/X11FrameWindow.h"

#include "ui/vstgui/COptionMenu.h"
#include "ui/vstgui/CView.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo.h>
#include <chrono>
#include <cmath>
#include <thread>

namespace VSTGUI {

namespace {

constexpr long kFrameEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                                 KeyPressMask | KeyReleaseMask | StructureNotifyMask;
constexpr unsigned int kPointerGrabMask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
// X reports the wheel as buttons 4 (away from the user) and 5.
constexpr unsigned int kWheelUpButton = 4;
constexpr unsigned int kWheelDownButton = 5;
constexpr unsigned long kDoubleClickMilliseconds = 400;
constexpr int kDoubleClickDistance = 4;
// Set by the error handler while a window is being made.
bool creationFailed = false;
// How long a new window may take to appear before the frame goes on.
constexpr auto kMapTimeout = std::chrono::seconds(2);

int32_t ModifierBits(unsigned int state)
{
    int32_t bits = 0;
    if (state & ShiftMask)
        bits |= kShift;
    if (state & ControlMask)
        bits |= kControl;
    if (state & Mod1Mask)
        bits |= kAlt;
    if (state & Mod4Mask)
        bits |= kApple;
    return bits;
}

int32_t ButtonBit(unsigned int button)
{
    switch (button) {
    case Button1:
        return kLButton;
    case Button2:
        return kMButton;
    case Button3:
        return kRButton;
    default:
        return 0;
    }
}

VstKeyCode TranslateKey(XKeyEvent& event)
{
    char text[8] = {};
    KeySym symbol = NoSymbol;
    const int length = XLookupString(&event, text, sizeof text - 1, &symbol, nullptr);
    VstKeyCode key;
    switch (symbol) {
    case XK_BackSpace: key.virt = VKEY_BACK; break;
    case XK_Tab: key.virt = VKEY_TAB; break;
    case XK_Return: key.virt = VKEY_RETURN; break;
    case XK_KP_Enter: key.virt = VKEY_ENTER; break;
    case XK_Escape: key.virt = VKEY_ESCAPE; break;
    case XK_space: key.virt = VKEY_SPACE; key.character = ' '; break;
    case XK_Left: key.virt = VKEY_LEFT; break;
    case XK_Up: key.virt = VKEY_UP; break;
    case XK_Right: key.virt = VKEY_RIGHT; break;
    case XK_Down: key.virt = VKEY_DOWN; break;
    case XK_Home: key.virt = VKEY_HOME; break;
    case XK_End: key.virt = VKEY_END; break;
    case XK_Page_Up: key.virt = VKEY_PAGEUP; break;
    case XK_Page_Down: key.virt = VKEY_PAGEDOWN; break;
    case XK_Insert: key.virt = VKEY_INSERT; break;
    case XK_Delete: key.virt = VKEY_DELETE; break;
    default:
        if (length == 1)
            key.character = static_cast<unsigned char>(text[0]);
        break;
    }
    if (event.state & ShiftMask)
        key.modifier |= MODIFIER_SHIFT;
    if (event.state & ControlMask)
        key.modifier |= MODIFIER_CONTROL;
    if (event.state & Mod1Mask)
        key.modifier |= MODIFIER_ALTERNATE;
    if (event.state & Mod4Mask)
        key.modifier |= MODIFIER_COMMAND;
    return key;
}

void WaitForMap(Display* display, Window window)
{
    const auto deadline = std::chrono::steady_clock::now() + kMapTimeout;
    XWindowAttributes attributes;
    while (std::chrono::steady_clock::now() < deadline) {
        XSync(display, False);
        // Mapped is enough: a child of a host window that is still hidden
        // stays unviewable until the host shows it.
        if (creationFailed ||
            (XGetWindowAttributes(display, window, &attributes) && attributes.map_state != IsUnmapped))
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Copies a part of a Cairo image to a window. Cairo's 32-bit pixels are
// what a 24-bit true-colour visual takes, so they go over as they are.
void PutPixels(Display* display, Window window, cairo_surface_t* image, int x, int y, int width, int height)
{
    cairo_surface_flush(image);
    const int imageWidth = cairo_image_surface_get_width(image);
    const int imageHeight = cairo_image_surface_get_height(image);
    x = std::max(x, 0);
    y = std::max(y, 0);
    width = std::min(width, imageWidth - x);
    height = std::min(height, imageHeight - y);
    if (width <= 0 || height <= 0)
        return;
    const int screen = DefaultScreen(display);
    XImage* picture = XCreateImage(display, DefaultVisual(display, screen), static_cast<unsigned>(DefaultDepth(display, screen)),
                                   ZPixmap, 0, reinterpret_cast<char*>(cairo_image_surface_get_data(image)),
                                   static_cast<unsigned>(imageWidth), static_cast<unsigned>(imageHeight), 32,
                                   cairo_image_surface_get_stride(image));
    if (!picture)
        return;
    XPutImage(display, window, DefaultGC(display, screen), picture, x, y, x, y, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    // The pixels belong to Cairo.
    picture->data = nullptr;
    XDestroyImage(picture);
}

} // namespace

namespace {

int NoteCreationError(Display*, XErrorEvent*)
{
    creationFailed = true;
    return 0;
}

// While a window is made: a window id that the server does not know must
// not end the host's process, as Xlib's own handler would. The handler is
// the process's, so ours stands only for the scope.
class CreationErrorTrap {
public:
    CreationErrorTrap()
    {
        creationFailed = false;
        previous = XSetErrorHandler(NoteCreationError);
    }
    ~CreationErrorTrap() { XSetErrorHandler(previous); }
    CreationErrorTrap(const CreationErrorTrap&) = delete;
    CreationErrorTrap& operator=(const CreationErrorTrap&) = delete;
    // Whether a request so far failed, once the server has answered them all.
    bool failed(Display* display) const
    {
        XSync(display, False);
        return creationFailed;
    }

private:
    XErrorHandler previous = nullptr;
};

} // namespace

std::unique_ptr<X11FrameWindow> X11FrameWindow::create(CFrame& frame, void* systemWindow)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return nullptr;
    const CreationErrorTrap trap;
    std::unique_ptr<X11FrameWindow> created(new X11FrameWindow(frame, display));
    const bool opened = created->open(systemWindow);
    if (!opened || trap.failed(display)) {
        created->window = 0;
        return nullptr;
    }
    return created;
}

X11FrameWindow::X11FrameWindow(CFrame& f, Display* d) : frame(f), display(d) {}

std::unique_ptr<X11ChildWindow> X11ChildWindow::create(unsigned long parent, int width, int height)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return nullptr;
    std::unique_ptr<X11ChildWindow> created(new X11ChildWindow(display));
    const CreationErrorTrap trap;
    XWindowAttributes host{};
    const bool known = XGetWindowAttributes(display, parent, &host) != 0;
    if (known && !trap.failed(display)) {
        const int x = host.width > width ? (host.width - width) / 2 : 0;
        created->window = XCreateSimpleWindow(display, parent, x, 0, static_cast<unsigned>(width),
                                              static_cast<unsigned>(height), 0, 0, 0);
        XMapWindow(display, created->window);
    }
    if (!known || trap.failed(display) || !created->window) {
        created->window = 0;
        return nullptr;
    }
    return created;
}

X11ChildWindow::~X11ChildWindow()
{
    if (window)
        XDestroyWindow(display, window);
    XCloseDisplay(display);
}

bool X11FrameWindow::open(void* systemWindow)
{
    const bool topLevel = systemWindow == CFrame::kTopLevelWindow;
    const Window parent =
        topLevel ? DefaultRootWindow(display) : static_cast<Window>(reinterpret_cast<uintptr_t>(systemWindow));
    const CRect& size = frame.getViewSize();
    const double zoom = frame.getZoom();
    const int x = topLevel ? 0 : static_cast<int>(size.left * zoom);
    const int y = topLevel ? 0 : static_cast<int>(size.top * zoom);
    const auto width = static_cast<unsigned int>(std::ceil(size.width() * zoom));
    const auto height = static_cast<unsigned int>(std::ceil(size.height() * zoom));
    const int screen = DefaultScreen(display);
    window = XCreateSimpleWindow(display, parent, x, y, width, height, 0, BlackPixel(display, screen),
                                 BlackPixel(display, screen));
    if (!window)
        return false;
    XSelectInput(display, window, kFrameEventMask);
    if (topLevel) {
        // A fixed-size editor: the window manager may not resize it.
        XSizeHints hints{};
        hints.flags = PMinSize | PMaxSize;
        hints.min_width = hints.max_width = static_cast<int>(width);
        hints.min_height = hints.max_height = static_cast<int>(height);
        XSetWMNormalHints(display, window, &hints);
        deleteAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
        Atom protocols[] = {deleteAtom};
        XSetWMProtocols(display, window, protocols, 1);
    }
    XMapRaised(display, window);
    WaitForMap(display, window);
    return true;
}

X11FrameWindow::~X11FrameWindow()
{
    destroyMenuWindows();
    if (window)
        XDestroyWindow(display, window);
    XCloseDisplay(display);
}

void X11FrameWindow::resize()
{
    const double zoom = frame.getZoom();
    const auto width = static_cast<int>(std::ceil(frame.getViewSize().width() * zoom));
    const auto height = static_cast<int>(std::ceil(frame.getViewSize().height() * zoom));
    XResizeWindow(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
}

void X11FrameWindow::present(const CRect& area)
{
    const double zoom = frame.getZoom();
    const int left = static_cast<int>(std::floor(area.left * zoom));
    const int top = static_cast<int>(std::floor(area.top * zoom));
    PutPixels(display, window, frame.getBackBuffer().getSurface(), left, top,
              static_cast<int>(std::ceil(area.right * zoom)) - left, static_cast<int>(std::ceil(area.bottom * zoom)) - top);
    XFlush(display);
}

CPoint X11FrameWindow::framePoint(int x, int y) const
{
    const double zoom = frame.getZoom();
    return {x / zoom, y / zoom};
}

CPoint X11FrameWindow::frameOriginOnScreen()
{
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return {static_cast<CCoord>(x), static_cast<CCoord>(y)};
}

CRect X11FrameWindow::screenInFrameCoordinates()
{
    const CPoint origin = frameOriginOnScreen();
    const int screen = DefaultScreen(display);
    const double zoom = frame.getZoom();
    return {-origin.x / zoom, -origin.y / zoom, (DisplayWidth(display, screen) - origin.x) / zoom,
            (DisplayHeight(display, screen) - origin.y) / zoom};
}

int32_t X11FrameWindow::buttonState(unsigned int state, unsigned int button, bool pressed, unsigned long time,
                                    int x, int y)
{
    int32_t bits = ModifierBits(state) | ButtonBit(button);
    if (pressed) {
        if (button == lastPressButton && time - lastPressTime < kDoubleClickMilliseconds &&
            std::abs(x - lastPressX) <= kDoubleClickDistance && std::abs(y - lastPressY) <= kDoubleClickDistance)
            bits |= kDoubleClick;
        lastPressTime = time;
        lastPressX = x;
        lastPressY = y;
        lastPressButton = button;
    }
    return bits;
}

void X11FrameWindow::processEvents()
{
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        dispatch(event);
    }
}

void X11FrameWindow::dispatch(XEvent& event)
{
    switch (event.type) {
    case Expose:
        if (event.xexpose.window == window) {
            const double zoom = frame.getZoom();
            present(CRect(event.xexpose.x / zoom, event.xexpose.y / zoom,
                          (event.xexpose.x + event.xexpose.width) / zoom,
                          (event.xexpose.y + event.xexpose.height) / zoom));
        } else {
            for (size_t level = 0; level < menuWindows.size(); ++level)
                if (menuWindows[level].window == event.xexpose.window)
                    paintMenuLevel(level);
        }
        break;
    case ButtonPress: {
        // While a menu is open the pointer is grabbed by the frame's window,
        // so every position arrives relative to it.
        CPoint where = framePoint(event.xbutton.x, event.xbutton.y);
        if (event.xbutton.button == kWheelUpButton || event.xbutton.button == kWheelDownButton) {
            const float distance = event.xbutton.button == kWheelUpButton ? 1.0f : -1.0f;
            frame.onWheel(where, distance, ModifierBits(event.xbutton.state));
            break;
        }
        // Inside a host's window the keyboard reaches us only once asked
        // for: a click on the editor takes it, as text fields need.
        if (!frame.getOpenMenu())
            XSetInputFocus(display, window, RevertToParent, CurrentTime);
        const int32_t buttons = buttonState(event.xbutton.state, event.xbutton.button, true, event.xbutton.time,
                                            event.xbutton.x, event.xbutton.y);
        if (buttons & (kLButton | kMButton | kRButton))
            frame.onMouseDown(where, buttons);
        break;
    }
    case ButtonRelease: {
        if (event.xbutton.button == kWheelUpButton || event.xbutton.button == kWheelDownButton)
            break;
        CPoint where = framePoint(event.xbutton.x, event.xbutton.y);
        frame.onMouseUp(where, buttonState(event.xbutton.state, event.xbutton.button, false, 0, 0, 0));
        break;
    }
    case MotionNotify: {
        // Only the latest position of a burst matters.
        while (XCheckTypedWindowEvent(display, event.xmotion.window, MotionNotify, &event)) {
        }
        int32_t buttons = ModifierBits(event.xmotion.state);
        if (event.xmotion.state & Button1Mask)
            buttons |= kLButton;
        if (event.xmotion.state & Button2Mask)
            buttons |= kMButton;
        if (event.xmotion.state & Button3Mask)
            buttons |= kRButton;
        CPoint where = framePoint(event.xmotion.x, event.xmotion.y);
        frame.onMouseMoved(where, buttons);
        break;
    }
    case KeyPress: {
        VstKeyCode key = TranslateKey(event.xkey);
        frame.onKeyDown(key);
        break;
    }
    case KeyRelease: {
        VstKeyCode key = TranslateKey(event.xkey);
        frame.onKeyUp(key);
        break;
    }
    case ClientMessage:
        if (static_cast<unsigned long>(event.xclient.data.l[0]) == deleteAtom)
            closeRequested = true;
        break;
    default:
        break;
    }
}

void X11FrameWindow::menuOpened()
{
    XGrabPointer(display, window, False, kPointerGrabMask, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime);
}

void X11FrameWindow::menuClosed()
{
    destroyMenuWindows();
    XUngrabKeyboard(display, CurrentTime);
    XUngrabPointer(display, CurrentTime);
    XFlush(display);
}

void X11FrameWindow::destroyMenuWindows()
{
    for (MenuWindow& menu : menuWindows) {
        XDestroyWindow(display, menu.window);
    }
    menuWindows.clear();
}

void X11FrameWindow::updateMenuWindows()
{
    CMenuPopup* popup = frame.getOpenMenu();
    if (!popup) {
        destroyMenuWindows();
        return;
    }
    const size_t levels = popup->getLevelCount();
    while (menuWindows.size() > levels ||
           (!menuWindows.empty() && menuWindows.back().rect != popup->getLevelRect(menuWindows.size() - 1))) {
        XDestroyWindow(display, menuWindows.back().window);
        menuWindows.pop_back();
    }
    const CPoint origin = frameOriginOnScreen();
    const double zoom = frame.getZoom();
    for (size_t level = menuWindows.size(); level < levels; ++level) {
        const CRect& rect = popup->getLevelRect(level);
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.save_under = True;
        attributes.event_mask = ExposureMask;
        const auto width = static_cast<int>(std::ceil(rect.width() * zoom));
        const auto height = static_cast<int>(std::ceil(rect.height() * zoom));
        const Window menuWindow = XCreateWindow(
            display, DefaultRootWindow(display), static_cast<int>(origin.x + rect.left * zoom),
            static_cast<int>(origin.y + rect.top * zoom), static_cast<unsigned>(width), static_cast<unsigned>(height),
            0, CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWSaveUnder | CWEventMask,
            &attributes);
        menuWindows.push_back({menuWindow, rect});
        XMapRaised(display, menuWindow);
    }
    for (size_t level = 0; level < levels; ++level)
        paintMenuLevel(level);
    XFlush(display);
}

void X11FrameWindow::paintMenuLevel(size_t level)
{
    CMenuPopup* popup = frame.getOpenMenu();
    if (!popup || level >= popup->getLevelCount() || level >= menuWindows.size())
        return;
    const CRect& rect = popup->getLevelRect(level);
    COffscreenContext pixels(rect.width(), rect.height(), kTransparentCColor, frame.getZoom());
    popup->drawLevel(&pixels, level);
    cairo_surface_t* image = pixels.getSurface();
    PutPixels(display, menuWindows[level].window, image, 0, 0, cairo_image_surface_get_width(image),
              cairo_image_surface_get_height(image));
}

} // namespace VSTGUI
