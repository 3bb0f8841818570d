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
    void move(CPoint where, int32_t buttons = kLButton) { frame.onMouseMoved(where, buttons); }
};

} // namespace

TEST(CKnobEX, ControlDragIsSlowerByTheZoomFactorWithoutJumps)
{
    KnobBench bench(kLinearMode);
    CKnobEX& knob = *bench.knob;
    knob.setZoomFactor(4.0f);
    knob.setValue(0.0f);
    CPoint press(60, 60);
    bench.frame.onMouseDown(press, kLButton);
    bench.move(CPoint(60, 10));
    EXPECT_FLOAT_EQ(bench.recorder.last(), 0.25f) << "200 pixels for the whole range";
    // The move on which control goes down still lands where the normal
    // speed puts it; from there on 800 pixels make the range.
    bench.move(CPoint(110, 10), kLButton | kControl);
    EXPECT_NEAR(knob.getValue(), 0.5f, 1e-6);
    bench.move(CPoint(190, 10), kLButton | kControl);
    EXPECT_NEAR(knob.getValue(), 0.6f, 1e-6);
    // Releasing control is the same: one pixel more at the fine speed, then
    // normal speed from there.
    bench.move(CPoint(191, 10));
    EXPECT_NEAR(knob.getValue(), 0.6f + 1.0f / 800.0f, 1e-6);
    bench.move(CPoint(191, -9));
    EXPECT_NEAR(knob.getValue(), 0.6f + 1.0f / 800.0f + 0.095f, 1e-6);
    bench.move(CPoint(190, -500));
    EXPECT_FLOAT_EQ(knob.getValue(), 1.0f);
    bench.frame.onMouseUp(press, kLButton);
    EXPECT_EQ(bench.recorder.editorBegins, std::vector<int32_t>{5});
    EXPECT_EQ(bench.recorder.editorEnds, std::vector<int32_t>{5});
}

TEST(CKnobEX, CircularDragPastAnEndStopStaysThere)
{
    KnobBench bench(kCircularMode);
    CKnobEX& knob = *bench.knob;
    // Twelve o'clock is the middle of the travel; from the right (near the
    // maximum at five o'clock) across the gap at six to the left.
    CPoint press(78, 62);
    bench.frame.onMouseDown(press, kLButton);
    EXPECT_GT(knob.getValue(), 0.8f);
    bench.move(CPoint(66, 79));
    EXPECT_FLOAT_EQ(knob.getValue(), 1.0f) << "in the gap: the nearer stop";
    bench.move(CPoint(52, 78));
    EXPECT_FLOAT_EQ(knob.getValue(), 1.0f) << "across the gap: stays at the maximum";
    bench.move(CPoint(42, 62));
    EXPECT_FLOAT_EQ(knob.getValue(), 1.0f);
    bench.move(CPoint(62, 41));
    const double travelDegrees = 225.0 - std::atan2(19.0, 2.0) * 180.0 / std::numbers::pi;
    EXPECT_NEAR(knob.getValue(), travelDegrees / 270.0, 1e-4) << "back within half the range it follows again";
    bench.frame.onMouseUp(press, kLButton);
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
    EXPECT_TRUE(SameColour(bench.frame.getPixel(20, 100), kHandle));
    EXPECT_TRUE(SameColour(bench.frame.getPixel(20, 80), kBody));
    CPoint press(20, 100);
    bench.frame.onMouseDown(press, kLButton);
    EXPECT_FLOAT_EQ(slider->getValue(), -12.0f) << "taken by the handle, which stays under the mouse";
    // Control held from y = 60: half the travel moves a tenth as far; let
    // go, the handle follows the mouse again.
    for (const auto& [y, buttons, value] : {std::tuple<int, int32_t, float>{60, kLButton, 0.0f},
                                            {60, kLButton | kControl, 0.0f},
                                            {20, kLButton | kControl, 0.05f * 24.0f},
                                            {20, kLButton, 12.0f}}) {
        CPoint where(20, y);
        bench.frame.onMouseMoved(where, buttons);
        EXPECT_NEAR(slider->getValue(), value, 1e-5) << y << " " << buttons;
    }
    bench.frame.onMouseUp(press, kLButton);
    EXPECT_FLOAT_EQ(bench.recorder.last(), 12.0f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(20, 20), kHandle));

    // Reversed, the horizontal one runs from right to left.
    across->setValue(0.0f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(100, 160), kHandle)) << "the minimum is at the right";
    Drag(bench.frame, CPoint(30, 160), CPoint(30, 160));
    EXPECT_FLOAT_EQ(across->getValue(), 0.875f) << "a free click centres the handle on the mouse";
    Drag(bench.frame, CPoint(30, 160), CPoint(60, 160));
    EXPECT_FLOAT_EQ(across->getValue(), 0.5f);
    Drag(bench.frame, CPoint(60, 160), CPoint(200, 160));
    EXPECT_FLOAT_EQ(across->getValue(), 0.0f) << "limited to the range";
}

// B, either case, puts every panel knob and slider back to its default as
// one edit gesture; no other key, arrows included, changes anything.
TEST(PanelControls, TheBKeyRestoresTheDefaultAsOneEditGesture)
{
    CBitmap* strip = Strip(20, 20, {kBody, kHandle, kBody});
    for (int kind = 0; kind < 4; ++kind) {
        Bench bench;
        const CRect r(10, 10, 30, 30);
        CControl* control = nullptr;
        switch (kind) {
        case 0: control = new CKnobEX(r, &bench.recorder, 9, strip, nullptr); break;
        case 1: control = new CAnimKnobEX(r, &bench.recorder, 9, strip); break;
        case 2: control = new CVerticalSliderEX(r, &bench.recorder, 9, 10, 30, nullptr, strip); break;
        default: control = new CHorizontalSliderEX(r, &bench.recorder, 9, 10, 30, nullptr, strip);
        }
        bench.add(control);
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
            if (kind == 1) {
                EXPECT_TRUE(SameColour(bench.frame.getPixel(20, 20), kHandle)) << "the middle frame";
            }
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
