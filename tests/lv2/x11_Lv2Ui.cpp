// The built plug-in and its UI loaded together the way a host loads them:
// the plug-in through lilv, the UI through suil into a window of the host's,
// joined only by what the host carries between them (port values both ways,
// atom messages from the UI).  The pedal is played through XTest.  Runs
// under xvfb-run.
#include "core/CORVEffectCatalogue.h"
#include "core/CORVEffectProcessRTAS.h"
#include "lv2/PresetMessage.h"
#include "tests/TestSupport.h"
#include "tests/lv2/Lv2TestHost.h"
#include "ui/editor/AnchorTable.h"
#include "ui/editor/CORVEffectCustomUI.h"
#include "ui/vstgui/CDrawContext.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/ui/ui.h>
#include <suil/suil.h>

#include <cmath>
#include <map>
// After the test framework: Xlib's macros (None, Bool) clash with its names.
#include "tests/ui/X11TestUser.h"

using namespace ui_test;

namespace {

const std::string kUriBase = "https://orvanta.audio/lv2/stompset/";

lv2test::World& TheWorld()
{
    static lv2test::World world(ORV_LV2_BUNDLE_DIR);
    return world;
}

// The UI's binary stays loaded for the whole run, however often suil loads
// and unloads it, so that a leak checker can still name what it finds; at
// the end the font caches it filled are let go.
class LoadedUi : public testing::Environment {
public:
    void SetUp() override
    {
        LilvUIs* uis = lilv_plugin_get_uis(TheWorld().Plugin(kUriBase + "OD"));
        char* binary = lilv_file_uri_parse(
            lilv_node_as_uri(lilv_ui_get_binary_uri(lilv_uis_get(uis, lilv_uis_begin(uis)))), nullptr);
        library = dlopen(binary, RTLD_NOW | RTLD_LOCAL);
        lilv_free(binary);
        lilv_uis_free(uis);
    }
    void TearDown() override { VSTGUI::ReleaseFontCaches(); }

private:
    void* library = nullptr;
};
[[maybe_unused]] testing::Environment* const loadedUi = testing::AddGlobalTestEnvironment(new LoadedUi);

// The middle of a control of the given size at an anchor of the layout.
CPoint At(int32_t anchorKey, int width, int height)
{
    const AnchorRow* anchor = FindAnchor(anchorKey);
    return CPoint(anchor->left + width / 2, anchor->top + height / 2);
}

// The foot switch, the preset menu and the overdrive's drive knob.
const CPoint kFootSwitch = At(0, 161, 38);
const CPoint kPresetMenu = At(17, 53, 15);
const CPoint kDriveKnob = At(9, 63, 63);

// One UI in a window of the host's, for a plug-in the host runs.
class Host {
public:
    using Channels = lilvhost::Instance::Channels;

