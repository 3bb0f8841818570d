#include "ui/controls/CToneMeter.h"

#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

using namespace ui_test;

namespace {
constexpr CColor kOff{60, 0, 0, 255};
constexpr CColor kOn{0, 220, 0, 255};

// The height of the lit part of a 100-pixel meter at x = 15.
int LitHeight(CFrame& frame)
{
    int lit = 0;
    for (int y = 10; y < 110; ++y) {
        if (SameColour(frame.getPixel(15, y), kOn))
            ++lit;
        else
            EXPECT_TRUE(SameColour(frame.getPixel(15, y), kOff)) << y;
    }
    return lit;
}
} // namespace

TEST(CToneMeter, FallsBackByItsStepShowsWholeStepsAndLightsFromTheBottom)
{
    CFrame frame(CRect(0, 0, 40, 120), nullptr, nullptr);
    const auto onPng = StripPng(10, 100, {kOn});
    const auto offPng = StripPng(10, 100, {kOff});
    auto* on = new CBitmap(std::span<const unsigned char>(onPng));
    auto* off = new CBitmap(std::span<const unsigned char>(offPng));
    auto* meter = new CToneMeter(CRect(10, 10, 20, 110), on, off, 10);
    on->forget();
    off->forget();
    meter->setDecreaseStepValue(0.3f);
    frame.addView(meter);
    EXPECT_TRUE(meter->isTypeOf("CToneMeter"));
    EXPECT_FALSE(meter->isTypeOf("CVuMeter"));

    meter->setValue(0.83f);
    EXPECT_EQ(LitHeight(frame), 80) << "0.83 shows as the nearest step";
    EXPECT_TRUE(SameColour(frame.getPixel(15, 109), kOn));
    EXPECT_FLOAT_EQ(meter->getShownValue(), 0.8f);
    // The value drops to zero: each redraw lowers the bar by the step.
    const int expected[] = {50, 20, 0, 0};
    for (int height : expected) {
        meter->setValue(0.0f);
        EXPECT_EQ(LitHeight(frame), height);
    }
    meter->setValue(0.26f);
    EXPECT_EQ(LitHeight(frame), 30) << "a rise shows at once";
}
