#pragma once
// Measurements shared by the cabinet and equaliser tests.
#include "dsp/CORVDSPAlgInterface.h"
#include "tests/DriveTestSupport.h"
#include "tests/TestSupport.h"

#include <cstring>
#include <memory>
#include <string>

namespace eq_testing {

// Made the way the effect instance makes it: the real rate is set after
// construction and a reinitialisation is due before the first block.
template <class Effect>
std::unique_ptr<Effect> Make(double sampleRate = 44100.0)
{
    auto effect = std::make_unique<Effect>(44100.0, 512);
    effect->sampleRate = sampleRate;
    effect->needsReinit = true;
    return effect;
}

// The gain in dB a sine at frequency measures through the effect, both
// channels alike, once its transient has died away.
inline double MeasuredGainDb(CORVDSPAlgInterface& effect, double frequency, double sampleRate, double seconds = 0.5)
{
    constexpr float kLevel = 0.25f;
    std::vector<float> left = testing_support::Sine(frequency, sampleRate, size_t(seconds * sampleRate), kLevel);
    std::vector<float> right = left;
    testing_support::ProcessInBlocks(effect, left, right, 512);
    EXPECT_EQ(left, right);
    return drive_testing::Db(drive_testing::AmplitudeAt(left, frequency, sampleRate, left.size() / 2) / kLevel);
}

// The code's four bytes as they lie in memory.
inline std::string CodeBytes(uint32_t code)
{
    char bytes[4];
    std::memcpy(bytes, &code, 4);
    return {bytes, 4};
}

} // namespace eq_testing
