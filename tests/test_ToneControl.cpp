// The guitar and bass tone controls: every voicing's digital response follows
// its passive network, solved here on its own by complex node analysis.
#include "effects/common/BiquadResponse.h"
#include "effects/common/Decibels.h"
#include "effects/drive/CORVToneControlBassDSP.h"
#include "effects/drive/CORVToneControlGuitarDSP.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <numbers>

using testing_support::MakeAtHostRate;
using testing_support::MeasuredGainDb;
using Base = CORVToneControlBase;
using Complex = std::complex<double>;

namespace {

struct Family {
    const char* name;
    std::function<std::unique_ptr<Base>(double)> make;
};

const Family kFamilies[] = {
    {"TCG", [](double fs) -> std::unique_ptr<Base> { return MakeAtHostRate<CORVToneControlGuitarDSP>(fs); }},
    {"TCB", [](double fs) -> std::unique_ptr<Base> { return MakeAtHostRate<CORVToneControlBassDSP>(fs); }},
};

struct Knobs {
    float bass, mid, treble;
};

Base& Set(Base& effect, float type, Knobs k, float volume = 0.0f)
{
    effect.GetParameter(Base::kType)->SetValue(type);
    effect.GetParameter(Base::kBass)->SetValue(k.bass);
    effect.GetParameter(Base::kMid)->SetValue(k.mid);
    effect.GetParameter(Base::kTreble)->SetValue(k.treble);
    effect.GetParameter(Base::kVolume)->SetValue(volume);
    effect.UpdateParameters(effect.needsReinit);
    return effect;
}

// The network's wiper voltage for 1 V in: nodes treble-pot top, slope node,
// treble-pot bottom, mid-pot top and wiper, by Gaussian elimination.
Complex NetworkResponse(const ToneStackComponents& c, const PotPositions& pot, double frequency)
{
    enum { kTop, kSlope, kBottom, kMidTop, kWiper, kNodes };
    constexpr int kIn = -1, kGround = -2;
    const Complex jw(0.0, 2.0 * std::numbers::pi * frequency);
    std::array<std::array<Complex, kNodes + 1>, kNodes> y{}; // last column: injected current
    auto stamp = [&](int i, int j, Complex g) {
        for (auto [n, other] : {std::pair{i, j}, std::pair{j, i}}) {
            if (n < 0)
                continue;
            y[n][n] += g;
            if (other >= 0)
                y[n][other] -= g;
            else if (other == kIn)
                y[n][kNodes] += g;
        }
    };
    stamp(kIn, kTop, jw * c.trebleCap);
    stamp(kIn, kSlope, 1.0 / c.slopeResistor);
    stamp(kSlope, kBottom, jw * c.bassCap);
    stamp(kSlope, kMidTop, jw * c.midCap);
    stamp(kTop, kWiper, 1.0 / ((1.0 - pot.treble) * c.treblePot));
    stamp(kWiper, kBottom, 1.0 / (pot.treble * c.treblePot));
    stamp(kBottom, kMidTop, 1.0 / (pot.bass * c.bassPot));
    stamp(kMidTop, kGround, 1.0 / (pot.mid * c.midPot));
    for (int col = 0; col < kNodes; ++col) {
        int pivot = col;
        for (int r = col + 1; r < kNodes; ++r)
            if (std::abs(y[r][col]) > std::abs(y[pivot][col]))
                pivot = r;
        std::swap(y[col], y[pivot]);
        for (int r = 0; r < kNodes; ++r) {
            if (r == col)
                continue;
            const Complex f = y[r][col] / y[col][col];
            for (int k = col; k <= kNodes; ++k)
                y[r][k] -= f * y[col][k];
        }
    }
    return y[kWiper][kNodes] / y[kWiper][kWiper];
}

double DigitalDb(const Base& effect, double frequency)
{
    const BiquadCoefs sections[] = {effect.Sections().highPass, effect.Sections().body};
    return CascadeMagnitudeDb(sections, frequency, effect.sampleRate);
}

double AnalogDb(const ToneStackVoicing& v, Knobs k, double frequency)
{
    const PotPositions pots = PotFractions(k.bass, k.mid, k.treble);
    return testing_support::Db(std::abs(NetworkResponse(v.parts, pots, frequency))) + v.makeUpDb;
}

const Knobs kSettings[] = {{0, 0, 0},   {50, 50, 50}, {100, 100, 100}, {100, 0, 0}, {0, 100, 0},
                           {0, 0, 100}, {100, 0, 100}, {25, 75, 10},   {0, 50, 50}};

} // namespace

