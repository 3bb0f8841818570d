#pragma once
// Checks shared by the tests of the drive pedals and their voicing sections.
#include "effects/common/BiquadResponse.h"
#include "effects/drive/CORVDriveDSP.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

namespace drive_testing {

inline double Db(double gain) { return 20.0 * std::log10(gain); }
inline double Squared(double x) { return x * x; }

// Amplitude of the component at frequency f in signal[from..], by a least
// squares fit of a sine and a cosine.
inline double AmplitudeAt(const std::vector<float>& signal, double frequency, double sampleRate, size_t from)
{
    double ss = 0, cc = 0, sc = 0, ys = 0, yc = 0;
    for (size_t n = from; n < signal.size(); ++n) {
        const double phase = 2.0 * std::numbers::pi * frequency * double(n) / sampleRate;
        const double s = std::sin(phase), c = std::cos(phase);
        ss += s * s, cc += c * c, sc += s * c, ys += signal[n] * s, yc += signal[n] * c;
    }
    const double det = ss * cc - sc * sc;
    return std::hypot((ys * cc - yc * sc) / det, (yc * ss - ys * sc) / det);
}

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

// The names, the code's bytes as they lie in memory, the published
// parameters (all 0..100 %, step 1, linear) with their texts at the
// defaults, and the factory presets in order.
inline void ExpectTables(CORVDriveDSP& effect, const std::string& longName, const std::string& shortName,
                         const std::string& codeBytes, const std::vector<std::string>& defaultTexts,
                         const std::vector<std::pair<std::string, std::vector<float>>>& presets)
{
    EXPECT_EQ(effect.longName, longName);
    EXPECT_EQ(effect.shortName, shortName);
    char bytes[4];
    std::memcpy(bytes, &effect.fourCC, 4);
    EXPECT_EQ(std::string(bytes, 4), codeBytes);
    ASSERT_EQ(effect.parameters.size(), 3u);
    for (int32_t index = 2; index <= 4; ++index) {
        const CORVDSPParameter& p = *effect.GetParameter(index);
        EXPECT_EQ(p.GetText(true, true), defaultTexts[size_t(index - 2)]);
        EXPECT_EQ(p.minValue, 0.0f);
        EXPECT_EQ(p.maxValue, 100.0f);
        EXPECT_EQ(p.step, 1.0f);
        EXPECT_EQ(p.scaleType, ScaleLinear);
        EXPECT_EQ(p.defaultValue, presets[0].second[size_t(index - 2)]);
    }
    ASSERT_EQ(effect.presets.size(), presets.size());
    for (size_t i = 0; i < presets.size(); ++i) {
        EXPECT_EQ(effect.presets.at(int32_t(i))->name, presets[i].first);
        EXPECT_EQ(effect.presets.at(int32_t(i))->values, presets[i].second) << presets[i].first;
        EXPECT_EQ(effect.presets.at(int32_t(i))->isFactory, 1u);
    }
    EXPECT_EQ(effect.currentPreset, effect.presets.at(0).get());
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

} // namespace drive_testing
