#include "effects/common/CLfo.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

CLfo MakeLfo(float sampleRate, float frequency, int32_t shape = CLfo::Triangular)
{
    CLfo lfo;
    lfo.SetSampleRate(sampleRate);
    lfo.SetShape(shape);
    lfo.SetFrequencyHz(frequency);
    return lfo;
}

// Upward crossings of +0.5 by the output: one per period for every shape.
// (Zero would not do: the arc may end a half cycle a rounding error beyond
// zero before it is pinned back to it.)
int CountUpwardCrossings(CLfo& lfo, int samples)
{
    int crossings = 0;
    float previous = lfo.Value();
    for (int i = 0; i < samples; ++i) {
        lfo.Advance();
        const float current = lfo.Value();
        if (previous < 0.5f && current >= 0.5f)
            ++crossings;
        previous = current;
    }
    return crossings;
}

} // namespace

// The ramp steps by 4·f/fs, the arc by twice that; a frequency at or above
// Nyquist is ignored; only a new, usable rate restarts the phase.
TEST(CLfoSetup, IncrementFrequencyAndRate)
{
    CLfo lfo = MakeLfo(48000.0f, 5.0f);
    EXPECT_EQ(lfo.Increment(), 4.0f * 5.0f / 48000.0f);
    EXPECT_EQ(lfo.ArcGain(), 2.0f * lfo.Increment());
    lfo.SetFrequencyBpm(720.0f); // 12 Hz
    EXPECT_EQ(lfo.Frequency(), 12.0f);
    EXPECT_EQ(lfo.Increment(), 4.0f * 12.0f / 48000.0f);
    for (float ignored : {24000.0f, 96000.0f, -1.0f})
        lfo.SetFrequencyHz(ignored);
    EXPECT_EQ(lfo.Frequency(), 12.0f);
    lfo.SetFrequencyHz(23999.0f);
    EXPECT_EQ(lfo.Frequency(), 23999.0f);

    lfo = MakeLfo(44100.0f, 5.0f);
    for (int i = 0; i < 3000; ++i)
        lfo.Advance();
    const float ramp = lfo.Ramp();
    for (float rate : {44100.0f, 0.0f, -48000.0f})
        lfo.SetSampleRate(rate);
    EXPECT_EQ(lfo.Ramp(), ramp);
    EXPECT_EQ(lfo.SampleRate(), 44100.0f);
    lfo.SetSampleRate(96000.0f);
    EXPECT_EQ(lfo.Ramp(), 1.0f);
    EXPECT_EQ(lfo.ArcValue(), 0.0f);
    EXPECT_EQ(lfo.SignedIncrement(), -4.0f * 5.0f / 96000.0f);
}

TEST(CLfoSetup, HalfSpeedShapesKeepTheRampDirection)
{
    CLfo lfo = MakeLfo(44100.0f, 5.0f);
    const float full = lfo.Increment();
    for (int direction = 0; direction < 2; ++direction) {
        // Samples 1000 and 5000 lie in the falling and rising halves.
        for (int i = 0; i < (direction == 0 ? 1000 : 4000); ++i)
            lfo.Advance();
        const float sign = direction == 0 ? -1.0f : 1.0f;
        ASSERT_EQ(lfo.SignedIncrement(), sign * full);
        const float ramp = lfo.Ramp();

        lfo.SetShape(CLfo::Logarithmic);
        EXPECT_EQ(lfo.Increment(), full / 2.0f);
        EXPECT_EQ(lfo.SignedIncrement(), sign * full / 2.0f);
        EXPECT_EQ(lfo.ArcGain(), full);
        EXPECT_EQ(lfo.Ramp(), ramp); // no restart
        lfo.SetShape(CLfo::Exponential);
        EXPECT_EQ(lfo.Increment(), full / 2.0f);
        lfo.SetShape(CLfo::Triangular);
        EXPECT_EQ(lfo.Increment(), full);
        EXPECT_EQ(lfo.SignedIncrement(), sign * full);
    }
}

