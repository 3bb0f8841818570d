#include "effects/drive/CORVPowerAmpGuitarDSP.h"

#include "tests/AmpTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace amp_testing;
using Pag = CORVPowerAmpGuitarDSP;

TEST(PowerAmp, IdentityParametersAndPresets)
{
    Pag pag(44100.0, 256);
    ExpectIdentity(pag, {"PAG - Guitar Power Amp", "PAG", "1gap",
                         {"Volume: 50.0 %", "Presence: 50.0 %", "Type:  6L6 Amp 50 W"}, 0.0f, 100.0f, 1.0f,
                         {{"Default", {50, 50, 2}}, {"Crunch", {60, 30, 0}}, {"Rock", {60, 50, 1}},
                          {"Clean", {50, 100, 2}}, {"Metal", {40, 75, 3}}}});
    const CORVDSPParameter& type = *pag.GetParameter(Pag::kType);
    EXPECT_EQ(type.scaleType, ScaleList);
    EXPECT_EQ(type.maxValue, 3.0f);
    EXPECT_EQ(type.valueTexts,
              (std::vector<std::string>{"EL34 Amp 50 W", "EL34 Amp 100 W", "6L6 Amp 50 W", "6L6 Amp 100 W"}));
}

struct AmpTypeRow {
    const TubeCurve* tube;
    float driveScale;
    float outputGain;
    float differenceScale;
};

const AmpTypeRow kTypes[] = {
    {&kEl34Curve, 1.0f, 0.4615385f, 0.9944477f},
    {&kEl34Curve, 1.0f, 2.0f, 0.2133198f},
    {&k6L6Curve, 0.92f, 0.9411766f, 0.3866492f},
    {&k6L6Curve, 0.92f, 12.705883f, 0.0316751f},
};

TEST(PowerAmp, TubeTypesAndVolume)
{
    Pag pag(44100.0, 256);
    for (int32_t type = 0; type < 4; ++type) {
        const AmpTypeRow& row = kTypes[type];
        for (float volume : {0.0f, 50.0f, 100.0f}) {
            SetKnobs(pag, {{Pag::kType, float(type)}, {Pag::kVolume, volume}});
            const PowerAmpStage& stage = pag.Stage(type % 2);
            EXPECT_EQ(stage.TubeType(), type);
            EXPECT_EQ(stage.Tube().table, row.tube->table);
            EXPECT_NEAR(stage.OutputGain() / row.outputGain, 1.0f, 1e-6f) << type;
            EXPECT_NEAR(stage.DifferenceScale() / row.differenceScale, 1.0f, 2e-6f) << type;
            const float expected = volume == 0.0f ? 0.0f : volume == 50.0f ? 1.4806f : 10.0f;
            EXPECT_NEAR(stage.InputGain(), row.driveScale * expected, 1e-4f) << type << " " << volume;
        }
        EXPECT_EQ(pag.Stage(0).InputGain(), row.driveScale * 10.0f);
    }
}

// Volume 0 shuts the input off: a loud input gives exactly what silence
// gives.  That is not quite zero: at rest the splitter's halves sit at
// 0.130448, which the half high-passes take a moment to absorb after their
// states are cleared and then hold at their float rounding floor.
TEST(PowerAmp, VolumeZeroIsSilent)
{
    std::vector<float> outputs[2];
    for (float amplitude : {1.0f, 0.0f}) {
        Pag pag(44100.0, 256);
        SetKnobs(pag, {{Pag::kVolume, 0.0f}, {Pag::kPresence, 100.0f}});
        EXPECT_EQ(pag.Stage(0).InputGain(), 0.0f);
        std::vector<float> left = testing_support::Sine(110.0, 44100.0, 44100, amplitude);
        std::vector<float> right = left;
        testing_support::ProcessInBlocks(pag, left, right, 512);
        outputs[amplitude == 0.0f] = left;
    }
    EXPECT_EQ(outputs[0], outputs[1]);
    EXPECT_LT(testing_support::Peak(outputs[0]), 1e-4f);
    EXPECT_LT(testing_support::Peak(outputs[0], 22050), 1e-6f);
}

