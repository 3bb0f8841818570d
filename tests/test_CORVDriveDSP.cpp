// The four drive pedals and the fixed sections that voice them: each pedal's
// knob laws and voicing tables, and the small-signal response of the whole
// chain against the model built from its own sections.
#include "effects/drive/CORVDistortionBassDSP.h"
#include "effects/drive/CORVDistortionDSP.h"
#include "effects/drive/CORVOverDriveBassDSP.h"
#include "effects/drive/CORVOverDriveDSP.h"
#include "effects/drive/FixedSection.h"

#include "effects/common/BiquadResponse.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <numbers>
#include <random>

using testing_support::AmplitudeAt;
using testing_support::Db;
using testing_support::ProcessInBlocks;

namespace {

inline double Squared(double x) { return x * x; }

// Knob settings (output or mix, colour, drive) and the gains they give,
// against values of six or seven significant digits.
struct KnobLaw {
    float output, colour, drive;
    double driveGain, levelGain, dryGain;
};

struct Pedal {
    const char* name;
    std::function<std::unique_ptr<CORVDriveDSP>(double)> make;
    float feedback;  // the loop's share, 0.06 for the overdrives, 0.82 for the distortions
    bool clipInsideLoop;
    std::vector<KnobLaw> laws;
    std::vector<EqSectionSpec> outputRows;
};

void PrintTo(const Pedal& pedal, std::ostream* os) { *os << pedal.name; }

template <class T>
std::unique_ptr<CORVDriveDSP> Make(double fs)
{
    return std::make_unique<T>(fs, 256);
}

// The overdrives' voicing shelves at 100 Hz, the distortions' at 200 Hz.
const std::vector<EqSectionSpec> kOverdriveRows{
    {kEqSecondLowShelf, 100, 84, 0}, {kEqPeak, 1625, -49, 10}, {kEqPeak, 5383, 136, 5}, {kEqPeak, 11246, 191, 5}};
const std::vector<EqSectionSpec> kDistortionRows{
    {kEqSecondLowShelf, 200, 85, 0}, {kEqPeak, 1625, -49, 10}, {kEqPeak, 5383, 136, 5}, {kEqPeak, 11776, 203, 5}};

// Guitar drives: drive +10..+65 dB (overdrive) or +20..+60 dB (distortion),
// level -60..-10 dB or -40..-15 dB, no dry path.  Bass drives: the driven
// signal fades in under a constant dry signal up to the middle of the mix
// knob; from there the dry signal fades out under a constant driven one.
const Pedal kPedals[] = {
    {"OD", Make<CORVOverDriveDSP>, 0.06f, false,
     {{74, 45, 80, 501.187, 0.0707946, 0}, {0, 45, 0, 3.16228, 0.001, 0}, {100, 45, 100, 1778.28, 0.316228, 0}},
     kOverdriveRows},
    {"ODB", Make<CORVOverDriveBassDSP>, 0.06f, false,
     {{0, 45, 80, 501.187, 0.00025, 0.632456}, {49, 45, 80, 501.187, 0.0704596, 0.632456},
      {50, 45, 80, 501.187, 0.0790569, 0.6324555}, {74, 45, 80, 501.187, 0.0790569, 0.0399052},
      {100, 45, 80, 501.187, 0.0790569, 0.002}, {50, 45, 100, 1778.28, 0.0790569, 0.6324555}},
     kOverdriveRows},
    {"DT", Make<CORVDistortionDSP>, 0.82f, true,
     {{69, 45, 90, 630.957, 0.0728618, 0}, {0, 45, 0, 10.0, 0.01, 0}, {100, 45, 100, 1000.0, 0.177828, 0}},
     kDistortionRows},
    {"DTB", Make<CORVDistortionBassDSP>, 0.82f, true,
     {{0, 45, 90, 630.957, 0.002, 0.533484}, {49, 45, 90, 630.957, 0.0335761, 0.533484},
      {50, 45, 90, 630.957, 0.0355656, 0.5334838}, {69, 45, 90, 630.957, 0.0355656, 0.178699},
      {100, 45, 90, 630.957, 0.0355656, 0.03}, {0, 0, 100, 1000.0, 0.002, 0.533484}},
     kDistortionRows},
};

const std::vector<EqSectionSpec> kInputRows{
    {kEqLowShelf, 40, -240, 0}, {kEqPeak, 68, -240, 2}, {kEqPeak, 68, -240, 2}, {kEqPeak, 68, -240, 2}};

// The way the effect instance sets an algorithm up: built at some rate, then
// told the host's rate, reinitialised by the first block.
// The frequency between lo and hi where the squared magnitude crosses level.
inline double Crossing(const BiquadCoefs& c, double level, double lo, double hi, double sampleRate)
{
    const bool risingAtLo = Squared(BiquadMagnitude(c, lo, sampleRate)) < level;
    for (int i = 0; i < 100; ++i) {
        const double mid = 0.5 * (lo + hi);
        ((Squared(BiquadMagnitude(c, mid, sampleRate)) < level) == risingAtLo ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

// How far the float rounding of the coefficients alone can move a section's
// magnitude at f, in dB.  Near DC, narrow low sections sit on a near-
// cancellation of 1 + a1 + a2, where a single rounding step shows.
inline double RoundingSlackDb(const BiquadCoefs& c, double frequency, double fs)
{
    constexpr double kRounding = 1.0 / (1 << 24);
    const std::complex<double> z = std::polar(1.0, -2.0 * std::numbers::pi * frequency / fs);
    const double num = std::abs(1.0 + (double(c.b1) + double(c.b2) * z) * z);
    const double den = std::abs(1.0 + (double(c.a1) + double(c.a2) * z) * z);
    const double relative = kRounding * ((1.0 + std::fabs(c.b1) + std::fabs(c.b2)) / num +
                                         (1.0 + std::fabs(c.a1) + std::fabs(c.a2)) / den + 1.0);
    return 20.0 / std::log(10.0) * relative;
}

inline void ExpectDb(const BiquadCoefs& c, double frequency, double fs, double expectedDb, double tolDb,
                     const std::string& where)
{
    EXPECT_NEAR(BiquadMagnitudeDb(c, frequency, fs), expectedDb, tolDb + RoundingSlackDb(c, frequency, fs))
        << where << ", at " << frequency << " Hz";
}

// A designed section against what its table row promises: a peak reaches
// G/10 dB at its centre and 0 dB at DC, and its band edges (where the
// squared gain is half-way, (1 + V²)/2) lie B = (r − 1/r)/2·f apart, or for a
// cut B narrowed to 2·atan(tan(πB/fs)/V); a shelf has V at its shelf end, 0 dB
// at the other, and (1 + V²)/2 or, cutting, 2V²/(1 + V²) at its corner.
inline void ExpectSectionShape(const BiquadCoefs& c, const EqSectionSpec& row, double fs, double tolDb)
{
    const std::string where = "type " + std::to_string(row.type) + " at " + std::to_string(row.frequency) +
                              " Hz, fs " + std::to_string(int(fs));
    const double v = std::pow(10.0, row.gain / 200.0);
    const double f = row.frequency;
    const double nyquist = fs / 2.0;
    const double corner = row.gain >= 1 ? (1.0 + v * v) / 2.0 : 2.0 * v * v / (1.0 + v * v);
    switch (row.type) {
    case kEqPeak: {
        ExpectDb(c, f, fs, row.gain / 10.0, tolDb, where);
        ExpectDb(c, 0.0, fs, 0.0, tolDb, where);
        const double r = std::pow(2.0, row.width / 12.0);
        const double b = 0.5 * (r - 1.0 / r) * f;
        const double expected =
            row.gain < 0 ? fs / std::numbers::pi * std::atan(std::tan(std::numbers::pi * b / fs) / v) : b;
        const double half = (1.0 + v * v) / 2.0;
        const double edges = Crossing(c, half, f, nyquist, fs) - Crossing(c, half, 0.0, f, fs);
        EXPECT_NEAR(edges / expected, 1.0, 2e-3) << where;
        break;
    }
    case kEqLowShelf:
    case kEqSecondLowShelf:
    case kEqHighShelf: {
        const bool low = row.type != kEqHighShelf;
        ExpectDb(c, low ? 0.0 : nyquist, fs, row.gain / 10.0, tolDb, where);
        ExpectDb(c, low ? nyquist : 0.0, fs, 0.0, tolDb, where);
        ExpectDb(c, f, fs, 10.0 * std::log10(corner), tolDb, where);
        break;
    }
    default:
        ADD_FAILURE() << "no shape known for " << where;
    }
}

inline bool SameCoefs(const BiquadCoefs& a, const BiquadCoefs& b)
{
    return std::memcmp(&a, &b, sizeof(BiquadCoefs)) == 0;
}

// Both channels' sections of one voicing against its table.
using VoicingBank = std::array<FixedSection, kVoicingSections> DriveChannel::*;

inline void ExpectVoicing(const CORVDriveDSP& effect, VoicingBank bank, const std::vector<EqSectionSpec>& rows,
                          double tolDb)
{
    ASSERT_EQ(rows.size(), kVoicingSections);
    for (size_t k = 0; k < kVoicingSections; ++k) {
        const BiquadCoefs& left = (effect.Channel(0).*bank)[k].coefs;
        EXPECT_TRUE(SameCoefs(left, (effect.Channel(1).*bank)[k].coefs));
        ExpectSectionShape(left, rows[k], effect.sampleRate, tolDb);
    }
}

// Sets the three knobs (plain percent) and brings the coefficients up to date.
inline void SetKnobs(CORVDriveDSP& effect, float output, float colour, float drive)
{
    effect.GetParameter(CORVDriveDSP::kOutputKnob)->SetValue(output);
    effect.GetParameter(CORVDriveDSP::kColorKnob)->SetValue(colour);
    effect.GetParameter(CORVDriveDSP::kDriveKnob)->SetValue(drive);
    effect.UpdateParameters(false);
}

// Gains against published values of six or seven significant digits.
inline void ExpectGain(float actual, double expected)
{
    EXPECT_NEAR(actual / expected, 1.0, 5e-6) << actual << " vs " << expected;
}

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

// Rows of every kind, boosting and cutting, narrow and wide.
const std::vector<EqSectionSpec> kRows{
    {kEqPeak, 68, -240, 2},     {kEqPeak, 1625, -49, 10},     {kEqPeak, 5383, 136, 5},
    {kEqPeak, 11776, 203, 5},   {kEqPeak, 500, 60, 1},        {kEqLowShelf, 40, -240, 0},
    {kEqLowShelf, 300, 90, 0},  {kEqHighShelf, 3000, 60, 0},  {kEqHighShelf, 3000, -120, 0},
    {kEqSecondLowShelf, 100, 84, 0}, {kEqSecondLowShelf, 200, 85, 0},
};

FixedSection Designed(const EqSectionSpec& row, double fs)
{
    FixedSection section;
    DesignEqSection(row, section, fs);
    return section;
}

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

TEST_P(DrivePedal, KnobLawsAndOutputVoicing)
{
    const auto expectGain = [](float actual, double expected, const char* what) {
        if (expected == 0.0)
            EXPECT_EQ(actual, 0.0f) << what;
        else
            EXPECT_NEAR(actual / expected, 1.0, 5e-6) << what << ": " << actual << " vs " << expected;
    };
    auto effect = GetParam().make(44100.0);
    for (const KnobLaw& law : GetParam().laws) {
        SetKnobs(*effect, law.output, law.colour, law.drive);
        expectGain(effect->DriveGain(), law.driveGain, "drive");
        expectGain(effect->LevelGain(), law.levelGain, "level");
        expectGain(effect->DryGain(), law.dryGain, "dry");
    }
    for (double fs : {44100.0, 48000.0})
        ExpectVoicing(*GetParam().make(fs), &DriveChannel::output, GetParam().outputRows, 0.01);
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

TEST(FixedSection, DesignsMeetTheirRowsAtSeveralRates)
{
    for (double fs : {44100.0, 48000.0, 96000.0})
        for (const EqSectionSpec& row : kRows)
            ExpectSectionShape(Designed(row, fs).coefs, row, fs, 0.01);
}

TEST(FixedSection, UnknownTypesAreTheIdentityAndDesignKeepsTheState)
{
    for (int32_t type : {0, 5, -1}) {
        const BiquadCoefs c = Designed({type, 1000, 120, 3}, 44100.0).coefs;
        EXPECT_TRUE(c.g == 1.0f && c.b1 == 0.0f && c.b2 == 0.0f && c.a1 == 0.0f && c.a2 == 0.0f) << type;
    }
    FixedSection section;
    section.state = {0.25f, -0.5f};
    DesignEqSection(kRows[0], section, 44100.0);
    EXPECT_EQ(section.state.state1, 0.25f);
    EXPECT_EQ(section.state.state2, -0.5f);
}

TEST(FixedSection, KernelAppliesTheGainLastAndFlushesTinyValues)
{
    FixedSection section;
    section.coefs = {0.5f, 0.25f, 0.125f, -0.5f, 0.25f};
    // Impulse response of g·(1 + b1 z⁻¹ + b2 z⁻²)/(1 + a1 z⁻¹ + a2 z⁻²).
    EXPECT_EQ(ProcessFixedSection(section, 1.0f), 0.5f);
    EXPECT_EQ(ProcessFixedSection(section, 0.0f), 0.5f * (0.25f + 0.5f));
    EXPECT_EQ(ProcessFixedSection(section, 0.0f), 0.5f * (0.125f + 0.5f * 0.75f - 0.25f));

    FixedSection quiet;
    const float tiny = std::numeric_limits<float>::denorm_min() * 1000.0f;
    EXPECT_EQ(ProcessFixedSection(quiet, tiny), 0.0f);  // a subnormal sum is flushed
    EXPECT_FALSE(std::signbit(ProcessFixedSection(quiet, -0.0f)));
    quiet.coefs.g = 1e-30f;
    EXPECT_EQ(ProcessFixedSection(quiet, 1e-10f), 0.0f);  // so is a subnormal output
}
