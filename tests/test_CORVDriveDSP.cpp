// Behaviour the four drive pedals share, run on each of them.
#include "effects/drive/CORVDistortionBassDSP.h"
#include "effects/drive/CORVDistortionDSP.h"
#include "effects/drive/CORVOverDriveBassDSP.h"
#include "effects/drive/CORVOverDriveDSP.h"

#include "tests/DriveTestSupport.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <functional>
#include <memory>
#include <random>

using namespace drive_testing;
using testing_support::ProcessInBlocks;

namespace {

struct Pedal {
    const char* name;
    std::function<std::unique_ptr<CORVDriveDSP>(double)> make;
    float feedback;  // the loop's share, 0.06 for the overdrives, 0.82 for the distortions
    bool clipInsideLoop;
};

void PrintTo(const Pedal& pedal, std::ostream* os) { *os << pedal.name; }

template <class T>
std::unique_ptr<CORVDriveDSP> Make(double fs)
{
    return std::make_unique<T>(fs, 256);
}

const Pedal kPedals[] = {
    {"OD", Make<CORVOverDriveDSP>, 0.06f, false},
    {"ODB", Make<CORVOverDriveBassDSP>, 0.06f, false},
    {"DT", Make<CORVDistortionDSP>, 0.82f, true},
    {"DTB", Make<CORVDistortionBassDSP>, 0.82f, true},
};

const std::vector<EqSectionSpec> kInputRows{
    {kEqLowShelf, 40, -240, 0}, {kEqPeak, 68, -240, 2}, {kEqPeak, 68, -240, 2}, {kEqPeak, 68, -240, 2}};

// The way the effect instance sets an algorithm up: built at some rate, then
// told the host's rate, reinitialised by the first block.
std::unique_ptr<CORVDriveDSP> Prepared(const Pedal& pedal, double fs)
{
    auto effect = pedal.make(48000.0);
    effect->sampleRate = fs;
    effect->needsReinit = true;
    return effect;
}

std::vector<float> Noise(size_t frames, float amplitude, unsigned seed = 7)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> uniform(-amplitude, amplitude);
    std::vector<float> signal(frames);
    for (float& x : signal)
        x = uniform(random);
    return signal;
}

// Left output for a stereo input with the right channel inverted.
std::vector<float> Processed(CORVDriveDSP& effect, const std::vector<float>& input, int32_t blockSize)
{
    std::vector<float> left = input;
    std::vector<float> right(input.size());
    std::transform(input.begin(), input.end(), right.begin(), [](float x) { return -x; });
    ProcessInBlocks(effect, left, right, blockSize);
    return left;
}

// Every filter state and feedback cell of both channels is exactly +0 or -0.
bool AllStateZero(const CORVDriveDSP& effect)
{
    bool zero = true;
    const auto check = [&](const BiquadState& s) { zero = zero && s.state1 == 0.0f && s.state2 == 0.0f; };
    for (int32_t ch = 0; ch < 2; ++ch) {
        const DriveChannel& c = effect.Channel(ch);
        for (const FixedSection& s : c.input)
            check(s.state);
        std::for_each(c.colour.begin(), c.colour.end(), check);
        for (float cell : c.cells)
            zero = zero && cell == 0.0f;
        for (const FixedSection& s : c.output)
            check(s.state);
    }
    return zero;
}

std::complex<double> Cascade(const std::array<FixedSection, kVoicingSections>& bank, double f, double fs)
{
    std::complex<double> h = 1.0;
    for (const FixedSection& s : bank)
        h *= BiquadResponse(s.coefs, f, fs);
    return h;
}

