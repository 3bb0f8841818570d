#include "ui/controls/CSliderEX.h"

#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

using namespace ui_test;

namespace {

constexpr CColor kTrack{30, 60, 30, 255};
constexpr CColor kHandle{240, 240, 240, 255};

struct SliderBench {
    Recorder recorder;
    CFrame frame{CRect(0, 0, 200, 200), nullptr, &recorder};
    CBitmap* track;
    CBitmap* handle;
    SliderBench()
    {
        const auto trackPng = StripPng(100, 100, {kTrack});
        const auto handlePng = StripPng(20, 20, {kHandle});
        track = new CBitmap(std::span<const unsigned char>(trackPng));
        handle = new CBitmap(std::span<const unsigned char>(handlePng));
    }
    ~SliderBench()
    {
        track->forget();
        handle->forget();
    }
    template <class Slider>
    Slider* add(Slider* slider)
    {
        frame.addView(slider);
        return slider;
    }
    void move(CPoint where, int32_t buttons) { frame.onMouseMoved(where, buttons); }
};

} // namespace

TEST(CVerticalSliderEX, FineModeSlowsFromWhereTheControlKeyWentDown)
{
    SliderBench bench;
    // 80 pixels of travel from the bottom up; the handle is 20 high.
    auto* slider = bench.add(new CVerticalSliderEX(CRect(10, 10, 30, 110), &bench.recorder, 3, 10, 90,
                                                    bench.handle, bench.track));
    slider->setMin(-12.0f);
    slider->setMax(12.0f);
    slider->setValue(-12.0f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(20, 100), kHandle));
    EXPECT_TRUE(SameColour(bench.frame.getPixel(20, 80), kTrack));
    CPoint press(20, 100);
    bench.frame.onMouseDown(press, kLButton);
    EXPECT_FLOAT_EQ(slider->getValue(), -12.0f) << "taken by the handle, which stays under the mouse";
    bench.move(CPoint(20, 60), kLButton);
    EXPECT_FLOAT_EQ(slider->getValue(), 0.0f);
    bench.move(CPoint(20, 60), kLButton | kControl);
    EXPECT_FLOAT_EQ(slider->getValue(), 0.0f) << "no jump when control goes down";
    bench.move(CPoint(20, 20), kLButton | kControl);
    EXPECT_NEAR(slider->getValue(), 0.05f * 24.0f, 1e-5) << "half the travel moves a tenth as far";
    bench.move(CPoint(20, 20), kLButton);
    EXPECT_FLOAT_EQ(slider->getValue(), 12.0f) << "without control the handle follows the mouse again";
    bench.frame.onMouseUp(press, kLButton);
    EXPECT_FLOAT_EQ(bench.recorder.last(), 12.0f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(20, 20), kHandle));

    slider->setDefaultValue(3.0f);
    VstKeyCode other;
    other.character = 'n';
    EXPECT_EQ(bench.frame.onKeyDown(other), -1);
    PressKey(bench.frame, 0, 'B');
    EXPECT_FLOAT_EQ(slider->getValue(), 3.0f);
    EXPECT_EQ(bench.recorder.editorEnds, (std::vector<int32_t>{3, 3}));
}

TEST(CHorizontalSliderEX, ReversedStyleRunsFromRightToLeft)
{
    SliderBench bench;
    auto* slider = bench.add(new CHorizontalSliderEX(CRect(10, 150, 110, 170), &bench.recorder, 4, 10, 90,
                                                      bench.handle, bench.track, CPoint(), kRight));
    slider->setValue(0.0f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(100, 160), kHandle)) << "the minimum is at the right";
    CPoint press(30, 160);
    bench.frame.onMouseDown(press, kLButton);
    EXPECT_FLOAT_EQ(slider->getValue(), 0.875f) << "a free click centres the handle on the mouse";
    bench.move(CPoint(60, 160), kLButton);
    EXPECT_FLOAT_EQ(slider->getValue(), 0.5f);
    bench.move(CPoint(200, 160), kLButton);
    EXPECT_FLOAT_EQ(slider->getValue(), 0.0f) << "limited to the range";
    bench.frame.onMouseUp(press, kLButton);
    PressKey(bench.frame, 0, 'b');
    EXPECT_FLOAT_EQ(slider->getValue(), 0.5f) << "the default value";
}
