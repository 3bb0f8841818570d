// A foreign host shows the pedals: jalv, on a JACK server of its own with a
// dummy driver, loads a stereo and a mono plug-in with their UIs under a
// virtual X server, and what its window shows of the pedal is the pedal as
// `stompset snapshot` draws it (the display aside, where each says what it
// was last told).
#include "cli/Snapshot.h"
#include "tests/PngBytes.h"
#include "tests/TestSupport.h"
#include "ui/editor/AnchorTable.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <thread>
// After the test framework: Xlib's macros (None, Bool) clash with its names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char** environ;

namespace {

constexpr int kWidth = 185;
constexpr int kHeight = 320;
// The parameter display's place on the pedal.
constexpr int32_t kDisplayAnchor = 11;

// A program started for the test and stopped with it.
class Process {
public:
    explicit Process(std::vector<std::string> arguments)
    {
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Process()
    {
        if (pid <= 0)
            return;
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
    }
    bool Started() const { return pid > 0; }

private:
    pid_t pid = -1;
};

bool WaitFor(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    for (; std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(std::chrono::milliseconds(50)))
        if (condition())
            return true;
    return false;
}

std::string NameOf(Display* display, Window window)
{
    char* name = nullptr;
    std::string text;
    if (XFetchName(display, window, &name) && name)
        text = name;
    if (name)
        XFree(name);
    return text;
}

// The deepest window of the pedal's size under a top-level window titled
// title: the pedal's own.
Window FindPedal(Display* display, Window window, const std::string& title, bool underTitle = false)
{
    underTitle = underTitle || NameOf(display, window) == title;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i)
            found = FindPedal(display, children[i], title, underTitle);
        if (children)
            XFree(children);
    }
    XWindowAttributes attributes{};
    if (!found && underTitle && XGetWindowAttributes(display, window, &attributes) &&
        attributes.width == kWidth && attributes.height == kHeight && attributes.map_state == IsViewable)
        found = window;
    return found;
}

struct Rgb {
    int r, g, b;
};

Rgb ScreenPixel(XImage* image, int x, int y)
{
    const unsigned long pixel = XGetPixel(image, x, y);
    return {int((pixel >> 16) & 0xff), int((pixel >> 8) & 0xff), int(pixel & 0xff)};
}

Rgb SnapshotPixel(cairo_surface_t* surface, int x, int y)
{
    const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    const uint32_t pixel = reinterpret_cast<const uint32_t*>(row)[x];
    return {int((pixel >> 16) & 0xff), int((pixel >> 8) & 0xff), int(pixel & 0xff)};
}

// How many pixels of the pedal outside its display differ noticeably.
int DifferentPixels(XImage* screen, const std::string& effect)
{
    SnapshotRequest request;
    request.pedals.push_back({effect, {}, {}, false});
    const std::string png = DrawSnapshot(request);
    cairo_surface_t* drawn = testing_support::DecodePng(png);
    const AnchorRow& display = *FindAnchor(kDisplayAnchor);
    int different = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            if (x >= display.left && x < display.right && y >= display.top && y < display.bottom)
                continue;
            const Rgb a = ScreenPixel(screen, x, y);
            const Rgb b = SnapshotPixel(drawn, x, y);
            different += std::abs(a.r - b.r) > 24 || std::abs(a.g - b.g) > 24 || std::abs(a.b - b.b) > 24;
        }
    cairo_surface_destroy(drawn);
    return different;
}

} // namespace

TEST(Jalv, ShowsTheStereoAndTheMonoPedalAsTheSnapshotDrawsThem)
{
    testing_support::ScopedDocumentsFolder documents;
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "needs an X server (run under xvfb-run)";
    // A server of the test's own, so that no other JACK user is disturbed.
    const std::string server = "orvanta-test-" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
    setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
    setenv("LV2_PATH", ORV_LV2_BUNDLE_PARENT, 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    Process jack({"jackd", "-n", server, "-d", "dummy", "-r", "48000", "-p", "256"});
    ASSERT_TRUE(jack.Started());
    const std::string waitForJack = "jack_wait -w -t 10 -s " + server + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(waitForJack.c_str()), 0) << "the JACK server did not start";
    const struct {
        const char* uri;
        const char* title;
        const char* effect;
    } pedals[] = {
        {"https://orvanta.audio/lv2/stompset/OD", "OD - Overdrive", "OD"},
        {"https://orvanta.audio/lv2/stompset/TR-mono", "TR - Tremolo (Mono)", "TR"},
    };
    for (const auto& pedal : pedals) {
        SCOPED_TRACE(pedal.title);
        Process jalv({"jalv.gtk3", pedal.uri});
        ASSERT_TRUE(jalv.Started());
        Window window = 0;
        ASSERT_TRUE(WaitFor([&] { return (window = FindPedal(display, DefaultRootWindow(display), pedal.title)) != 0; }))
            << "no pedal in a window titled " << pedal.title;
        // Let the pedal draw what the host told it.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        XImage* image = XGetImage(display, window, 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
        ASSERT_NE(image, nullptr);
        EXPECT_LT(DifferentPixels(image, pedal.effect), kWidth * kHeight / 100);
        XDestroyImage(image);
    }
    XCloseDisplay(display);
}
