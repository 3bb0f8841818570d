// What every cabinet and equaliser must survive: any block size at the ends
// of the rate range, one buffer for both channels in place, silence, and
// every control at its ends.
#include "effects/drive/CORVGraphicEQBassDSP.h"
#include "effects/drive/CORVGraphicEQGuitarDSP.h"
#include "effects/drive/CORVParametricEQDSP.h"
#include "effects/drive/CORVSpeakerSimulatorBassDSP.h"
#include "effects/drive/CORVSpeakerSimulatorGuitarDSP.h"
#include "tests/EqTestSupport.h"

#include <gtest/gtest.h>

using namespace eq_testing;

namespace {

// A loud chord-like signal with a stretch of digital silence in it.
std::vector<float> Program(double fs)
{
    std::vector<float> signal = testing_support::Sine(110.0, fs, size_t(0.3 * fs), 0.6f);
    const std::vector<float> upper = testing_support::Sine(2637.0, fs, signal.size(), 0.3f);
    for (size_t i = 0; i < signal.size(); ++i)
        signal[i] = i % 3000 < 1000 ? 0.0f : signal[i] + upper[i];
    return signal;
}

bool Clean(const std::vector<float>& signal)
{
    return std::all_of(signal.begin(), signal.end(),
                       [](float v) { return std::isfinite(v) && !testing_support::IsSubnormal(v); });
}

} // namespace

template <class Effect>
class CabsEqFrame : public ::testing::Test {};

using CabsEqEffects = ::testing::Types<CORVSpeakerSimulatorGuitarDSP, CORVSpeakerSimulatorBassDSP,
                                       CORVGraphicEQGuitarDSP, CORVGraphicEQBassDSP, CORVParametricEQDSP>;
TYPED_TEST_SUITE(CabsEqFrame, CabsEqEffects);

TYPED_TEST(CabsEqFrame, BlockSizesRatesAndAliasedBuffersAgree)
{
    for (double fs : {22050.0, 192000.0}) {
        const std::vector<float> input = Program(fs);
        for (int32_t preset : {0, 1}) {
            std::vector<float> reference, mono = input;
            for (int32_t blockSize : {8192, 1}) {
                auto effect = Make<TypeParam>(fs);
                effect->ApplyPresetByIndex(preset);
                std::vector<float> left = input, right = input;
                for (float& v : right)
                    v *= -0.5f;
                testing_support::ProcessInBlocks(*effect, left, right, blockSize);
                EXPECT_TRUE(Clean(left) && Clean(right)) << fs << " " << blockSize;
                if (reference.empty())
                    reference = left;
                EXPECT_EQ(left, reference) << fs << " " << blockSize;
            }
            // A mono instance hands the same buffer in as both channels and out.
            auto effect = Make<TypeParam>(fs);
            effect->ApplyPresetByIndex(preset);
            float peaks[2][2];
            for (size_t start = 0; start < mono.size(); start += 700) {
                float* channels[2] = {mono.data() + start, mono.data() + start};
                effect->Process(channels, channels, peaks[0], peaks[1],
                                int32_t(std::min<size_t>(700, mono.size() - start)));
            }
            EXPECT_EQ(mono, reference) << fs;
        }
    }
}

TYPED_TEST(CabsEqFrame, ControlsAtTheirEndsStayFiniteAndSilenceStaysNormal)
{
    // All controls at one end, and each control alone at the end opposite
    // to all the others.
    const size_t count = Make<TypeParam>()->parameters.size();
    std::vector<uint32_t> settings = {0u, (1u << count) - 1u};
    for (size_t p = 0; p < count; ++p)
        settings.insert(settings.end(), {1u << p, ~(1u << p) & ((1u << count) - 1u)});
    for (double fs : {22050.0, 192000.0}) {
        for (uint32_t ends : settings) {
            auto effect = Make<TypeParam>(fs);
            int32_t bit = 0;
            for (const auto& entry : effect->parameters)
                effect->OnParameterChange(entry.first, float((ends >> bit++) & 1u));
            std::vector<float> left = Program(fs), right = left;
            testing_support::ProcessInBlocks(*effect, left, right, 1024);
            std::vector<float> silentLeft(size_t(fs / 4)), silentRight(size_t(fs / 4));
            testing_support::ProcessInBlocks(*effect, silentLeft, silentRight, 1024);
            EXPECT_TRUE(Clean(left) && Clean(silentLeft) && Clean(silentRight)) << fs << " " << ends;
        }
    }
}
