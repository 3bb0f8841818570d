#include "resources/Resources.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/controls/CAboutView.h"
#include "ui/controls/CToneMeter.h"

#include <gtest/gtest.h>

using namespace ui_test;

namespace {

// Frame colours of the film strips: one colour a frame, each unlike the next.
std::vector<CColor> Palette(int count)
{
    const std::vector<CColor> all{{10, 200, 90, 255}, {30, 185, 90, 255}, {50, 170, 90, 255}, {70, 155, 90, 255},
                                  {90, 140, 90, 255}};
    return {all.begin(), all.begin() + count};
}

} // namespace

// The drag rules every knob shares are driven through the panels' knob in
// test_PanelControls.cpp; here the film strips and the plain knob's own parts.
TEST(FilmStrips, ShowTheNearestFrameOfTheirValue)
{
    Bench bench;
    const auto colours = Palette(5);
    CBitmap* strip = Strip(20, 20, colours);
    auto* knob = bench.add(new CAnimKnob(CRect(10, 10, 30, 30), &bench.recorder, 7, strip));
    auto* led = bench.add(new CMovieBitmap(CRect(40, 10, 60, 30), &bench.recorder, 16, 5, 20, strip));
    strip->forget();
    for (CControl* control : {static_cast<CControl*>(knob), static_cast<CControl*>(led)}) {
        for (const auto& [value, frame] : {std::pair{0.5f, 2}, {0.9f, 4}, {0.0f, 0}, {0.12f, 0}, {0.13f, 1}}) {
            control->setValue(value);
            const CRect r = control->getViewSize();
            EXPECT_TRUE(SameColour(bench.frame.getPixel(r.left + 10, r.top + 10), colours[size_t(frame)])) << value;
        }
    }
    Click(bench.frame, CPoint(50, 20));
    EXPECT_TRUE(bench.recorder.changes.empty()) << "a movie bitmap takes no clicks";
}

TEST(CKnob, WheelStepsAndControlClickResets)
{
    Bench bench;
    auto* knob = bench.add(new CKnob(CRect(0, 0, 40, 40), &bench.recorder, 2, nullptr, nullptr));
    knob->setValue(0.5f);
    EXPECT_TRUE(bench.frame.onWheel(CPoint(20, 20), 1.0f, 0));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.6f);
    EXPECT_FLOAT_EQ(bench.recorder.last(), 0.6f);

    knob->setDefaultValue(0.25f);
    Click(bench.frame, CPoint(20, 2), kLButton | kControl);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.25f);
}

// A switch takes the position under the mouse, and a drag at or past
// either end stops at the first or the last position.
TEST(CSwitches, PickThePositionUnderTheMouseAndStopAtTheEnds)
{
    Bench bench;
    const auto colours = Palette(3);
    CBitmap* strip = Strip(60, 20, colours);
    auto* row = bench.add(new CHorizontalSwitch(CRect(0, 0, 60, 20), &bench.recorder, 5, 3, 20, 3, strip));
    strip->forget();
    auto* column = bench.add(new CVerticalSwitch(CRect(100, 0, 120, 80), &bench.recorder, 6, 4, 20, 4, nullptr));
    using Gesture = std::tuple<CControl*, CPoint, CPoint, float>; // switch, press, release, value
    for (const auto& [control, from, to, value] :
         {Gesture{row, {45, 10}, {45, 10}, 1.0f}, {row, {45, 10}, {25, 10}, 0.5f}, {row, {25, 10}, {60, 10}, 1.0f},
          {row, {5, 10}, {400, 10}, 1.0f}, {row, {45, 10}, {-30, 10}, 0.0f},
          {column, {110, 45}, {110, 45}, 2.0f / 3.0f}, {column, {110, 5}, {110, 80}, 1.0f},
          {column, {110, 45}, {110, 300}, 1.0f}}) {
        Drag(bench.frame, from, to);
        EXPECT_FLOAT_EQ(control->getValue(), value) << to.x << "," << to.y;
        EXPECT_TRUE(control == column || SameColour(bench.frame.getPixel(5, 5), colours[size_t(2 * value)])) << to.x;
    }
    EXPECT_EQ(bench.recorder.changes.back().tag, 6);
    EXPECT_FLOAT_EQ(bench.recorder.last(), 1.0f);
}

