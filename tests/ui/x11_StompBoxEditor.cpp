// A pedal's editor in real X11 windows over a real effect instance, played
// through XTest the way a user would: in a host's window and in one of its
// own, opened and closed many times.
#include "core/CORVEffectProcessRTAS.h"
#include "tests/TestSupport.h"
#include "ui/controls/CORVOptionMenu.h"
#include "ui/editor/CORVEffectCustomUI.h"
#include "ui/editor/EditorTags.h"

#include <gtest/gtest.h>
// After the test framework: Xlib's macros (None, Bool) clash with its names.
#include "tests/ui/X11TestUser.h"

using namespace ui_test;

namespace {

constexpr int32_t kOverdrive = 110;

std::unique_ptr<CORVEffectProcessRTAS> MakeInstance()
{
    RegisterStompBoxEditor();
    SProcessContext context;
    context.sampleRate = 48000.0;
    context.numChannels = 2;
    auto instance = std::make_unique<CORVEffectProcessRTAS>(kOverdrive, context);
    instance->Initialize();
    return instance;
}

CPoint Centre(const CControl& control)
{
    const CRect& r = control.getViewSize();
    return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

} // namespace

TEST(X11StompBox, FootSwitchKnobAndPresetMenuPlayedWithThePointer)
{
    testing_support::ScopedDocumentsFolder documents;
    User user;
    ASSERT_TRUE(user.ready()) << "needs an X server with XTest (run under xvfb-run)";
    auto instance = MakeInstance();
    auto* view = dynamic_cast<CORVEffectCustomUI*>(instance->CreateView());
    ASSERT_TRUE(view->OpenWindow(CFrame::kTopLevelWindow));
    CFrame& frame = *view->Editor().getFrame();
    CORVStompBoxCtrlBaseSet& set = *view->Editor().controlSet();
    frame.idle();
    user.aimAt(frame.getSystemWindow());

    user.click(Centre(*set.control(tags::kFootSwitch)));
    EXPECT_TRUE(WaitFor(frame, [&] { return instance->GetAlgorithm()->bypassed; }));
    EXPECT_TRUE(WaitFor(frame, [&] { return std::string(set.displayText()) == "Effect Off"; })) << set.displayText();

    view->Editor().setKnobMode(kLinearMode);
    const float before = instance->GetParameterValue(2);
    const CPoint knob = Centre(*set.control(2));
    user.moveTo(knob);
    user.button(true);
    EXPECT_TRUE(WaitFor(frame, [&] { return set.control(2)->isEditing(); }));
    user.moveTo(CPoint(knob.x, knob.y - 30));
    EXPECT_TRUE(WaitFor(frame, [&] { return instance->GetParameterValue(2) > before + 0.05f; }));
    user.button(false);
    view->Editor().setKnobMode(kCircularMode);
    EXPECT_TRUE(WaitFor(frame, [&] {
        return std::string(set.displayText()) == instance->GetAlgorithm()->GetParameter(2)->GetText(true, true).str();
    })) << set.displayText();

    auto& presets = dynamic_cast<CORVOptionMenu&>(*set.control(tags::kPresetMenu));
    user.click(Centre(presets));
    ASSERT_TRUE(WaitFor(frame, [&] { return frame.getOpenMenu() != nullptr; }));
    user.moveTo(frame.getOpenMenu()->getEntryCenter(0, 1));
    ASSERT_TRUE(WaitFor(frame, [&] { return frame.getOpenMenu()->getHighlighted(0) == 1; }));
    user.button(true);
    user.button(false);
    const CORVDSPPreset& chosen = *instance->GetAlgorithm()->presets.at(1);
    EXPECT_TRUE(WaitFor(frame, [&] { return instance->GetAlgorithm()->currentPreset == &chosen; }));
    for (const auto& [index, parameter] : instance->GetAlgorithm()->parameters)
        EXPECT_EQ(parameter->value, chosen.values[size_t(index - 2)]) << index;
    EXPECT_EQ(std::string(set.displayText()), "Preset: " + chosen.name);
    view->CloseWindow();
}

TEST(X11StompBox, InAHostsWindowCentredAndOpenedAndClosedTwoHundredTimes)
{
    testing_support::ScopedDocumentsFolder documents;
    User user;
    ASSERT_TRUE(user.ready()) << "needs an X server with XTest (run under xvfb-run)";
    auto instance = MakeInstance();
    auto* view = dynamic_cast<CORVEffectCustomUI*>(instance->CreateView());

    // A host's window wider than the pedal: the pedal sits in the middle.
    const Window host = XCreateSimpleWindow(user.display, DefaultRootWindow(user.display), 0, 0, 400, 360, 0, 0, 0);
    XMapWindow(user.display, host);
    XSync(user.display, False);
    ASSERT_TRUE(view->OpenWindow(reinterpret_cast<void*>(uintptr_t(host))));
    EXPECT_TRUE(view->IsWindowOpen());
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(user.display, host, &root, &parent, &children, &count);
    ASSERT_EQ(count, 1u);
    XWindowAttributes placed{};
    XGetWindowAttributes(user.display, children[0], &placed);
    XFree(children);
    EXPECT_EQ(placed.x, (400 - 185) / 2);
    EXPECT_EQ(placed.width, 185);
    EXPECT_EQ(placed.height, 320);
    view->CloseWindow();
    XQueryTree(user.display, host, &root, &parent, &children, &count);
    EXPECT_EQ(count, 0u) << "closing takes the window away";
    if (children)
        XFree(children);
    XDestroyWindow(user.display, host);

    for (int cycle = 0; cycle < 200; ++cycle) {
        ASSERT_TRUE(view->OpenWindow(CFrame::kTopLevelWindow)) << cycle;
        view->Idle();
        view->CloseWindow();
        ASSERT_FALSE(view->IsWindowOpen());
    }
}
