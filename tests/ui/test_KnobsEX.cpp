#include "ui/controls/CKnobEX.h"

#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace ui_test;

namespace {

constexpr CColor kBody{40, 40, 40, 255};
constexpr CColor kHandle{250, 200, 0, 255};

CBitmap* Solid(int width, int height, const CColor& colour)
{
    const auto png = StripPng(width, height, {colour});
    return new CBitmap(std::span<const unsigned char>(png));
}

int32_t Key(CFrame& frame, int32_t character, uint8_t virt = 0)
{
    VstKeyCode key;
    key.character = character;
    key.virt = virt;
    return frame.onKeyDown(key);
}

struct KnobBench {
    Recorder recorder;
    CFrame frame{CRect(0, 0, 200, 200), nullptr, &recorder};
    CKnobEX* knob;
    explicit KnobBench(int32_t mode)
    {
        recorder.knobMode = mode;
        CBitmap* body = Solid(40, 40, kBody);
        CBitmap* handle = Solid(10, 10, kHandle);
        knob = new CKnobEX(CRect(40, 40, 80, 80), &recorder, 5, body, handle);
        body->forget();
        handle->forget();
        frame.addView(knob);
    }
    void move(CPoint where, int32_t buttons)
    {
        frame.onMouseMoved(where, buttons);
    }
};

} // namespace

TEST(CKnobEX, ControlDragIsSlowerByTheZoomFactorWithoutJumpsAndBRestoresTheDefault)
{
    KnobBench bench(kLinearMode);
    CKnobEX& knob = *bench.knob;
    knob.setZoomFactor(4.0f);
    knob.setValue(0.0f);
    knob.setDefaultValue(0.3f);
    CPoint press(60, 60);
    bench.frame.onMouseDown(press, kLButton);
    bench.move(CPoint(60, 10), kLButton);
    EXPECT_FLOAT_EQ(bench.recorder.last(), 0.25f) << "200 pixels for the whole range";
    // The move on which control goes down still lands where the normal
    // speed puts it; from there on 800 pixels make the range.
    bench.move(CPoint(110, 10), kLButton | kControl);
    EXPECT_NEAR(knob.getValue(), 0.5f, 1e-6);
    bench.move(CPoint(190, 10), kLButton | kControl);
    EXPECT_NEAR(knob.getValue(), 0.6f, 1e-6);
    // Releasing control is the same: one pixel more at the fine speed, then
    // normal speed from there.
    bench.move(CPoint(191, 10), kLButton);
    EXPECT_NEAR(knob.getValue(), 0.6f + 1.0f / 800.0f, 1e-6);
    bench.move(CPoint(191, -9), kLButton);
    EXPECT_NEAR(knob.getValue(), 0.6f + 1.0f / 800.0f + 0.095f, 1e-6);
    bench.move(CPoint(190, -500), kLButton);
    EXPECT_FLOAT_EQ(knob.getValue(), 1.0f);
    bench.frame.onMouseUp(press, kLButton);
    const size_t changes = bench.recorder.changes.size();

    EXPECT_EQ(Key(bench.frame, 'a'), -1);
    EXPECT_EQ(Key(bench.frame, 0, VKEY_UP), -1);
    EXPECT_FLOAT_EQ(knob.getValue(), 1.0f);
    EXPECT_EQ(bench.recorder.changes.size(), changes);
    EXPECT_EQ(Key(bench.frame, 'B'), 1);
    EXPECT_FLOAT_EQ(knob.getValue(), 0.3f);
    EXPECT_FLOAT_EQ(bench.recorder.last(), 0.3f);
    EXPECT_EQ(bench.recorder.editorBegins, (std::vector<int32_t>{5, 5}));
    EXPECT_EQ(bench.recorder.editorEnds, (std::vector<int32_t>{5, 5}));
    EXPECT_EQ(bench.recorder.listenerBegins, 2);
    EXPECT_EQ(bench.recorder.listenerEnds, 2);
    knob.setValue(0.9f);
    EXPECT_EQ(Key(bench.frame, 'b'), 1);
    EXPECT_FLOAT_EQ(knob.getValue(), 0.3f);
}

TEST(CKnobEX, CircularDragPastAnEndStopStaysThere)
{
    KnobBench bench(kCircularMode);
    CKnobEX& knob = *bench.knob;
    // Twelve o'clock is the middle of the travel; from the right (near the
    // maximum at five o'clock) across the gap at six to the left.
    CPoint press(78, 62);
    bench.frame.onMouseDown(press, kLButton);
    const float nearMax = knob.getValue();
    EXPECT_GT(nearMax, 0.8f);
    bench.move(CPoint(66, 79), kLButton);
    EXPECT_FLOAT_EQ(knob.getValue(), 1.0f) << "in the gap: the nearer stop";
    bench.move(CPoint(52, 78), kLButton);
    EXPECT_FLOAT_EQ(knob.getValue(), 1.0f) << "across the gap: stays at the maximum";
    bench.move(CPoint(42, 62), kLButton);
    EXPECT_FLOAT_EQ(knob.getValue(), 1.0f);
    bench.move(CPoint(62, 41), kLButton);
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

TEST(CAnimKnobEX, BRestoresTheDefaultAndOtherKeysAreNotHandled)
{
    Recorder recorder;
    CFrame frame(CRect(0, 0, 100, 100), nullptr, &recorder);
    const auto png = StripPng(20, 20, {kBody, kHandle, kBody});
    auto* strip = new CBitmap(std::span<const unsigned char>(png));
    auto* knob = new CAnimKnobEX(CRect(10, 10, 30, 30), &recorder, 9, strip);
    strip->forget();
    frame.addView(knob);
    knob->setDefaultValue(0.5f);
    knob->setValue(1.0f);
    CPoint hover(20, 20);
    frame.onMouseMoved(hover, 0);
    EXPECT_EQ(Key(frame, 0, VKEY_DOWN), -1);
    EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
    EXPECT_EQ(Key(frame, 'b'), 1);
    EXPECT_FLOAT_EQ(recorder.last(), 0.5f);
    EXPECT_TRUE(SameColour(frame.getPixel(20, 20), kHandle));
}
