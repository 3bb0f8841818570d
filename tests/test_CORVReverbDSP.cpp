#include "effects/modulation/CORVReverbDSP.h"

#include "effects/common/BiquadSection.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;
using Rv = CORVReverbDSP;

namespace {

// The same signal into both channels; the left output (the two sides'
// tails differ by design).
std::vector<float> Listen(CORVDSPAlgInterface& reverb, const std::vector<float>& input)
{
    return Play(reverb, input, 512, false);
}

std::unique_ptr<Rv> Wet(float mode, float decay, float color = 0.0f, double sampleRate = 44100.0)
{
    auto reverb = Make<Rv>(sampleRate);
    Set(*reverb, Rv::kMix, 100.0f);
    Set(*reverb, Rv::kDecay, decay);
    Set(*reverb, Rv::kColor, color);
    Set(*reverb, Rv::kMode, mode);
    reverb->UpdateParameters(true);
    return reverb;
}

std::vector<float> Filtered(std::vector<float> signal, BiquadSection section)
{
    for (float& v : signal)
        v = section.process(v);
    return signal;
}

// T30 from Schroeder's backward-integrated energy: the slope of the decay
// curve between -5 and -35 dB, extended to 60 dB.
double ReverberationTime(const std::vector<float>& response, double sampleRate)
{
    std::vector<double> remaining(response.size() + 1, 0.0);
    for (size_t i = response.size(); i-- > 0;)
        remaining[i] = remaining[i + 1] + double(response[i]) * response[i];
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t i = 0; i < response.size(); ++i) {
        const double level = 10.0 * std::log10(remaining[i] / remaining[0]);
        if (level <= -5.0 && level >= -35.0) {
            const double t = double(i) / sampleRate;
            n += 1;
            sx += t;
            sy += level;
            sxx += t * t;
            sxy += t * level;
        }
    }
    return -60.0 * (n * sxx - sx * sx) / (n * sxy - sx * sy);
}

// Energy above 4 kHz over energy below 1 kHz.
double Brightness(const std::vector<float>& response, double sampleRate)
{
    BiquadSection high;
    BiquadSection low;
    high.setSampleRate(sampleRate);
    low.setSampleRate(sampleRate);
    high.designHighPass(4000.0f, true);
    low.designLowPass(1000.0f, true);
    const double highRms = Rms(Filtered(response, high));
    const double lowRms = Rms(Filtered(response, low));
    return highRms * highRms / (lowRms * lowRms);
}

} // namespace

TEST(CORVReverbDSP, FirstReflectionArrivesWithTheSpacesDistanceAtEveryRate)
{
    // Near walls in the rooms, far ones in the halls, the spring's coils at
    // once, the tunnel's walls in between: samples at 44.1 kHz to the first
    // reflection, which the left side hears.  (The plate has none.)
    for (const auto& [mode, first] : {std::pair{0.0f, 315}, {1.0f, 781}, {2.0f, 1156}, {3.0f, 1156}, {4.0f, 69},
                                      {6.0f, 429}}) {
        for (int scale : {1, 2}) {
            auto reverb = Wet(mode, 50.0f, 0.0f, 44100.0 * scale);
            const std::vector<float> response = Listen(*reverb, Impulse(2400 * size_t(scale)));
            EXPECT_EQ(FirstWhere(response, 0, [](float v) { return v != 0.0f; }),
                      size_t(first * scale))
                << mode << " at " << 44100 * scale;
        }
    }
}

namespace {

// The reverb's answer to an impulse on both channels, long enough for the
// slowest decay to fall well past -35 dB.
Stereo ImpulseResponse(float mode, float decay, double rate)
{
    auto reverb = Wet(mode, decay, 0.0f, rate);
    const std::vector<float> impulse = Impulse(size_t(rate * (1.5 * reverb->DecayTime() + 0.6)));
    return PlayStereo(*reverb, {impulse, impulse});
}

// The largest normalised cross-correlation of two signals over count
// samples from from, at lags up to +-lag samples.
double Correlation(const std::vector<float>& a, const std::vector<float>& b, size_t from, size_t count, int lag)
{
    double aa = 0.0, bb = 0.0;
    for (size_t i = from; i < from + count; ++i) {
        aa += double(a[i]) * a[i];
        bb += double(b[i]) * b[i];
    }
    double largest = 0.0;
    for (int l = -lag; l <= lag; ++l) {
        double ab = 0.0;
        for (size_t i = from; i < from + count; ++i)
            ab += double(a[i]) * b[size_t(int64_t(i) + l)];
        largest = std::max(largest, std::abs(ab) / std::sqrt(aa * bb));
    }
    return largest;
}

// The reverberation time a listener hears: the response above 16 kHz,
// present only at high sample rates, dies within milliseconds in every
// space and is left out, as an acoustician's broadband measurement leaves it.
double AudibleReverberationTime(const std::vector<float>& response, double rate)
{
    BiquadSection audible;
    audible.setSampleRate(rate);
    audible.designLowPass(16000.0f, true);
    return ReverberationTime(Filtered(response, audible), rate);
}

} // namespace

