// Checks every chorus and flanger must pass alike: sample rates, block
// sizes, aliased buffers, silence, and values at and beyond the ends of the
// parameter ranges.
#include "effects/modulation/CORVChorusBassDSP.h"
#include "effects/modulation/CORVChorusDSP.h"
#include "effects/modulation/CORVFlangerBassDSP.h"
#include "effects/modulation/CORVFlangerDSP.h"

#include "tests/ModulatedDelayProbe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>

using namespace modulated_delay_probe;
using testing_support::IsSubnormal;

namespace {

// Noise with a sine under it, different on the two sides.
Stereo Program(size_t frames, double sampleRate)
{
    Stereo signal{testing_support::Sine(110.0, sampleRate, frames, 0.4f),
                  testing_support::Sine(164.8, sampleRate, frames, 0.3f)};
    uint32_t seed = 2024;
    for (size_t i = 0; i < frames; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float noise = float(int32_t(seed >> 8) - (1 << 23)) / float(1 << 23);
        signal.left[i] += 0.4f * noise;
        signal.right[i] -= 0.3f * noise;
    }
    return signal;
}

// The deepest, most resonant setting each effect has.
void Deepest(CORVDSPAlgInterface& effect)
{
    for (const char* name : {"Mix", "Depth", "Stereo", "Regeneration"})
        if (int32_t index = 0; effect.FindParameter(name, &index))
            effect.OnParameterChange(index, 1.0f);
    if (int32_t index = 0; effect.FindParameter("Impact", &index))
        effect.OnParameterChange(index, 0.5f); // the lower crossover
}

// The loudest an output can get for inputs within +-1: dry and wet together,
// and for the flanger the wet path's resonance at feedback 0.88.
float OutputBound(const CORVDSPAlgInterface& effect)
{
    return effect.FindParameter("Regeneration") ? 0.58f + 0.5f / 0.12f + 0.01f : 2.01f;
}

// The ramp of the (left) sweep.
template <class Effect>
float SweepRamp(const Effect& effect)
{
    if constexpr (std::is_base_of_v<CORVChorusBase, Effect>)
        return effect.Lfo().Ramp();
    else
        return effect.LeftLfo().Ramp();
}

void ExpectFiniteWithin(const Stereo& out, float bound, const char* what)
{
    for (const std::vector<float>* channel : {&out.left, &out.right}) {
        for (size_t t = 0; t < channel->size(); ++t) {
            ASSERT_TRUE(std::isfinite((*channel)[t])) << what << " at " << t;
            ASSERT_LE(std::fabs((*channel)[t]), bound) << what << " at " << t;
        }
    }
}

template <class Effect>
class ChorusFlangerFamily : public ::testing::Test {};

using Effects = ::testing::Types<CORVChorusDSP, CORVChorusBassDSP, CORVFlangerDSP, CORVFlangerBassDSP>;
TYPED_TEST_SUITE(ChorusFlangerFamily, Effects);

} // namespace

TYPED_TEST(ChorusFlangerFamily, SilenceLeavesNoSubnormals)
{
    auto effect = Make<TypeParam>();
    Deepest(*effect);
    const Stereo loud = Program(44100, 44100.0);
    RunStereo(*effect, loud.left, loud.right);
    // Five seconds: the flanger's tail falls by 0.88 a pass, through the
    // subnormal range and on to zero.
    const Stereo tail = RunMono(*effect, std::vector<float>(5 * 44100, 0.0f));
    for (size_t t = 0; t < tail.left.size(); ++t) {
        ASSERT_FALSE(IsSubnormal(tail.left[t])) << t;
        ASSERT_FALSE(IsSubnormal(tail.right[t])) << t;
    }
    EXPECT_EQ(testing_support::Peak(tail.left, tail.left.size() - 1000), 0.0f);
    EXPECT_EQ(testing_support::Peak(effect->Lines().LeftLine()), 0.0f);
    EXPECT_EQ(testing_support::Peak(effect->Lines().RightLine()), 0.0f);
    if constexpr (requires { effect->Crossover(); }) {
        const BassCrossover& crossover = effect->Crossover();
        for (const BiquadSection* section : {&crossover.LeftSection(), &crossover.RightSection()}) {
            EXPECT_EQ(section->state().state1, 0.0f);
            EXPECT_EQ(section->state().state2, 0.0f);
        }
    }
}

TYPED_TEST(ChorusFlangerFamily, EndsOfEveryRangeStayFiniteAndBounded)
{
    const Stereo input = Program(30000, 44100.0);
    for (int pattern = 0; pattern < 4; ++pattern) {
        auto effect = Make<TypeParam>();
        // All at minimum, all at maximum, and the two alternations.
        int i = 0;
        for (const auto& [index, parameter] : effect->parameters) {
            if (parameter->name == "Tap")
                continue;
            const bool high = pattern == 1 || (pattern == 2 && i % 2 == 0) || (pattern == 3 && i % 2 == 1);
            effect->OnParameterChange(index, high ? 1.0f : 0.0f);
            ++i;
        }
        ExpectFiniteWithin(RunStereo(*effect, input.left, input.right), OutputBound(*effect), "range ends");
    }
}

TYPED_TEST(ChorusFlangerFamily, ValuesBeyondTheRangesAndWildTemposAreHeldInBounds)
{
    const Stereo input = Program(20000, 44100.0);
    for (float wild : {1e6f, -1e6f, NAN, INFINITY}) {
        auto effect = Make<TypeParam>();
        for (const auto& [index, parameter] : effect->parameters)
            if (parameter->name != "Tap")
                parameter->SetValue(wild);
        ExpectFiniteWithin(RunStereo(*effect, input.left, input.right), OutputBound(*effect), "wild values");
    }
    for (double tempo : {0.0, 1e9, -120.0, double(NAN)}) {
        auto effect = Make<TypeParam>();
        Deepest(*effect);
        effect->tempo = tempo;
        int32_t sync = 0;
        ASSERT_NE(effect->FindParameter("Sync coeff", &sync), nullptr);
        effect->OnParameterChange(sync, 1.0f);
        ExpectFiniteWithin(RunStereo(*effect, input.left, input.right), OutputBound(*effect), "wild tempo");
    }
}

TYPED_TEST(ChorusFlangerFamily, ResetClearsTheLinesAndKeepsTheSweep)
{
    auto effect = Make<TypeParam>();
    RunMono(*effect, Program(3000, 44100.0).left);
    ASSERT_GT(testing_support::Peak(effect->Lines().LeftLine()), 0.0f);
    const float ramp = SweepRamp(*effect);
    effect->Reset();
    EXPECT_EQ(testing_support::Peak(effect->Lines().LeftLine()), 0.0f);
    EXPECT_EQ(testing_support::Peak(effect->Lines().RightLine()), 0.0f);
    EXPECT_EQ(SweepRamp(*effect), ramp);
}
