#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

using namespace ui_test;

namespace {

std::vector<CColor> Palette(int count)
{
    std::vector<CColor> colours;
    for (int i = 0; i < count; ++i)
        colours.push_back({static_cast<uint8_t>(20 * i + 10), static_cast<uint8_t>(200 - 15 * i), 90, 255});
    return colours;
}

CBitmap* Strip(int width, int frameHeight, const std::vector<CColor>& colours)
{
    const auto png = StripPng(width, frameHeight, colours);
    return new CBitmap(std::span<const unsigned char>(png));
}

// A frame in memory whose controls report to one recorder.
struct Bench {
    Recorder recorder;
    CFrame frame{CRect(0, 0, 200, 200), nullptr, &recorder};
    template <class Control>
    Control* add(Control* control)
    {
        frame.addView(control);
        return control;
    }
};

} // namespace

// The drag rules every knob shares are driven through the panels' knob in
// test_KnobsEX.cpp; here the film strip and the plain knob's own parts.
TEST(CAnimKnob, ShowsTheFrameOfItsValue)
{
    Bench bench;
    const auto colours = Palette(5);
    CBitmap* strip = Strip(20, 20, colours);
    auto* knob = bench.add(new CAnimKnob(CRect(10, 10, 30, 30), &bench.recorder, 7, strip));
    strip->forget();
    EXPECT_EQ(knob->getNumSubPixmaps(), 5);
    for (const auto& [value, frame] : {std::pair{0.5f, 2}, {0.9f, 4}, {0.0f, 0}, {0.12f, 0}, {0.13f, 1}}) {
        knob->setValue(value);
        EXPECT_TRUE(SameColour(bench.frame.getPixel(20, 20), colours[size_t(frame)])) << value;
    }
}

TEST(CKnob, ClickTakesTheAngleWheelStepsAndControlClickResets)
{
    Bench bench;
    auto* knob = bench.add(new CKnob(CRect(0, 0, 40, 40), &bench.recorder, 2, nullptr, nullptr));
    Click(bench.frame, CPoint(20, 2));
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-3);
    Click(bench.frame, CPoint(38, 20));
    EXPECT_NEAR(knob->getValue(), 225.0f / 270.0f, 1e-3);

    knob->setValue(0.5f);
    EXPECT_TRUE(bench.frame.onWheel(CPoint(20, 20), 1.0f, 0));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.6f);
    EXPECT_FLOAT_EQ(bench.recorder.last(), 0.6f);

    knob->setDefaultValue(0.25f);
    Click(bench.frame, CPoint(20, 2), kLButton | kControl);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.25f);
}

TEST(CSwitches, PickThePositionUnderTheMouse)
{
    Bench bench;
    const auto colours = Palette(4);
    CBitmap* strip = Strip(60, 20, {colours[0], colours[1], colours[2]});
    auto* row = bench.add(new CHorizontalSwitch(CRect(0, 0, 60, 20), &bench.recorder, 5, 3, 20, 3, strip));
    strip->forget();
    Click(bench.frame, CPoint(45, 10));
    EXPECT_FLOAT_EQ(bench.recorder.last(), 1.0f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(5, 5), colours[2]));
    Drag(bench.frame, CPoint(45, 10), CPoint(25, 10));
    EXPECT_FLOAT_EQ(row->getValue(), 0.5f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(5, 5), colours[1]));

    auto* column = bench.add(new CVerticalSwitch(CRect(100, 0, 120, 80), &bench.recorder, 6, 4, 20, 4, nullptr));
    Click(bench.frame, CPoint(110, 45));
    EXPECT_FLOAT_EQ(column->getValue(), 2.0f / 3.0f);
    EXPECT_EQ(bench.recorder.changes.back().tag, 6);
}

