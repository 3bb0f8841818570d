// The four drive pedals and the fixed sections that voice them: each pedal's
// knob laws, the small-signal response of the whole chain against the model
// built from its own sections, the clipper, and the sections' designs.
#include "effects/drive/CORVDistortionBassDSP.h"
#include "effects/drive/CORVDistortionDSP.h"
#include "effects/drive/CORVOverDriveBassDSP.h"
#include "effects/drive/CORVOverDriveDSP.h"
#include "effects/drive/FixedSection.h"

#include "effects/common/BiquadResponse.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <numbers>

using namespace testing_support;

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
};

void PrintTo(const Pedal& pedal, std::ostream* os) { *os << pedal.name; }

template <class T>
std::unique_ptr<CORVDriveDSP> MakeDrive(double fs)
{
    return std::make_unique<T>(fs, 256);
}

// Guitar drives: drive +10..+65 dB (overdrive) or +20..+60 dB (distortion),
// level -60..-10 dB or -40..-15 dB, no dry path.  Bass drives: the driven
// signal fades in under a constant dry signal up to the middle of the mix
// knob; from there the dry signal fades out under a constant driven one.
const Pedal kPedals[] = {
    {"OD", MakeDrive<CORVOverDriveDSP>, 0.06f, false,
     {{74, 45, 80, 501.187, 0.0707946, 0}, {0, 45, 0, 3.16228, 0.001, 0}, {100, 45, 100, 1778.28, 0.316228, 0}}},
    {"ODB", MakeDrive<CORVOverDriveBassDSP>, 0.06f, false,
     {{0, 45, 80, 501.187, 0.00025, 0.632456}, {49, 45, 80, 501.187, 0.0704596, 0.632456},
      {50, 45, 80, 501.187, 0.0790569, 0.6324555}, {74, 45, 80, 501.187, 0.0790569, 0.0399052},
      {100, 45, 80, 501.187, 0.0790569, 0.002}, {50, 45, 100, 1778.28, 0.0790569, 0.6324555}}},
    {"DT", MakeDrive<CORVDistortionDSP>, 0.82f, true,
     {{69, 45, 90, 630.957, 0.0728618, 0}, {0, 45, 0, 10.0, 0.01, 0}, {100, 45, 100, 1000.0, 0.177828, 0}}},
    {"DTB", MakeDrive<CORVDistortionBassDSP>, 0.82f, true,
     {{0, 45, 90, 630.957, 0.002, 0.533484}, {49, 45, 90, 630.957, 0.0335761, 0.533484},
      {50, 45, 90, 630.957, 0.0355656, 0.5334838}, {69, 45, 90, 630.957, 0.0355656, 0.178699},
      {100, 45, 90, 630.957, 0.0355656, 0.03}, {0, 0, 100, 1000.0, 0.002, 0.533484}}},
};

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

// Sets the three knobs (plain percent) and brings the coefficients up to date.
inline void SetKnobs(CORVDriveDSP& effect, float output, float colour, float drive)
{
    effect.GetParameter(CORVDriveDSP::kOutputKnob)->SetValue(output);
    effect.GetParameter(CORVDriveDSP::kColorKnob)->SetValue(colour);
    effect.GetParameter(CORVDriveDSP::kDriveKnob)->SetValue(drive);
    effect.UpdateParameters(false);
}

std::unique_ptr<CORVDriveDSP> Prepared(const Pedal& pedal, double fs)
{
    auto effect = pedal.make(48000.0);
    effect->sampleRate = fs;
    effect->needsReinit = true;
    return effect;
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

// The colour filter is the pedals' shared code.
TEST(DriveColour, ColourIsASteepLowPassFrom3To6Khz)
{
    for (double fs : {22050.0, 44100.0, 192000.0}) {
        auto effect = MakeDrive<CORVDistortionDSP>(fs);
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

TEST_P(DrivePedal, KnobLaws)
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
}

// Quiet sines stay below the clipper, so the pedal is linear and must
// measure the response of its own sections, colour filter and loop.
TEST_P(DrivePedal, SmallSignalsMeasureTheLoopAtEveryRate)
{
    for (double fs : {22050.0, 44100.0, 88200.0, 192000.0}) {
        auto effect = Prepared(GetParam(), fs);
        SetKnobs(*effect, 60.0f, 30.0f, 0.0f);
        for (double f : {700.0, 2500.0}) {
            const size_t frames = size_t(fs / 2);
            const std::vector<float> input = Sine(f, fs, frames, 0.004f);
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
        Processed(*effect, Sine(110.0, fs, size_t(fs / 4), 1.0f), 256);
        const std::vector<float> tail = Processed(*effect, std::vector<float>(size_t(fs * 2), 0.0f), 256);
        for (float y : tail)
            ASSERT_FALSE(IsSubnormal(y)) << fs;
        EXPECT_EQ(Peak(tail, tail.size() - 1000), 0.0f) << fs;
        EXPECT_TRUE(AllStateZero(*effect)) << fs;
    }
}

TEST(FixedSection, DesignsMeetTheirRowsAtSeveralRates)
{
    for (double fs : {44100.0, 48000.0, 96000.0})
        for (const EqSectionSpec& row : kRows)
            ExpectSectionShape(Designed(row, fs).coefs, row, fs, 0.01);
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
