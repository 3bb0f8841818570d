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

bool AllFinite(const std::vector<float>& signal)
{
    for (float v : signal)
        if (!std::isfinite(v))
            return false;
    return true;
}

} // namespace

template <class Effect>
class DynamicsFrame : public ::testing::Test {};

using DynamicsEffects =
    ::testing::Types<CORVCompressorDSP, CORVExpanderGateDSP, CORVNoiseGateDSP, CORVLevelControlDSP>;
TYPED_TEST_SUITE(DynamicsFrame, DynamicsEffects);

TYPED_TEST(DynamicsFrame, BlockSizeDoesNotChangeTheOutput)
{
    for (double rate : {22050.0, 192000.0}) {
        const Program program = MakeProgram(rate, 0.6);
        auto whole = Make<TypeParam>(rate);
        const Program reference = Processed(*whole, program, int32_t(program.left.size()));
        for (int32_t blockSize : {1, 7, 8192}) {
            auto effect = Make<TypeParam>(rate);
            const Program out = Processed(*effect, program, blockSize);
            EXPECT_EQ(out.left, reference.left) << rate << " " << blockSize;
            EXPECT_EQ(out.right, reference.right) << rate << " " << blockSize;
        }
    }
}

TYPED_TEST(DynamicsFrame, AliasedAndSeparateBuffersAgree)
{
    const Program program = MakeProgram(44100.0, 0.5);
    std::vector<float> left = program.left;
    std::vector<float> right = program.left;
    testing_support::ProcessInBlocks(*Make<TypeParam>(), left, right, 256);

    // A mono instance passes one buffer as both channels, in place.
    auto mono = Make<TypeParam>();
    std::vector<float> shared = program.left;
    float peaks[2][2];
    for (size_t start = 0; start < shared.size(); start += 256) {
        float* channels[2] = {shared.data() + start, shared.data() + start};
        mono->Process(channels, channels, peaks[0], peaks[1], int32_t(std::min<size_t>(256, shared.size() - start)));
    }
    EXPECT_EQ(shared, left);

    // Separate output buffers give what in-place processing gives.
    auto separate = Make<TypeParam>();
    const Program inPlace = Processed(*Make<TypeParam>(), program, 256);
    std::vector<float> outLeft(program.left.size());
    std::vector<float> outRight(program.left.size());
    for (size_t start = 0; start < outLeft.size(); start += 256) {
        const float* in[2] = {program.left.data() + start, program.right.data() + start};
        float* out[2] = {outLeft.data() + start, outRight.data() + start};
        separate->Process(in, out, peaks[0], peaks[1], int32_t(std::min<size_t>(256, outLeft.size() - start)));
    }
    EXPECT_EQ(outLeft, inPlace.left);
    EXPECT_EQ(outRight, inPlace.right);
}

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

TYPED_TEST(DynamicsFrame, EndsOfEveryControlStayFinite)
{
    for (double rate : {22050.0, 192000.0}) {
        auto probe = Make<TypeParam>(rate);
        const size_t count = probe->parameters.size();
        const Program program = MakeProgram(rate, 0.2);
        for (uint32_t corners = 0; corners < (1u << count); ++corners) {
            auto effect = Make<TypeParam>(rate);
            int32_t bit = 0;
            for (const auto& entry : effect->parameters)
                effect->OnParameterChange(entry.first, float((corners >> bit++) & 1u));
            const Program out = Processed(*effect, program, 1024);
            EXPECT_TRUE(AllFinite(out.left) && AllFinite(out.right)) << rate << " " << corners;
            EXPECT_TRUE(AllFinite(StateOf(*effect))) << rate << " " << corners;
        }
    }
}