TEST(CButtons, KickReportsPressAndReleaseOnOffAndMovieToggle)
{
    Bench bench;
    const auto colours = Palette(2);
    CBitmap* strip = Strip(20, 10, colours);
    bench.add(new CKickButton(CRect(0, 0, 20, 10), &bench.recorder, 1, strip));
    auto* onOff = bench.add(new COnOffButton(CRect(30, 0, 50, 10), &bench.recorder, 8, strip));
    auto* movie = bench.add(new CMovieButton(CRect(60, 0, 80, 10), &bench.recorder, 15, strip));
    strip->forget();

    CPoint on(5, 5);
    bench.frame.onMouseDown(on, kLButton);
    EXPECT_FLOAT_EQ(bench.recorder.last(), 1.0f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(5, 5), colours[1]));
    bench.frame.onMouseUp(on, kLButton);
    EXPECT_FLOAT_EQ(bench.recorder.last(), 0.0f);
    EXPECT_EQ(bench.recorder.changes.size(), 2u);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(5, 5), colours[0]));
    // Sliding off the button lets it go before the release.
    Drag(bench.frame, on, CPoint(5, 50));
    EXPECT_EQ(bench.recorder.changes.size(), 4u);

    Click(bench.frame, CPoint(35, 5));
    EXPECT_FLOAT_EQ(onOff->getValue(), 1.0f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(35, 5), colours[1]));
    Click(bench.frame, CPoint(35, 5));
    EXPECT_FLOAT_EQ(onOff->getValue(), 0.0f);
    Click(bench.frame, CPoint(65, 5));
    EXPECT_FLOAT_EQ(movie->getValue(), 1.0f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(65, 5), colours[1]));
}

TEST(CMovieBitmap, ShowsTheNearestFrameAndTakesNoClicks)
{
    Bench bench;
    const auto colours = Palette(10);
    CBitmap* strip = Strip(15, 15, colours);
    auto* led = bench.add(new CMovieBitmap(CRect(0, 0, 15, 15), &bench.recorder, 16, 10, 15, strip));
    strip->forget();
    for (int frame : {0, 1, 4, 9}) {
        led->setValue(static_cast<float>(frame) / 9.0f);
        EXPECT_TRUE(SameColour(bench.frame.getPixel(7, 7), colours[static_cast<size_t>(frame)])) << frame;
    }
    Click(bench.frame, CPoint(7, 7));
    EXPECT_TRUE(bench.recorder.changes.empty());
}

// The shared fine mode and the reversed styles are driven through the
// panels' sliders in test_SlidersEX.cpp.
TEST(CSliders, FreeClickCentresTheHandleOnTheMouse)
{
    Bench bench;
    const CColor track{30, 30, 30, 255};
    const CColor knob{240, 200, 0, 255};
    CBitmap* handle = Strip(10, 10, {knob});
    auto* across = bench.add(new CHorizontalSlider(CRect(0, 0, 100, 10), &bench.recorder, 3, 0, 90, handle, nullptr));
    handle->forget();
    bench.frame.setBackgroundColor(track);
    Click(bench.frame, CPoint(50, 5));
    EXPECT_FLOAT_EQ(across->getValue(), 0.5f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(45, 5), knob));
    EXPECT_TRUE(SameColour(bench.frame.getPixel(44, 5), track));
}

TEST(CVuMeter, LightsFromTheBottomAndFallsByTheDecreaseStep)
{
    Bench bench;
    const CColor lit{0, 230, 0, 255};
    const CColor dark{0, 40, 0, 255};
    CBitmap* on = Strip(10, 100, {lit});
    CBitmap* off = Strip(10, 100, {dark});
    auto* meter = bench.add(new CVuMeter(CRect(0, 0, 10, 100), on, off, 10));
    on->forget();
    off->forget();
    meter->setDecreaseStepValue(0.1f);
    meter->setValue(0.52f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(5, 51), lit));
    EXPECT_TRUE(SameColour(bench.frame.getPixel(5, 49), dark));
    meter->setValue(0.0f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(5, 61), lit));
    EXPECT_TRUE(SameColour(bench.frame.getPixel(5, 59), dark));
}

TEST(CSplashScreen, ShowsItsViewUntilClickedAndThenReportsZero)
{
    Bench bench;
    const CColor picture{10, 20, 250, 255};
    CBitmap* bitmap = Strip(200, 200, {picture});
    auto* about = new CView(CRect(0, 0, 200, 200));
    about->setBackground(bitmap);
    bitmap->forget();
    auto* splash = bench.add(new CSplashScreen(CRect(0, 0, 20, 20), &bench.recorder, 37, about));
    about->forget();
    Click(bench.frame, CPoint(5, 5));
    EXPECT_TRUE(splash->isSplashing());
    EXPECT_TRUE(SameColour(bench.frame.getPixel(100, 100), picture));
    Click(bench.frame, CPoint(100, 100));
    EXPECT_FALSE(splash->isSplashing());
    EXPECT_EQ(bench.recorder.changes.back().tag, 37);
    EXPECT_FLOAT_EQ(bench.recorder.last(), 0.0f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(100, 100), kBlackCColor));
}
