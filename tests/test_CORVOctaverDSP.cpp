#include "effects/modulation/CORVOctaverDSP.h"

#include "effects/common/RealFft.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

using testing_support::Cents;
using testing_support::HarmonicTone;
using testing_support::Make;
using testing_support::Set;
using testing_support::StrongestFrequency;
using testing_support::WindowedAmplitudeAt;
using testing_support::Peak;
using Ot = CORVOctaverDSP;

namespace {

struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
};

Stereo Through(Ot& octaver, Stereo signal, int32_t blockSize = 256)
{
    testing_support::ProcessInBlocks(octaver, signal.left, signal.right, blockSize);
    return signal;
}

std::unique_ptr<Ot> MakeOctaver(float clean, float lower, float upper, double rate = 48000.0)
{
    auto octaver = Make<Ot>(rate);
    Set(*octaver, Ot::kCleanLevel, clean);
    Set(*octaver, Ot::kLowerLevel, lower);
    Set(*octaver, Ot::kUpperLevel, upper);
    return octaver;
}

} // namespace

TEST(OctaverMix, DryPathIsScaledButNotDelayed)
{
    auto octaver = MakeOctaver(50.0f, 0.0f, 0.0f);
    const std::vector<float> tone = HarmonicTone(196.0, 48000.0, 6000, 5);
    const Stereo out = Through(*octaver, {tone, std::vector<float>(tone.size(), -0.25f)});
    for (size_t i = 0; i < tone.size(); ++i) {
        ASSERT_EQ(out.left[i], 0.5f * tone[i]) << i;
        ASSERT_EQ(out.right[i], -0.125f) << i;
    }
}

TEST(OctaverMix, UnderStandAndStandUpCarryOnlyTheirOctave)
{
    constexpr double kRate = 48000.0;
    constexpr double kTone = 220.0;
    constexpr float kAmplitude = 0.25f;
    const std::vector<float> tone = HarmonicTone(kTone, kRate, size_t(kRate), 1, kAmplitude);
    struct Case {
        const char* preset;
        double octave;
        double level; // of the octave voice, relative to the mono sum
    };
    for (const Case& c : {Case{"Under Stand", kTone / 2.0, 1.0}, Case{"Stand Up", kTone * 2.0, 0.56}}) {
        auto octaver = Make<Ot>(kRate);
        octaver->ApplyPreset(c.preset);
        const Stereo out = Through(*octaver, {tone, tone});
        const size_t from = out.left.size() - 16384;
        EXPECT_NEAR(StrongestFrequency(out.left, from, 16384, kRate), c.octave, 0.002 * c.octave) << c.preset;
        // The shifters hear the plain sum of both channels: twice the tone.
        const double expected = c.level * 2.0 * kAmplitude;
        EXPECT_NEAR(20.0 * std::log10(WindowedAmplitudeAt(out.left, from, 16384, c.octave, kRate) / expected), 0.0, 1.5)
            << c.preset;
        EXPECT_LT(WindowedAmplitudeAt(out.left, from, 16384, kTone, kRate), 1e-3 * kAmplitude) << c.preset;
        EXPECT_EQ(out.left, out.right);
    }
}

TEST(OctaverMix, ShiftersHearThePlainSumOfBothChannels)
{
    // A mono track (right = left) and a left channel carrying twice the
    // signal alone feed the shifters the same.
    const std::vector<float> tone = HarmonicTone(130.0, 48000.0, 12000, 4);
    std::vector<float> doubled = tone;
    for (float& v : doubled)
        v *= 2.0f;
    auto mono = MakeOctaver(0.0f, 100.0f, 73.0f);
    auto single = MakeOctaver(0.0f, 100.0f, 73.0f);
    const Stereo a = Through(*mono, {tone, tone});
    const Stereo b = Through(*single, {doubled, std::vector<float>(tone.size(), 0.0f)});
    EXPECT_EQ(a.left, b.left);
    EXPECT_GT(Peak(a.left, 6000), 0.1f);
}

TEST(OctaverMix, SilentVoiceLeavesItsShifterStill)
{
    // The lower shifter of the first octaver sits out the first second; if it
    // stood still, it then sounds exactly like a fresh one.
    const std::vector<float> first = HarmonicTone(300.0, 48000.0, 48000, 3);
    const std::vector<float> second = HarmonicTone(170.0, 48000.0, 20000, 3);
    auto paused = MakeOctaver(0.0f, 0.0f, 0.0f);
    Through(*paused, {first, first});
    Set(*paused, Ot::kLowerLevel, 100.0f);
    auto fresh = MakeOctaver(0.0f, 100.0f, 0.0f);
    EXPECT_EQ(Through(*paused, {second, second}).left, Through(*fresh, {second, second}).left);
}

