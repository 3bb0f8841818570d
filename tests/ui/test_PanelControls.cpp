// The panels' own knobs and sliders: the drag rules of the layer's knob and
// slider driven through them, the handle drawn on the knob's body, and the
// B-key reset they share.
#include "tests/ui/UiTestSupport.h"
#include "ui/controls/CKnobEX.h"
#include "ui/controls/CSliderEX.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace ui_test;

namespace {

constexpr CColor kBody{40, 40, 40, 255};
constexpr CColor kHandle{250, 200, 0, 255};

struct KnobBench : Bench {
    CKnobEX* knob;
    explicit KnobBench(int32_t mode)
    {
        recorder.knobMode = mode;
        CBitmap* body = Strip(40, 40, {kBody});
        CBitmap* handle = Strip(10, 10, {kHandle});
        knob = add(new CKnobEX(CRect(40, 40, 80, 80), &recorder, 5, body, handle));
        body->forget();
        handle->forget();
    }
};

} // namespace

// 200 pixels up or to the right make the range.  The move on which control
// goes down still lands where the normal speed puts it; from there on, at a
// zoom factor of 4, 800 pixels make the range.  Releasing control is the
// same the other way round.
TEST(CKnobEX, ControlDragIsSlowerByTheZoomFactorWithoutJumps)
{
    KnobBench bench(kLinearMode);
    bench.knob->setZoomFactor(4.0f);
    bench.knob->setValue(0.0f);
    constexpr float kFine = 1.0f / 800.0f;
    Stroke(bench.frame, *bench.knob, CPoint(60, 60),
           {{{60, 10}, kLButton, 0.25f}, {{110, 10}, kLButton | kControl, 0.5f},
            {{190, 10}, kLButton | kControl, 0.6f}, {{191, 10}, kLButton, 0.6f + kFine},
            {{191, -9}, kLButton, 0.6f + kFine + 0.095f}, {{190, -500}, kLButton, 1.0f}});
    EXPECT_EQ(bench.recorder.editorBegins, std::vector<int32_t>{5});
    EXPECT_EQ(bench.recorder.editorEnds, std::vector<int32_t>{5});
}

// Twelve o'clock is the middle of the travel.  Pressed on the right near the
// maximum at five o'clock, then across the gap at six to the left, the knob
// stays at the maximum; back within half the range it follows again.
TEST(CKnobEX, CircularDragPastAnEndStopStaysThere)
{
    KnobBench bench(kCircularMode);
    const float back = float((225.0 - std::atan2(19.0, 2.0) * 180.0 / std::numbers::pi) / 270.0);
    Stroke(bench.frame, *bench.knob, CPoint(78, 62),
           {{{66, 79}, kLButton, 1.0f}, {{52, 78}, kLButton, 1.0f}, {{42, 62}, kLButton, 1.0f},
            {{62, 41}, kLButton, back}},
           1e-4f);
}

TEST(CKnobEX, DrawsTheHandleInsideTheBodyAtTheValuesAngle)
{
    KnobBench bench(kCircularMode);
    // Handle centre on a circle of radius (40 - 10) / 2 = 15 around (60, 60).
    bench.knob->setValue(0.5f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(60, 47), kHandle));
    EXPECT_TRUE(SameColour(bench.frame.getPixel(60, 60), kBody));
    bench.knob->setValue(1.0f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(60, 47), kBody));
    EXPECT_TRUE(SameColour(bench.frame.getPixel(71, 71), kHandle)) << "five o'clock";
    EXPECT_TRUE(SameColour(bench.frame.getPixel(49, 71), kBody));
}