// Driven far past the splitter's table, every amp saturates below 1.3 times
// its output gain; the widest (type 0) drives its transformer close to it.
TEST(PowerAmp, OutputNeverAboveTransformerLimit)
{
    for (int32_t type = 0; type < 4; ++type) {
        Pag pag(44100.0, 256);
        SetKnobs(pag, {{Pag::kType, float(type)}, {Pag::kVolume, 100.0f}, {Pag::kPresence, 100.0f}});
        std::vector<float> left = testing_support::Sine(82.0, 44100.0, 44100, 8.0f);
        std::vector<float> right = testing_support::Sine(3000.0, 44100.0, 44100, 1.0f);
        testing_support::ProcessInBlocks(pag, left, right, 512);
        const float limit = 1.3f * pag.Stage(0).OutputGain();
        EXPECT_LE(testing_support::Peak(left), limit) << type;
        EXPECT_LE(testing_support::Peak(right), limit) << type;
        if (type == 0) {
            EXPECT_GT(testing_support::Peak(left), 0.9f * limit);
        }
    }
}

// A quiet tone sees the slopes at rest: presence and the 20 Hz high-pass,
// the splitter's ±31.78, the half high-passes (B at 0.95), the tube's slope
// at 0, the difference scale, the transformer's 3.000191 and the output gain.
TEST(PowerAmp, SmallSignalChain)
{
    struct Case {
        int32_t type;
        float volume, presence;
    };
    for (double fs : {22050.0, 96000.0}) {
        for (const Case& c : {Case{0, 50, 50}, Case{1, 60, 0}, Case{2, 50, 100}, Case{3, 40, 75}}) {
            for (double f : {1000.0, 4100.0}) {
                Pag pag(fs, 256);
                SetKnobs(pag, {{Pag::kType, float(c.type)}, {Pag::kVolume, c.volume}, {Pag::kPresence, c.presence}});
                BiquadSection presence, highPass;
                presence.setSampleRate(fs);
                highPass.setSampleRate(fs);
                presence.designPeak(4100.0f, 13.0f * c.presence / 100.0f, 1.55f);
                highPass.designHighPass(20.0f, true);
                const Complex hp = BiquadResponse(highPass.copyCoefficients(), f, fs);
                const AmpTypeRow& row = kTypes[c.type];
                const double tubeSlope = (*row.tube->table)[14].c2;
                const double volume = 10.0 * row.driveScale * (1.0 - std::log10(101.0 - c.volume) / std::log10(101.0));
                const Complex expected = row.outputGain * 3.000191 * row.differenceScale * tubeSlope *
                                         (-31.784966 * 1.95) * volume *
                                         BiquadResponse(presence.copyCoefficients(), f, fs) * hp * hp;
                ExpectGain(SmallSignalGain(pag, f, 1e-4f), expected,
                           "type " + std::to_string(c.type) + " at " + std::to_string(f) + " Hz, fs " +
                               std::to_string(fs));
            }
        }
    }
}

// An input so loud that the sections overflow leaves a NaN in their state
// that the bounded tube curves would hide for good; the block it came in
// resets the amp, and what follows sounds as after a reset.
TEST(PowerAmp, OverflowingInputIsForgottenAfterItsBlock)
{
    std::vector<std::vector<float>> results;
    for (float spike : {0.0f, 3e38f}) {
        Pag pag(44100.0, 256);
        pag.Prepare(512); // the spike's block is one slice
        std::vector<float> left = testing_support::Sine(110.0, 44100.0, 512);
        left[100] = spike;
        std::vector<float> right = left;
        testing_support::ProcessInBlocks(pag, left, right, 512);
        if (spike == 0.0f)
            pag.Reset();
        left = right = testing_support::Sine(110.0, 44100.0, 8192);
        testing_support::ProcessInBlocks(pag, left, right, 512);
        results.push_back(left);
    }
    EXPECT_GT(testing_support::Peak(results[1]), 0.1f);
    EXPECT_EQ(results[1], results[0]);
}