TEST(ToneControl, KnobsMoveTheWipersWithAnAudioTaperOnBass)
{
    const PotPositions half = PotFractions(50.0f, 50.0f, 50.0f);
    EXPECT_NEAR(half.bass, 0.005 + 0.99 * 0.1, 1e-12); // a log pot: a tenth of the track at half rotation
    EXPECT_NEAR(half.mid, 0.5, 1e-12);
    EXPECT_NEAR(half.treble, 0.5, 1e-12);
    const PotPositions ends = PotFractions(0.0f, 100.0f, 0.0f);
    EXPECT_NEAR(ends.bass, 0.005, 1e-12); // the track's ends keep a little resistance
    EXPECT_NEAR(ends.mid, 0.995, 1e-12);
    EXPECT_NEAR(ends.treble, 0.005, 1e-12);
}

TEST(ToneControl, EveryVoicingFollowsItsNetwork)
{
    for (const Family& family : kFamilies) {
        for (double fs : {44100.0, 48000.0, 96000.0}) {
            auto effect = family.make(fs);
            for (size_t type = 0; type < effect->Voicings().size(); ++type) {
                const ToneStackVoicing& voicing = effect->Voicings()[type];
                for (const Knobs& k : kSettings) {
                    Set(*effect, float(type), k);
                    double worst = 0.0;
                    for (double f = 30.0; f <= 8000.0; f *= 1.02)
                        worst = std::max(worst, std::fabs(DigitalDb(*effect, f) - AnalogDb(voicing, k, f)));
                    // The design itself keeps within 0.03 dB; the rest is room
                    // for the rounding of the float coefficients.
                    EXPECT_LT(worst, 0.1) << family.name << " " << voicing.name << " at " << fs << " Hz, knobs "
                                          << k.bass << "/" << k.mid << "/" << k.treble;
                }
            }
        }
    }
}

TEST(ToneControl, TheSoundIsTheDesignedResponseAndVolumeItsExactGain)
{
    for (const Family& family : kFamilies) {
        auto effect = family.make(48000.0);
        Set(*effect, 1.0f, {70, 20, 40});
        for (double f : {60.0, 700.0, 5000.0})
            EXPECT_NEAR(MeasuredGainDb(*effect, f, 48000.0), DigitalDb(*effect, f), 0.01) << family.name << " " << f;

        const std::vector<float> input = testing_support::Sine(300.0, 48000.0, 4096);
        std::vector<float> reference = input, right = input;
        effect->Reset();
        testing_support::ProcessInBlocks(*effect, reference, right, 512);
        for (float volumeDb : {-40.0f, -12.5f, 20.0f}) {
            std::vector<float> left = input;
            right = input;
            Set(*effect, 1.0f, {70, 20, 40}, volumeDb).Reset();
            testing_support::ProcessInBlocks(*effect, left, right, 512);
            const double measured = testing_support::Db(testing_support::Rms(left) / testing_support::Rms(reference));
            EXPECT_NEAR(measured, volumeDb, 1e-4) << family.name;
        }
    }
}

// Turning a knob moves it a step per block; the state is kept across each
// redesign, so the sound glides instead of clicking: no step between two
// samples is even twice the steepest step of the input sine.  (Clearing the
// state at each redesign makes steps of ten to a hundred times that.)
TEST(ToneControl, TurningTheKnobsGlides)
{
    constexpr int32_t kBlock = 64;
    constexpr double kFrequency = 150.0;
    constexpr float kLevel = 0.5f;
    const double inputStep = kLevel * 2.0 * std::numbers::pi * kFrequency / 48000.0;
    for (const Family& family : kFamilies) {
        for (size_t type = 0; type < family.make(48000.0)->Voicings().size(); ++type) {
            auto effect = family.make(48000.0);
            std::vector<float> left = testing_support::Sine(kFrequency, 48000.0, 150 * kBlock, kLevel);
            std::vector<float> right = left;
            for (size_t start = 0, block = 0; start < left.size(); start += kBlock, ++block) {
                const float knob = std::clamp(float(block) - 20.0f, 0.0f, 100.0f);
                Set(*effect, float(type), {knob, knob, knob});
                float* channels[2] = {left.data() + start, right.data() + start};
                float peaks[4];
                effect->Process(channels, channels, peaks, peaks + 2, kBlock);
            }
            float step = 0.0f;
            for (size_t i = 10 * kBlock; i < left.size(); ++i)
                step = std::max(step, std::fabs(left[i] - left[i - 1]));
            EXPECT_LT(step, 2.0 * inputStep) << family.name << " type " << type;
        }
    }
}
