// What the wahs and the reverb owe the host frame: any block size, any rate,
// aliased buffers, silence without subnormals and finite output at the ends
// of every control.
#include "effects/modulation/CORVAutoWahDSP.h"
#include "effects/modulation/CORVPedalWahDSP.h"
#include "effects/modulation/CORVReverbDSP.h"

#include "tests/WahReverbTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace wah_reverb_testing;

namespace {

// A plucked tone on the left, a quieter one on the right, then a gap.
struct Program {
    std::vector<float> left;
    std::vector<float> right;
};

Program MakeProgram(double rate, double seconds)
{
    const size_t frames = size_t(rate * seconds);
    Program program{testing_support::Sine(220.0, rate, frames, 0.8f),
                    testing_support::Sine(330.0, rate, frames, 0.3f)};
    for (size_t i = 0; i < frames; ++i) {
        const float envelope = i < frames * 3 / 4 ? float(std::exp(-3.0 * double(i) / rate)) : 0.0f;
        program.left[i] *= envelope;
        program.right[i] *= envelope;
    }
    return program;
}

Program Processed(CORVDSPAlgInterface& effect, Program program, int32_t blockSize)
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
class WahReverbFrame : public ::testing::Test {};

using WahReverbEffects = ::testing::Types<CORVPedalWahDSP, CORVAutoWahDSP, CORVReverbDSP>;
TYPED_TEST_SUITE(WahReverbFrame, WahReverbEffects);

TYPED_TEST(WahReverbFrame, RatesBlockSizesAndAliasingAgree)
{
    for (double rate : {22050.0, 192000.0}) {
        const Program program = MakeProgram(rate, 0.4);
        const Program reference = Processed(*Make<TypeParam>(rate), program, 333);
        for (int32_t blockSize : {1, 8192}) {
            const Program out = Processed(*Make<TypeParam>(rate), program, blockSize);
            EXPECT_EQ(out.left, reference.left) << rate << " " << blockSize;
            EXPECT_EQ(out.right, reference.right) << rate << " " << blockSize;
        }
        // A mono instance passes one buffer as both channels, in place; the
        // right channel is written last.
        auto mono = Make<TypeParam>(rate);
        std::vector<float> shared = program.left;
        float peaks[2][2];
        for (size_t start = 0; start < shared.size(); start += 333) {
            float* channels[2] = {shared.data() + start, shared.data() + start};
            mono->Process(channels, channels, peaks[0], peaks[1], int32_t(std::min<size_t>(333, shared.size() - start)));
        }
        EXPECT_EQ(shared, Processed(*Make<TypeParam>(rate), {program.left, program.left}, 333).right) << rate;
    }
}

TYPED_TEST(WahReverbFrame, SilenceLeavesNoSubnormals)
{
    for (double rate : {22050.0, 192000.0}) {
        auto effect = Make<TypeParam>(rate);
        Processed(*effect, MakeProgram(rate, 0.3), 512);
        // Long enough for the default reverb to fall through the whole float
        // range.
        const size_t silence = size_t(rate * 12.0);
        const Program out = Processed(*effect, {std::vector<float>(silence), std::vector<float>(silence)}, 4096);
        for (size_t i = 0; i < silence; ++i) {
            ASSERT_FALSE(testing_support::IsSubnormal(out.left[i])) << rate << " " << i;
            ASSERT_FALSE(testing_support::IsSubnormal(out.right[i])) << rate << " " << i;
        }
    }
}

TYPED_TEST(WahReverbFrame, EndsOfEveryControlStayFinite)
{
    for (double rate : {22050.0, 192000.0}) {
        const size_t count = Make<TypeParam>(rate)->parameters.size();
        const Program program = MakeProgram(rate, 0.15);
        for (uint32_t corners = 0; corners < (1u << count); ++corners) {
            auto effect = Make<TypeParam>(rate);
            int32_t bit = 0;
            for (const auto& entry : effect->parameters)
                effect->OnParameterChange(entry.first, float((corners >> bit++) & 1u));
            effect->tempo = 300.0;
            const Program out = Processed(*effect, program, 1024);
            EXPECT_TRUE(AllFinite(out.left) && AllFinite(out.right)) << rate << " " << corners;
        }
    }
}