TEST(CORVReverbDSP, MeasuredReverberationTimes)
{
    constexpr float kDecays[] = {0.0f, 50.0f, 100.0f};
    double rt[7][3]; // at 44.1 kHz, per mode and "Decay"
    for (int mode = 0; mode < 7; ++mode) {
        for (int d = 0; d < 3; ++d) {
            const std::string where = std::to_string(mode) + " at " + std::to_string(int(kDecays[d]));
            const Stereo response = ImpulseResponse(float(mode), kDecays[d], 44100.0);
            rt[mode][d] = AudibleReverberationTime(response.left, 44100.0);
            // The quoted time holds for the middle of the spectrum; the highs
            // die sooner, so the whole band decays a little faster.
            const double quoted = Wet(float(mode), kDecays[d])->DecayTime();
            EXPECT_GT(rt[mode][d], 0.75 * quoted) << where;
            EXPECT_LT(rt[mode][d], quoted) << where;
            if (d == 1) {
                // The tails of the two sides are different sounds, not one
                // sound shifted or scaled: half a second of tail, lags to 5 ms.
                EXPECT_LT(Correlation(response.left, response.right, 2205, 22050, 220), 0.5) << where;
                // The same space at another rate: the lines scale with it.
                const double other =
                    AudibleReverberationTime(ImpulseResponse(float(mode), kDecays[d], 96000.0).left, 96000.0);
                EXPECT_NEAR(other / rt[mode][d], 1.0, 0.1) << where;
            }
        }
        EXPECT_LT(rt[mode][0], rt[mode][1]) << mode;
        EXPECT_LT(rt[mode][1], rt[mode][2]) << mode;
    }
    // "Small Room", "Big Room", "Hall", "Long Hall": each longer than the last.
    for (int d = 0; d < 3; ++d)
        for (int mode = 0; mode < 3; ++mode)
            EXPECT_LT(rt[mode][d], rt[mode + 1][d]) << mode << " at " << kDecays[d];
}

TEST(CORVReverbDSP, SpacesSoundTheirPart)
{
    // Small rooms short, halls long.
    EXPECT_LT(Wet(0.0f, 50.0f)->DecayTime(), 0.7f);
    EXPECT_GT(Wet(3.0f, 50.0f)->DecayTime(), 3.0f);

    const auto brightnessOf = [](float mode, float color) {
        auto reverb = Wet(mode, 50.0f, color);
        return Brightness(Listen(*reverb, Impulse(44100)), 44100.0);
    };
    // The plate is brighter than the hall, the tunnel darker; "Color" tilts.
    EXPECT_GT(brightnessOf(5, 0), 2.0 * brightnessOf(2, 0));
    EXPECT_LT(brightnessOf(6, 0), 0.5 * brightnessOf(2, 0));
    EXPECT_GT(brightnessOf(2, 100), 4.0 * brightnessOf(2, 0));
    EXPECT_LT(brightnessOf(2, -100), 0.25 * brightnessOf(2, 0));
}

TEST(CORVReverbDSP, MixBlendsDryAndWetAtEqualPower)
{
    // Nothing of the reverb arrives within the first sample, so it shows the
    // dry gain alone.
    for (float mix : {0.0f, 42.0f, 100.0f}) {
        auto reverb = Make<Rv>();
        Set(*reverb, Rv::kMix, mix);
        const auto response = Listen(*reverb, Impulse(22050));
        EXPECT_FLOAT_EQ(response[0], std::sqrt(1.0f - mix / 100.0f)) << mix;
        EXPECT_EQ(Peak(response, 1) == 0.0f, mix == 0.0f) << mix;
    }
}