// The small-signal response the chain promises: drive, input voicing, the
// colour low-pass C³ inside a loop that feeds k·y back after d = fs/32000
// samples (1..3, split between two neighbouring taps), then the level and dry
// gains and the output voicing.
std::complex<double> ExpectedResponse(const CORVDriveDSP& e, float feedback, double f, double fs)
{
    const double d = std::clamp(fs / 32000.0, 1.0, 3.0);
    const double whole = std::floor(d);
    const double fraction = d - whole;
    const std::complex<double> zInv = std::polar(1.0, -2.0 * std::numbers::pi * f / fs);
    const std::complex<double> colour = std::pow(BiquadResponse(e.ColourCoefs(), f, fs), 3);
    const std::complex<double> echo =
        double(feedback) * ((1.0 - fraction) * std::pow(zInv, whole) + fraction * std::pow(zInv, whole + 1.0));
    const std::complex<double> driven =
        double(e.DriveGain()) * Cascade(e.Channel(0).input, f, fs) * colour / (1.0 - echo * colour);
    return (double(e.LevelGain()) * driven + double(e.DryGain())) * Cascade(e.Channel(0).output, f, fs);
}

class DrivePedal : public testing::TestWithParam<Pedal> {};

} // namespace

INSTANTIATE_TEST_SUITE_P(, DrivePedal, testing::ValuesIn(kPedals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DriveLoop, DelayAndTapWeightsFollowTheSampleRate)
{
    struct Expected {
        double fs;
        float delay;
        int32_t whole;
        float farWeight;
    };
    for (const Expected& x : {Expected{22050.0, 1.0f, 1, 0.0f}, Expected{32000.0, 1.0f, 1, 0.0f},
                              Expected{44100.0, 1.378125f, 1, 0.378125f}, Expected{48000.0, 1.5f, 1, 0.5f},
                              Expected{88200.0, 2.75625f, 2, 0.75625f}, Expected{96000.0, 3.0f, 3, 0.0f},
                              Expected{192000.0, 3.0f, 3, 0.0f}}) {
        CORVDistortionDSP effect(x.fs, 256);
        const FeedbackTaps& taps = effect.Taps();
        EXPECT_EQ(taps.delay, x.delay) << x.fs;
        EXPECT_EQ(taps.whole, x.whole) << x.fs;
        EXPECT_NEAR(taps.farWeight, x.farWeight, 3e-7) << x.fs;  // d itself is a float
        EXPECT_EQ(taps.nearWeight + taps.farWeight, 1.0f) << x.fs;
        // Read i cells behind the write position, and one further.
        const LoopPositions& at = effect.Positions();
        EXPECT_EQ((at.write - at.near + 3) % 3, x.whole % 3) << x.fs;
        EXPECT_EQ((at.near - at.far + 3) % 3, 1) << x.fs;
    }
}

TEST_P(DrivePedal, ColourIsASteepLowPassFrom3To6Khz)
{
    for (double fs : {22050.0, 44100.0, 192000.0}) {
        auto effect = GetParam().make(fs);
        for (auto [knob, corner] : {std::pair{0.0f, 3000.0}, {45.0f, 4350.0}, {100.0f, 6000.0}}) {
            SetKnobs(*effect, 50.0f, knob, 50.0f);
            const BiquadCoefs& c = effect->ColourCoefs();
            EXPECT_EQ(c.b1, 2.0f);
            EXPECT_EQ(c.b2, 1.0f);
            EXPECT_NEAR(BiquadMagnitudeDb(c, corner, fs), -3.0103, 1e-3) << fs << " " << knob;
            ExpectDb(c, 0.0, fs, 0.0, 1e-6, "colour");
            EXPECT_LT(BiquadMagnitudeDb(c, 2.0 * corner, fs), -12.0);
        }
    }
}

TEST_P(DrivePedal, InputVoicingCutsTheLowestOctave)
{
    auto effect = GetParam().make(44100.0);
    ExpectVoicing(*effect, &DriveChannel::input, kInputRows, 0.01);
}

// Quiet sines stay below the clipper, so the pedal is linear and must
// measure the response of its own sections, colour filter and loop.
TEST_P(DrivePedal, SmallSignalsMeasureTheLoopAtEveryRate)
{
    for (double fs : {22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0}) {
        auto effect = Prepared(GetParam(), fs);
        SetKnobs(*effect, 60.0f, 30.0f, 0.0f);
        for (double f : {700.0, 2500.0}) {
            const size_t frames = size_t(fs / 2);
            const std::vector<float> input = testing_support::Sine(f, fs, frames, 0.004f);
            const std::vector<float> output = Processed(*effect, input, 4096);
            const double measured = AmplitudeAt(output, f, fs, frames / 2) / 0.004;
            EXPECT_NEAR(Db(measured), Db(std::abs(ExpectedResponse(*effect, GetParam().feedback, f, fs))), 0.01)
                << fs << " Hz, sine at " << f;
        }
    }
}

// Driven hard with DC, the clipper pins the signal at ±1 (before the loop in
// the overdrives, so the echo rides on top; inside it in the distortions).
TEST_P(DrivePedal, ClipperHoldsTheLoopAtOne)
{
    auto effect = Prepared(GetParam(), 44100.0);
    SetKnobs(*effect, 100.0f, 45.0f, 100.0f);
    const double colourDc = std::pow(BiquadMagnitude(effect->ColourCoefs(), 0.0, 44100.0), 3);
    const double k = GetParam().feedback;
    const double clipped = GetParam().clipInsideLoop ? colourDc : colourDc / (1.0 - k * colourDc);
    const double outputDc = std::abs(Cascade(effect->Channel(0).output, 0.0, 44100.0));
    for (float x : {0.5f, -0.25f}) {
        effect->Reset();
        const std::vector<float> output = Processed(*effect, std::vector<float>(44100, x), 512);
        const double expected = (effect->LevelGain() * clipped * (x > 0 ? 1 : -1) + effect->DryGain() * x) * outputDc;
        // At DC the float state of the 100 Hz shelf carries a rounding step
        // of about 1e-3 relative; the placements differ by 6 % or more.
        EXPECT_NEAR(output.back() / expected, 1.0, 2e-3) << x;
    }
}

TEST_P(DrivePedal, SilenceDecaysToExactZeroWithoutSubnormals)
{
    for (double fs : {44100.0, 192000.0}) {
        auto effect = Prepared(GetParam(), fs);
        SetKnobs(*effect, 100.0f, 100.0f, 100.0f);
        Processed(*effect, Noise(size_t(fs / 4), 1.0f), 256);
        const std::vector<float> tail = Processed(*effect, std::vector<float>(size_t(fs * 2), 0.0f), 256);
        for (float y : tail)
            ASSERT_FALSE(testing_support::IsSubnormal(y)) << fs;
        EXPECT_EQ(testing_support::Peak(tail, tail.size() - 1000), 0.0f) << fs;
        EXPECT_TRUE(AllStateZero(*effect)) << fs;
    }
}

TEST_P(DrivePedal, ReinitialisingRedesignsTheSameAndClearsState)
{
    auto effect = Prepared(GetParam(), 44100.0);
    Processed(*effect, Noise(1000, 0.5f), 1000);
    EXPECT_FALSE(AllStateZero(*effect));
    const DriveChannel before = effect->Channel(1);
    const BiquadCoefs colour = effect->ColourCoefs();
    effect->UpdateParameters(true);
    EXPECT_TRUE(AllStateZero(*effect));
    EXPECT_EQ(effect->Positions().write, 0);
    EXPECT_FALSE(effect->needsReinit);
    for (size_t k = 0; k < kVoicingSections; ++k) {
        EXPECT_TRUE(SameCoefs(effect->Channel(1).input[k].coefs, before.input[k].coefs));
        EXPECT_TRUE(SameCoefs(effect->Channel(1).output[k].coefs, before.output[k].coefs));
    }
    EXPECT_TRUE(SameCoefs(effect->ColourCoefs(), colour));

    // A new rate arrives as a reinitialisation request at the next block.
    effect->sampleRate = 96000.0;
    effect->needsReinit = true;
    Processed(*effect, std::vector<float>(16, 0.0f), 16);
    EXPECT_EQ(effect->Taps().delay, 3.0f);
    ExpectVoicing(*effect, &DriveChannel::input, kInputRows, 0.01);
}