// Dragged to the far end and back within one redraw, the switch shows where
// it started; the listener, told of the move away, must be told of the return.
TEST(CSwitches, ListenerHearsAReturnBeforeTheRedraw)
{
    Bench bench;
    auto* row = bench.add(new CHorizontalSwitch(CRect(0, 0, 60, 20), &bench.recorder, 5, 3, 20, 3, nullptr));
    bench.frame.getPixel(0, 0); // drawn at its first position
    CPoint start(5, 10), end(45, 10);
    bench.frame.onMouseDown(start, kLButton);
    bench.frame.onMouseMoved(end, kLButton);
    EXPECT_FLOAT_EQ(bench.recorder.last(), 1.0f);
    bench.frame.onMouseMoved(start, kLButton);
    bench.frame.onMouseUp(start, kLButton);
    EXPECT_FLOAT_EQ(row->getValue(), 0.0f);
    EXPECT_FLOAT_EQ(bench.recorder.last(), 0.0f);
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

    // The kick button is on while pressed, and lets go when the mouse
    // slides off it, before the release.
    CPoint on(5, 5);
    bench.frame.onMouseDown(on, kLButton);
    EXPECT_TRUE(bench.recorder.last() == 1.0f && SameColour(bench.frame.getPixel(5, 5), colours[1]));
    bench.frame.onMouseUp(on, kLButton);
    EXPECT_TRUE(bench.recorder.last() == 0.0f && SameColour(bench.frame.getPixel(5, 5), colours[0]));
    Drag(bench.frame, on, CPoint(5, 50));
    EXPECT_EQ(bench.recorder.changes.size(), 4u);

    for (const auto& [x, control, value] :
         {std::tuple<int, CControl*, float>{35, onOff, 1.0f}, {35, onOff, 0.0f}, {65, movie, 1.0f}}) {
        Click(bench.frame, CPoint(x, 5));
        EXPECT_FLOAT_EQ(control->getValue(), value);
        EXPECT_TRUE(SameColour(bench.frame.getPixel(x, 5), colours[size_t(value)]));
    }
}

// Both meters light from the bottom in whole steps and fall back by their
// step per redraw; the tuner's meter keeps falling while it is fed the same
// value, and a rise shows at once.
TEST(Meters, LightFromTheBottomInWholeStepsAndFallBackByTheStep)
{
    const CColor lit{0, 220, 0, 255};
    const CColor dark{60, 0, 0, 255};
    for (const bool tuner : {false, true}) {
        Bench bench;
        CBitmap* on = Strip(10, 100, {lit});
        CBitmap* off = Strip(10, 100, {dark});
        const CRect r(10, 10, 20, 110);
        CVuMeter* meter = bench.add(tuner ? new CToneMeter(r, on, off, 10) : new CVuMeter(r, on, off, 10));
        on->forget();
        off->forget();
        meter->setDecreaseStepValue(0.3f);
        const int vuHeights[] = {80, 50, 50, 50, 30};
        const int toneHeights[] = {80, 50, 20, 0, 30};
        int step = 0;
        for (const float value : {0.83f, 0.0f, 0.0f, 0.0f, 0.26f}) {
            meter->setValue(value);
            const int height = (tuner ? toneHeights : vuHeights)[step++];
            const auto wrong = [&](auto, auto y, CColor c) { return !SameColour(c, y < 110 - height ? dark : lit); };
            EXPECT_EQ(CountPixels(bench.frame, CRect(15, 10, 16, 110), wrong), 0)
                << (tuner ? "tone meter " : "VU meter ") << step << ": " << height << " lit";
        }
    }
}

// The about picture, the one splash screen the editors show: over the
// editor until a click, which reports 0 for its tag and reaches nothing
// beneath; the next click does.
TEST(CSplashScreen, ShowsTheAboutTextsOverItsBitmapUntilAClickReportsZero)
{
    SetResourceLoader(FindPngResource);
    const CRect editor(0, 0, 185, 320);
    Bench bench(185, 320);
    auto* beneath = bench.add(new COnOffButton(CRect(80, 30, 100, 50), &bench.recorder, 8, nullptr));
    CSplashScreen* splash = bench.add(MakeAboutSplash(editor, &bench.recorder));
    splash->splash();

    // Against a plain drawing of the bitmap: the picture is everywhere
    // except where the texts are, in the black window below the knob.
    COffscreenContext plain(185, 320, kBlackCColor);
    CBitmap picture(kAboutBitmapId);
    ASSERT_EQ(picture.getWidth(), 185);
    picture.draw(&plain, editor);
    const auto differs = [&](CCoord x, CCoord y, CColor c) { return !SameColour(c, plain.getPixel(x, y)); };
    EXPECT_EQ(CountPixels(bench.frame, CRect(0, 0, 185, 160), differs), 0);
    EXPECT_EQ(CountPixels(bench.frame, CRect(0, 260, 185, 320), differs), 0);
    EXPECT_GT(CountPixels(bench.frame, CRect(0, 160, 185, 260), differs), 800)
        << "a title, a version line and two credit lines";

    Click(bench.frame, CPoint(90, 40));
    EXPECT_FALSE(splash->isSplashing());
    ASSERT_EQ(bench.recorder.changes.size(), 1u);
    EXPECT_EQ(bench.recorder.changes[0].tag, 37);
    EXPECT_FLOAT_EQ(bench.recorder.changes[0].value, 0.0f);
    EXPECT_TRUE(SameColour(bench.frame.getPixel(90, 40), kBlackCColor));
    Click(bench.frame, CPoint(90, 40));
    EXPECT_FLOAT_EQ(beneath->getValue(), 1.0f);
    SetResourceLoader(nullptr);
}