    // Without the host's window (embedded false) the pedal opens its own; a
    // scale factor, when given, goes to it as the host's option.
    Host(const std::string& uri, lv2test::Instance& runningPlugin, bool embedded = true, float scaleFactor = 0.0f)
        : plugin(runningPlugin), scale(scaleFactor)
    {
        display = XOpenDisplay(nullptr);
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 300, 400, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
        for (const lilvhost::ControlPort& port : plugin.Controls())
            symbols[port.index] = port.symbol;
        eventTransfer = TheWorld().urids.Map(LV2_ATOM__eventTransfer);
        suilHost = suil_host_new(Write, nullptr, nullptr, nullptr);
        LilvUIs* uis = lilv_plugin_get_uis(TheWorld().Plugin(uri));
        const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
        char* bundle = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(ui)), nullptr);
        char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
        const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(uintptr_t(window))};
        const LV2_Feature mapFeature{LV2_URID__map, TheWorld().urids.MapFeature()};
        const LV2_Options_Option options[] = {
            lilvhost::Option(TheWorld().urids, LV2_UI__scaleFactor, LV2_ATOM__Float, &scale), lilvhost::kEndOfOptions};
        const LV2_Feature optionsFeature{LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
        std::vector<const LV2_Feature*> features{&mapFeature};
        if (embedded)
            features.push_back(&parentFeature);
        if (scale > 0.0f)
            features.push_back(&optionsFeature);
        features.push_back(nullptr);
        instance = suil_instance_new(suilHost, this, LV2_UI__X11UI, uri.c_str(),
                                     lilv_node_as_uri(lilv_ui_get_uri(ui)), LV2_UI__X11UI, bundle, binary, features.data());
        lilv_free(bundle);
        lilv_free(binary);
        lilv_uis_free(uis);
        if (instance) {
            idle = static_cast<const LV2UI_Idle_Interface*>(suil_instance_extension_data(instance, LV2_UI__idleInterface));
            widget = static_cast<Window>(reinterpret_cast<uintptr_t>(suil_instance_get_widget(instance)));
        }
    }
    ~Host()
    {
        if (instance)
            suil_instance_free(instance);
        suil_host_free(suilHost);
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }

    // One host cycle: a block of audio, the output ports to the UI, the
    // UI's idle.
    void Cycle(const Channels& in = Channels(2, std::vector<float>(480)))
    {
        last = plugin.Process(in, 480);
        for (const lilvhost::ControlPort& port : plugin.Controls()) {
            if (port.input)
                continue;
            const float value = plugin.GetControl(port.symbol);
            suil_instance_port_event(instance, port.index, sizeof value, 0, &value);
        }
        if (idle)
            idle->idle(suil_instance_get_handle(instance));
    }
    // Cycles until the condition holds or two seconds have passed.
    bool CycleUntil(const std::function<bool()>& condition)
    {
        for (int i = 0; i < 200; ++i) {
            Cycle();
            if (condition())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    // A fifth of a second of host cycles, for the X server and the pedal to
    // catch up with the user.
    void Settle()
    {
        for (int i = 0; i < 20; ++i) {
            Cycle();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    // Every port the host holds for the plug-in, told to the UI as a host
    // does when it shows a UI.
    void SendAllPorts()
    {
        for (const lilvhost::ControlPort& port : plugin.Controls()) {
            const float value = plugin.GetControl(port.symbol);
            suil_instance_port_event(instance, port.index, sizeof value, 0, &value);
        }
    }

    lv2test::Instance& plugin;
    float scale;
    Display* display;
    Window window;
    Window widget = 0;
    SuilHost* suilHost;
    SuilInstance* instance = nullptr;
    const LV2UI_Idle_Interface* idle = nullptr;
    std::map<uint32_t, std::string> symbols;
    LV2_URID eventTransfer;
    std::vector<std::pair<std::string, float>> portWrites;
    std::vector<std::vector<uint8_t>> messages;
    Channels last;

private:
    static void Write(SuilController controller, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer)
    {
        auto* host = static_cast<Host*>(controller);
        if (protocol == 0 && size == sizeof(float)) {
            float value = 0.0f;
            std::memcpy(&value, buffer, sizeof value);
            host->portWrites.emplace_back(host->symbols[port], value);
            host->plugin.SetControl(host->symbols[port], value);
        } else if (protocol == host->eventTransfer) {
            const auto* bytes = static_cast<const uint8_t*>(buffer);
            host->messages.emplace_back(bytes, bytes + size);
            host->plugin.SendEvent(host->messages.back());
        }
    }
};

} // namespace

TEST(Lv2Ui, PedalPlayedInAHostsWindowDrivesThePlugin)
{
    testing_support::ScopedDocumentsFolder documents;
    User user;
    ASSERT_TRUE(user.ready()) << "needs an X server with XTest (run under xvfb-run)";
    lv2test::Instance plugin(TheWorld(), TheWorld().Plugin(kUriBase + "OD"), 48000.0);
    Host host(kUriBase + "OD", plugin);
    ASSERT_NE(host.instance, nullptr);
    ASSERT_NE(host.idle, nullptr);
    XWindowAttributes placed{};
    XGetWindowAttributes(host.display, host.widget, &placed);
    EXPECT_EQ(placed.width, 185);
    EXPECT_EQ(placed.height, 320);
    host.SendAllPorts();
    host.Cycle();
    user.aimAt(host.widget);

    // The foot switch: the host's enable port goes off and the plug-in
    // passes its input through.
    user.click(kFootSwitch);
    ASSERT_TRUE(host.CycleUntil([&] { return host.plugin.GetControl("enabled") == 0.0f; }));
    Host::Channels in(2, std::vector<float>(480));
    for (size_t i = 0; i < in[0].size(); ++i)
        in[0][i] = in[1][i] = 0.3f * float(std::sin(0.02 * double(i)));
    host.Cycle(in);
    host.Cycle(in);
    EXPECT_EQ(host.last, in);

    // A drag of the drive knob moves its port.
    const float drive = host.plugin.GetControl("drive");
    user.moveTo(kDriveKnob);
    user.button(true);
    host.Cycle();
    user.moveTo(CPoint(kDriveKnob.x + 30, kDriveKnob.y - 30));
    host.Cycle();
    user.button(false);
    EXPECT_TRUE(host.CycleUntil([&] { return host.plugin.GetControl("drive") != drive; }));

    // A preset from the menu: one message to the plug-in and every port.
    const auto algorithm = CreateAlgorithm(110, 48000.0, 256);
    user.click(kPresetMenu);
    host.Settle();
    user.key(XK_Down);
    user.key(XK_Down);
    user.key(XK_Return);
    ASSERT_TRUE(host.CycleUntil([&] { return !host.messages.empty(); }));
    const lv2::PresetMessageUris uris = lv2::PresetMessageUris::Map(*TheWorld().urids.MapFeature());
    const auto message =
        lv2::ReadPresetMessage(uris, *reinterpret_cast<const LV2_Atom*>(host.messages.back().data()));
    ASSERT_TRUE(message);
    const CORVDSPPreset* chosen = nullptr;
    for (const auto& [index, preset] : algorithm->presets)
        if (preset->name == message->name && index > 0)
            chosen = preset.get();
    ASSERT_NE(chosen, nullptr) << message->name;
    EXPECT_EQ(std::vector<float>(message->values, message->values + message->count), chosen->values);
    const auto parameters = host.plugin.Parameters();
    for (size_t i = 0; i < parameters.size(); ++i)
        EXPECT_EQ(host.plugin.GetControl(parameters[i].symbol), chosen->values[i]) << parameters[i].symbol;
}

TEST(Lv2Ui, TwoHundredOpeningsWhileThePluginRuns)
{
    testing_support::ScopedDocumentsFolder documents;
    User user;
    ASSERT_TRUE(user.ready()) << "needs an X server with XTest (run under xvfb-run)";
    lv2test::Instance plugin(TheWorld(), TheWorld().Plugin(kUriBase + "CH"), 48000.0);
    for (int cycle = 0; cycle < 200; ++cycle) {
        Host host(kUriBase + "CH", plugin);
        ASSERT_NE(host.instance, nullptr) << cycle;
        host.SendAllPorts();
        host.Cycle();
    }
    EXPECT_EQ(plugin.runAllocations, 0u);
}

namespace {

// The pixels of an area of a UI's window, to tell whether it changed.
std::vector<unsigned long> Pixels(Display* display, Window window, int32_t anchorKey, int width, int height)
{
    const AnchorRow& at = *FindAnchor(anchorKey);
    XImage* image = XGetImage(display, window, at.left, at.top, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    std::vector<unsigned long> pixels;
    for (int y = 0; image && y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(XGetPixel(image, x, y));
    if (image)
        XDestroyImage(image);
    return pixels;
}

Host::Channels Sine(double frequency, float amplitude)
{
    Host::Channels in(2, std::vector<float>(480));
    static size_t t = 0;
    for (size_t i = 0; i < in[0].size(); ++i, ++t)
        in[0][i] = in[1][i] = amplitude * float(std::sin(2.0 * M_PI * frequency * double(t) / 48000.0));
    return in;
}

} // namespace

// A preset saved as new in one pedal is in the user file and, a moment
// later, in the menu of another pedal of the same effect, which applies it.
TEST(Lv2Ui, SaveAsReachesTheFileAndAnotherPedalsMenu)
{
    testing_support::ScopedDocumentsFolder documents;
    User user;
    ASSERT_TRUE(user.ready()) << "needs an X server with XTest (run under xvfb-run)";
    lv2test::Instance first(TheWorld(), TheWorld().Plugin(kUriBase + "OD"), 48000.0);
    lv2test::Instance second(TheWorld(), TheWorld().Plugin(kUriBase + "OD"), 48000.0);
    Host saving(kUriBase + "OD", first);
    Host other(kUriBase + "OD", second);
    ASSERT_TRUE(saving.instance && other.instance);
    saving.SendAllPorts();
    other.SendAllPorts();
    user.aimAt(saving.widget);
    user.click(At(18, 53, 15));
    saving.Settle();
    for (const KeySym key : {XK_Down, XK_Down, XK_Return})
        user.key(key);
    saving.Settle();
    for (const KeySym key : {XK_m, XK_y, XK_l, XK_e, XK_a, XK_d, XK_Return})
        user.key(key);
    ASSERT_TRUE(saving.CycleUntil([&] {
        return testing_support::ReadFile(documents.PresetFilePath()).find("mylead") != std::string::npos;
    }));

    user.aimAt(other.widget);
    // The other pedal looks at the file once a second.
    for (int i = 0; i < 120; ++i) {
        other.Cycle();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    user.click(kPresetMenu);
    other.Settle();
    // From the current entry ("Default", the first) up round to the last.
    user.key(XK_Up);
    user.key(XK_Return);
    ASSERT_TRUE(other.CycleUntil([&] { return !other.messages.empty(); }));
    const lv2::PresetMessageUris uris = lv2::PresetMessageUris::Map(*TheWorld().urids.MapFeature());
    const auto message = lv2::ReadPresetMessage(uris, *reinterpret_cast<const LV2_Atom*>(other.messages.back().data()));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->name, "mylead");
}

// What the plug-in hears reaches the pedal through its output ports: the
// level control's meters and the tuner's note show in the host exactly as
// on the pedal over an instance in this process that heard the same.
TEST(Lv2Ui, MetersAndTunerShowWhatThePluginHears)
{
    testing_support::ScopedDocumentsFolder documents;
    RegisterStompBoxEditor();
    constexpr int kBlocks = 200;
    for (const auto& [effect, id, anchor, width, height] :
         {std::tuple{"LC", 100, 33, 6, 81}, std::tuple{"AT", 10, 44, 48, 20}}) {
        SCOPED_TRACE(effect);
        std::vector<Host::Channels> blocks;
        for (int i = 0; i < kBlocks; ++i)
            blocks.push_back(Sine(220.0, 0.5f));

        lv2test::Instance plugin(TheWorld(), TheWorld().Plugin(kUriBase + effect), 48000.0);
        Host host(kUriBase + effect, plugin);
        ASSERT_NE(host.instance, nullptr);
        host.SendAllPorts();
        for (const Host::Channels& block : blocks)
            host.Cycle(block);
        // The pedal draws at its own pace: time for a few of its idles.
        for (int i = 0; i < 30; ++i) {
            host.idle->idle(suil_instance_get_handle(host.instance));
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        const auto shown = Pixels(host.display, host.widget, anchor, width, height);

        SProcessContext context;
        context.sampleRate = 48000.0;
        context.numChannels = 2;
        CORVEffectProcessRTAS instance(id, context);
        instance.Initialize();
        instance.Prepare(480);
        for (Host::Channels block : blocks) {
            float* channels[2] = {block[0].data(), block[1].data()};
            instance.Render(channels, channels, 480);
        }
        auto* view = dynamic_cast<CORVEffectCustomUI*>(instance.CreateView());
        ASSERT_TRUE(view && view->OpenWindow(nullptr));
        view->Idle();
        view->Idle();
        const AnchorRow& at = *FindAnchor(anchor);
        std::vector<unsigned long> expected;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const CColor c = view->Editor().getFrame()->getPixel(at.left + x, at.top + y);
                expected.push_back(uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | uint32_t(c.blue));
            }
        EXPECT_EQ(shown, expected);
        view->CloseWindow();
    }
}

// A host without a window to offer gets the pedal in a window of its own,
// at twice the size where the host's scale factor asks for it.
TEST(Lv2Ui, OwnWindowAndTheHostsScaleFactor)
{
    testing_support::ScopedDocumentsFolder documents;
    lv2test::Instance plugin(TheWorld(), TheWorld().Plugin(kUriBase + "OD"), 48000.0);
    for (const auto& [scale, width] : {std::pair{0.0f, 185}, std::pair{2.0f, 370}}) {
        Host host(kUriBase + "OD", plugin, false, scale);
        ASSERT_NE(host.instance, nullptr);
        host.Cycle();
        XWindowAttributes attributes{};
        ASSERT_TRUE(XGetWindowAttributes(host.display, host.widget, &attributes));
        EXPECT_EQ(attributes.width, width);
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        XQueryTree(host.display, host.widget, &root, &parent, &children, &count);
        if (children)
            XFree(children);
        EXPECT_EQ(parent, root) << "a window of its own";
    }
}