TEST(OctaverFrame, LongerBlockIsProcessedInSlicesOfTheCapacity)
{
    // A block longer than the shifters were built for keeps them (nothing
    // is reallocated while audio runs) and sounds as the same signal in
    // blocks of the capacity.
    auto octaver = MakeOctaver(0.0f, 100.0f, 100.0f);
    const std::vector<float> longTone = HarmonicTone(220.0, 48000.0, 5000, 2);
    const Stereo out = Through(*octaver, {longTone, longTone}, 5000);
    EXPECT_EQ(octaver->LowerShifter().Capacity(), 256);
    EXPECT_EQ(octaver->UpperShifter().Capacity(), 256);
    auto sliced = MakeOctaver(0.0f, 100.0f, 100.0f);
    EXPECT_EQ(out.left, Through(*sliced, {longTone, longTone}, 256).left);
    EXPECT_GT(Peak(out.left, 2000), 0.05f);
}

namespace {

// The strongest component of count samples from from, and how far (in dB)
// every other component stays under it.  Components are the local maxima
// of a Hann-windowed spectrum; the main lobe of the strongest is the
// neighbourhood where its magnitude keeps falling away from the peak.
struct Dominance {
    double frequency;
    double marginDb;
};

Dominance StrongestComponent(const std::vector<float>& signal, size_t from, size_t count, double rate)
{
    RealFft fft{int32_t(count)};
    for (size_t i = 0; i < count; ++i) {
        const double window = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / double(count));
        fft.Time()[i] = signal[from + i] * float(window);
    }
    fft.Forward();
    std::vector<double> magnitude(size_t(fft.Bins()));
    for (size_t k = 0; k < magnitude.size(); ++k)
        magnitude[k] = std::abs(fft.Spectrum()[k]);
    const size_t best = size_t(std::max_element(magnitude.begin() + 1, magnitude.end()) - magnitude.begin());
    size_t low = best;
    while (low > 1 && magnitude[low - 1] < magnitude[low])
        --low;
    size_t high = best;
    while (high + 1 < magnitude.size() && magnitude[high + 1] < magnitude[high])
        ++high;
    double other = 0.0;
    for (size_t k = 1; k + 1 < magnitude.size(); ++k)
        if ((k < low || k > high) && magnitude[k] >= magnitude[k - 1] && magnitude[k] >= magnitude[k + 1])
            other = std::max(other, magnitude[k]);
    return {StrongestFrequency(signal, from, count, rate), 20.0 * std::log10(magnitude[best] / other)};
}

} // namespace

TEST(OctaverQuality, EachVoiceOfA110HzToneStandsClear)
{
    for (double rate : {44100.0, 48000.0}) {
        const std::vector<float> tone = HarmonicTone(110.0, rate, size_t(2 * rate), 1);
        struct Voice {
            float lower, upper;
            double expected, tolerance;
        };
        for (const Voice& v : {Voice{100.0f, 0.0f, 55.0, 0.5}, Voice{0.0f, 100.0f, 220.0, 1.0}}) {
            auto octaver = MakeOctaver(0.0f, v.lower, v.upper, rate);
            const Stereo out = Through(*octaver, {tone, tone});
            // Past the latency and a frame of settling, one second of output.
            const size_t from = size_t(octaver->LowerShifter().Latency() + octaver->LowerShifter().FrameLength());
            const Dominance d = StrongestComponent(out.left, from, size_t(rate), rate);
            EXPECT_NEAR(d.frequency, v.expected, v.tolerance) << rate;
            EXPECT_GE(d.marginDb, 25.0) << rate << " " << v.expected;
        }
    }
}

TEST(OctaverQuality, FollowsASweepFrom80To1000Hz)
{
    // An exponential sweep over four seconds; every 100 ms window of each
    // voice holds half or twice the frequency the input had a latency
    // earlier, within a quarter tone.
    constexpr double kRate = 48000.0;
    constexpr double kSeconds = 4.0;
    const double growth = std::log(1000.0 / 80.0) / kSeconds;
    std::vector<float> sweep(size_t(kSeconds * kRate));
    for (size_t i = 0; i < sweep.size(); ++i) {
        const double t = double(i) / kRate;
        sweep[i] = float(0.3 * std::sin(2.0 * std::numbers::pi * 80.0 * (std::exp(growth * t) - 1.0) / growth));
    }
    for (const double ratio : {0.5, 2.0}) {
        auto octaver = MakeOctaver(0.0f, ratio < 1.0 ? 100.0f : 0.0f, ratio > 1.0 ? 100.0f : 0.0f, kRate);
        const Stereo out = Through(*octaver, {sweep, sweep});
        const double latency = octaver->LowerShifter().Latency();
        constexpr size_t kWindow = 4800;
        for (size_t from = size_t(latency) + 2 * kWindow; from + kWindow <= out.left.size(); from += kWindow) {
            const double inputTime = (double(from) + kWindow / 2.0 - latency) / kRate;
            const double expected = ratio * 80.0 * std::exp(growth * inputTime);
            EXPECT_NEAR(Cents(StrongestFrequency(out.left, from, kWindow, kRate), expected), 0.0, 50.0)
                << ratio << " at " << inputTime << " s";
        }
    }
}

