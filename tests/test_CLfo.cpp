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

