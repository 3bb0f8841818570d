// Checks every gain stage of the dynamics family shares: any block size, any
// rate, aliased buffers, silence and the ends of every control.
#include "effects/modulation/CORVCompressorDSP.h"
#include "effects/modulation/CORVExpanderGateDSP.h"
#include "effects/modulation/CORVLevelControlDSP.h"
#include "effects/modulation/CORVNoiseGateDSP.h"

#include "tests/DynamicsTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace dynamics_testing;

namespace {

// The recursive state each effect carries, for the subnormal check.
std::vector<float> StateOf(const CORVCompressorDSP& e) { return {e.Envelope(), e.Gain()}; }
std::vector<float> StateOf(const CORVExpanderGateDSP& e) { return {e.Envelope(), e.Gain()}; }
std::vector<float> StateOf(const CORVNoiseGateDSP& e) { return {e.Envelope(), e.Gain()}; }
std::vector<float> StateOf(const CORVLevelControlDSP&) { return {}; }

// A tone in sections of very different levels and a gap, so that every
// effect opens, reduces, closes and recovers.  The right channel is the left
// one inverted at half level: the larger channel alternates between the
// half-waves, and the left one always carries more energy.
struct Program {
    std::vector<float> left;
    std::vector<float> right;
};

Program MakeProgram(double rate, double seconds)
{
    const size_t frames = size_t(rate * seconds);
    const float levels[] = {0.8f, 0.05f, 0.0f, 0.3f, 0.002f, 1.0f};
    Program program{testing_support::Sine(220.0, rate, frames, 1.0f), {}};
    for (size_t i = 0; i < frames; ++i)
        program.left[i] *= levels[(i * 12 / frames) % 6];
    for (float sample : program.left)
        program.right.push_back(-0.5f * sample);
    return program;
}

template <class Effect>
Program Processed(Effect& effect, Program program, int32_t blockSize)
{
    testing_support::ProcessInBlocks(effect, program.left, program.right, blockSize);
    return program;
}

} // namespace

template <class Effect>
class DynamicsFrame : public ::testing::Test {};

using DynamicsEffects =
    ::testing::Types<CORVCompressorDSP, CORVExpanderGateDSP, CORVNoiseGateDSP, CORVLevelControlDSP>;
TYPED_TEST_SUITE(DynamicsFrame, DynamicsEffects);

TYPED_TEST(DynamicsFrame, SilenceLeavesNoSubnormals)
{
    for (double rate : {22050.0, 44100.0, 192000.0}) {
        for (bool lastPreset : {false, true}) {
            auto effect = Make<TypeParam>(rate);
            if (lastPreset)
                effect->ApplyPresetByIndex(int32_t(effect->presets.size()) - 1);
            Processed(*effect, MakeProgram(rate, 0.5), 512);
            const size_t silence = size_t(rate * 4);
            const Program out = Processed(*effect, {std::vector<float>(silence), std::vector<float>(silence)}, 512);
            for (size_t i = 0; i < silence; ++i) {
                ASSERT_FALSE(testing_support::IsSubnormal(out.left[i])) << rate << " " << i;
                ASSERT_FALSE(testing_support::IsSubnormal(out.right[i])) << rate << " " << i;
            }
            for (float v : StateOf(*effect))
                EXPECT_FALSE(testing_support::IsSubnormal(v)) << rate << " " << v;
        }
    }
}

