// What every amp model must survive: any rate and block size, one buffer
// for both channels, silence, and the ends of every control.
#include "effects/drive/CORVCleanPreampGuitarDSP.h"
#include "effects/drive/CORVCrunchPreampGuitarDSP.h"
#include "effects/drive/CORVHiGainPreampGuitarDSP.h"
#include "effects/drive/CORVPowerAmpGuitarDSP.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

using testing_support::ProcessInBlocks;

template <class Effect>
std::unique_ptr<Effect> Make(double rate)
{
    auto effect = std::make_unique<Effect>(rate, 256);
    effect->needsReinit = true;
    return effect;
}

// A low E that swells from quiet to far past full scale, then silence; the
// right channel a fifth above at half level.
struct Program {
    std::vector<float> left, right;
};

Program MakeProgram(double rate)
{
    const size_t frames = size_t(rate * 0.4);
    Program p{testing_support::Sine(82.4, rate, frames, 1.0f), testing_support::Sine(123.6, rate, frames, 0.5f)};
    for (size_t i = 0; i < frames; ++i) {
        const float swell = i < frames * 3 / 4 ? 4.0f * float(i) / float(frames) : 0.0f;
        p.left[i] *= swell * swell;
        p.right[i] *= swell * swell;
    }
    return p;
}

} // namespace

template <class Effect>
class AmpFrame : public ::testing::Test {};

using AmpEffects = ::testing::Types<CORVCleanPreampGuitarDSP, CORVCrunchPreampGuitarDSP, CORVHiGainPreampGuitarDSP,
                                    CORVPowerAmpGuitarDSP>;
TYPED_TEST_SUITE(AmpFrame, AmpEffects);

// Block sizes 1 and 8192 give what one whole block gives; a mono instance
// (one buffer for both channels, in place) gives the left channel of a
// stereo one; the silent tail holds no subnormal sample.
TYPED_TEST(AmpFrame, RatesBlocksAliasingAndSilence)
{
    for (double rate : {22050.0, 192000.0}) {
        const Program program = MakeProgram(rate);
        Program whole = program;
        auto reference = Make<TypeParam>(rate);
        ProcessInBlocks(*reference, whole.left, whole.right, int32_t(whole.left.size()));
        for (int32_t blockSize : {1, 8192}) {
            Program blocks = program;
            ProcessInBlocks(*Make<TypeParam>(rate), blocks.left, blocks.right, blockSize);
            EXPECT_EQ(blocks.left, whole.left) << rate << " " << blockSize;
            EXPECT_EQ(blocks.right, whole.right) << rate << " " << blockSize;
        }

        auto mono = Make<TypeParam>(rate);
        std::vector<float> shared = program.left;
        float peaks[2][2];
        for (size_t start = 0; start < shared.size(); start += 1000) {
            float* channels[2] = {shared.data() + start, shared.data() + start};
            const auto frames = int32_t(std::min<size_t>(1000, shared.size() - start));
            mono->Process(channels, channels, peaks[0], peaks[1], frames);
        }
        EXPECT_EQ(shared, whole.left) << rate;

        for (size_t i = whole.left.size() * 3 / 4; i < whole.left.size(); ++i) {
            ASSERT_FALSE(testing_support::IsSubnormal(whole.left[i])) << rate << " " << i;
            ASSERT_FALSE(testing_support::IsSubnormal(whole.right[i])) << rate << " " << i;
        }
    }
}

TYPED_TEST(AmpFrame, EndsOfEveryControlStayFinite)
{
    for (double rate : {22050.0, 192000.0}) {
        const Program program = MakeProgram(rate);
        for (uint32_t corners = 0; corners < 8; ++corners) {
            auto effect = Make<TypeParam>(rate);
            for (int32_t bit = 0; bit < 3; ++bit)
                effect->OnParameterChange(2 + bit, float((corners >> bit) & 1u));
            Program out = program;
            ProcessInBlocks(*effect, out.left, out.right, 512);
            for (size_t i = 0; i < out.left.size(); ++i)
                ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i])) << rate << " " << corners;
        }
    }
}