TEST(CLfoMotion, ResetPassesZeroThenReachesMinusOne)
{
    CLfo lfo = MakeLfo(44100.0f, 5.0f, CLfo::Sinusoidal);
    for (int i = 0; i < 1234; ++i)
        lfo.Advance();
    lfo.Reset();
    EXPECT_EQ(lfo.Ramp(), 1.0f);
    EXPECT_EQ(lfo.ArcValue(), 0.0f);
    lfo.Advance();
    EXPECT_EQ(lfo.Ramp(), 0.0f);
    lfo.Advance();
    EXPECT_EQ(lfo.Ramp(), -1.0f);
    EXPECT_EQ(lfo.ArcValue(), 0.0f);
    EXPECT_EQ(lfo.SignedIncrement(), lfo.Increment());
    lfo.Advance();
    EXPECT_FLOAT_EQ(lfo.Ramp(), -1.0f + lfo.Increment());
}

TEST(CLfoMotion, RampStaysInRangeAndArcFollowsTheParabola)
{
    // While the ramp r rises from -1 the arc integrates it: r^2 - 1.
    CLfo lfo = MakeLfo(44100.0f, 5.0f, CLfo::Sinusoidal);
    lfo.Reset();
    lfo.Advance();
    lfo.Advance(); // now at -1, rising
    float lowest = 0.0f;
    for (int i = 0; i < 4000; ++i) {
        lfo.Advance();
        const float r = lfo.Ramp();
        ASSERT_LE(std::fabs(r), 1.0f);
        ASSERT_NEAR(lfo.Value(), r * r - 1.0f, 2.0f * lfo.Increment());
        lowest = std::min(lowest, lfo.Value());
    }
    EXPECT_NEAR(lowest, -1.0f, 1e-3f);
}

TEST(CLfoMotion, EveryShapeRunsAtTheSetFrequency)
{
    const int seconds = 10;
    for (int32_t shape = CLfo::Triangular; shape <= CLfo::Sinusoidal; ++shape) {
        CLfo lfo = MakeLfo(44100.0f, 5.0f, shape);
        lfo.Reset();
        EXPECT_NEAR(CountUpwardCrossings(lfo, 44100 * seconds), 5 * seconds, 1) << "shape " << shape;
    }
}

TEST(CLfoShapes, RoundedShapesFromTheArc)
{
    for (int32_t shape : {CLfo::Logarithmic, CLfo::Exponential}) {
        CLfo lfo = MakeLfo(44100.0f, 3.0f, shape);
        for (int i = 0; i < 30000; ++i) {
            lfo.Advance();
            const float a = std::fabs(lfo.ArcValue());
            ASSERT_EQ(lfo.Value(), shape == CLfo::Logarithmic ? 2.0f * a - 1.0f : 1.0f - 2.0f * a);
        }
    }
}

TEST(CLfoShapes, RectangularSaturatesBeyondOneSeventh)
{
    CLfo lfo = MakeLfo(44100.0f, 5.0f, CLfo::Rectangular);
    int saturated = 0;
    for (int i = 0; i < 44100; ++i) {
        lfo.Advance();
        const float arc = lfo.ArcValue();
        if (std::fabs(arc) > 1.0f / 7.0f) {
            ASSERT_EQ(lfo.Value(), arc > 0.0f ? 1.0f : -1.0f) << arc;
            ++saturated;
        } else {
            ASSERT_FLOAT_EQ(lfo.Value(), 7.0f * arc);
        }
    }
    // |r^2 - 1| > 1/7 for |r| < 0.926: most of the time, not all of it.
    EXPECT_GT(saturated, 44100 * 80 / 100);
    EXPECT_LT(saturated, 44100 * 98 / 100);
}

TEST(CLfoShapes, UnknownShapeGivesTheRamp)
{
    CLfo lfo = MakeLfo(44100.0f, 5.0f, 9);
    for (int i = 0; i < 500; ++i)
        lfo.Advance();
    EXPECT_EQ(lfo.Value(), lfo.Ramp());
    EXPECT_EQ(lfo.Increment(), 4.0f * 5.0f / 44100.0f);
}