// Control held from y = 60, half the travel moves a tenth as far; let go,
// the handle follows the mouse again.  Reversed, the horizontal slider runs
// from right to left, and a free click centres the handle on the mouse.
TEST(CSliderEX, FineModeSlowsFromWhereTheControlKeyWentDownAndReversedRunsFromTheRight)
{
    Bench bench;
    CBitmap* track = Strip(100, 100, {kBody});
    CBitmap* handle = Strip(20, 20, {kHandle});
    // 80 pixels of travel from the bottom up; the handle is 20 high.
    auto* slider = bench.add(new CVerticalSliderEX(CRect(10, 10, 30, 110), &bench.recorder, 3, 10, 90, handle, track));
    auto* across = bench.add(new CHorizontalSliderEX(CRect(10, 150, 110, 170), &bench.recorder, 4, 10, 90, handle,
                                                     track, CPoint(), kRight));
    track->forget();
    handle->forget();
    slider->setMin(-12.0f);
    slider->setMax(12.0f);
    slider->setValue(-12.0f);
    across->setValue(0.0f);
    for (const auto& [x, y, colour] : {std::tuple{20, 100, kHandle}, {20, 80, kBody}, {100, 160, kHandle}})
        EXPECT_TRUE(SameColour(bench.frame.getPixel(x, y), colour)) << x << "," << y;
    Stroke(bench.frame, *slider, CPoint(20, 100),
           {{{20, 100}, kLButton, -12.0f}, {{20, 60}, kLButton, 0.0f}, {{20, 60}, kLButton | kControl, 0.0f},
            {{20, 20}, kLButton | kControl, 0.05f * 24.0f}, {{20, 20}, kLButton, 12.0f}},
           1e-5f);
    EXPECT_FLOAT_EQ(bench.recorder.last(), 12.0f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(20, 20), kHandle));
    Stroke(bench.frame, *across, CPoint(30, 160),
           {{{30, 160}, kLButton, 0.875f}, {{60, 160}, kLButton, 0.5f}, {{200, 160}, kLButton, 0.0f}});
}

// B, either case, puts every panel knob and slider back to its default as
// one edit gesture; no other key, arrows included, changes anything.
TEST(PanelControls, TheBKeyRestoresTheDefaultAsOneEditGesture)
{
    CBitmap* strip = Strip(20, 20, {kBody, kHandle, kBody});
    for (int kind = 0; kind < 4; ++kind) {
        Bench bench;
        const CRect r(10, 10, 30, 30);
        Recorder* listener = &bench.recorder;
        CControl* control = bench.add(
            kind == 0   ? static_cast<CControl*>(new CKnobEX(r, listener, 9, strip, nullptr))
            : kind == 1 ? static_cast<CControl*>(new CAnimKnobEX(r, listener, 9, strip))
            : kind == 2 ? static_cast<CControl*>(new CVerticalSliderEX(r, listener, 9, 10, 30, nullptr, strip))
                        : static_cast<CControl*>(new CHorizontalSliderEX(r, listener, 9, 10, 30, nullptr, strip)));
        control->setDefaultValue(0.5f);
        control->setValue(1.0f);
        CPoint hover(20, 20);
        bench.frame.onMouseMoved(hover, 0);
        for (const auto& [virt, character] : {std::pair<uint8_t, int32_t>{VKEY_UP, 0}, {VKEY_DOWN, 0}, {0, 'a'}})
            EXPECT_EQ(PressKey(bench.frame, virt, character), -1) << kind << " " << character;
        EXPECT_FLOAT_EQ(control->getValue(), 1.0f) << kind;
        EXPECT_TRUE(bench.recorder.changes.empty()) << kind;
        for (const int32_t key : {'B', 'b'}) {
            EXPECT_EQ(PressKey(bench.frame, 0, key), 1) << kind;
            EXPECT_FLOAT_EQ(control->getValue(), 0.5f) << kind;
            EXPECT_FLOAT_EQ(bench.recorder.last(), 0.5f) << kind;
            bench.recorder.changes.clear();
            control->setValue(0.9f); // from the host, shown at the next idle
            bench.frame.idle();
        }
        EXPECT_EQ(bench.recorder.editorBegins, (std::vector<int32_t>{9, 9})) << kind;
        EXPECT_EQ(bench.recorder.editorEnds, (std::vector<int32_t>{9, 9})) << kind;
        EXPECT_EQ(bench.recorder.listenerEnds, 2) << kind;
    }
    strip->forget();
}
