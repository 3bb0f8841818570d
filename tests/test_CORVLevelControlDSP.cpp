#include "effects/modulation/CORVLevelControlDSP.h"

#include "tests/DynamicsTestSupport.h"

#include <gtest/gtest.h>


using namespace dynamics_testing;
using Lc = CORVLevelControlDSP;

namespace {

struct Frame {
    float left;
    float right;
};

// One stereo frame through the stage.
Frame Through(Lc& level, float left, float right)
{
    std::vector<float> l(1, left);
    std::vector<float> r(1, right);
    testing_support::ProcessInBlocks(level, l, r, 1);
    return {l[0], r[0]};
}

std::unique_ptr<Lc> MakeLevel(float gainDb, float leftPercent, float rightPercent, float mode)
{
    auto level = Make<Lc>();
    Set(*level, Lc::kGain, gainDb);
    Set(*level, Lc::kLeft, leftPercent);
    Set(*level, Lc::kRight, rightPercent);
    Set(*level, Lc::kStereoMode, mode);
    return level;
}

constexpr float kL = 0.6f;
constexpr float kR = -0.25f;

} // namespace

TEST(LevelControlTables, IdentityParametersAndPresets)
{
    // The constructor leaves nothing pending: the stage works without a
    // reinitialisation.
    auto level = std::make_unique<Lc>(44100.0, 256);
    EXPECT_FALSE(level->parametersChanged);
    EXPECT_FALSE(level->needsReinit);
    const Frame passed = Through(*level, kL, kR);
    EXPECT_EQ(passed.left, kL);
    EXPECT_EQ(passed.right, kR);

    EXPECT_EQ(level->longName, "LC - Level Control");
    EXPECT_EQ(level->shortName, "LC");
    EXPECT_EQ(CodeBytes(*level), "1ucl");
    EXPECT_EQ(Texts(*level), (std::vector<std::string>{"Gain: 0.0 dB", "Left: 0.0 %", "Right: 100.0 %",
                                                       "Stereo Mode:  Normal"}));
    EXPECT_EQ(level->GetParameter(Lc::kStereoMode)->GetText(false, false, 1.0f), "Wide");
    EXPECT_EQ(level->GetParameter(Lc::kGain)->maxValue, 12.0f);
    EXPECT_EQ(level->GetParameter(Lc::kGain)->scaleType, ScaleDecibel);
    ExpectPresets(*level, {
        {"Default", {0, 0, 100, 0}}, {"Gain It", {12, 0, 100, 0}}, {"Wide Stereo", {0, 0, 100, 1}},
        {"Mono", {0, 50, 50, 0}},    {"Both to L", {0, 0, 0, 0}},  {"Both to R", {0, 100, 100, 0}},
    });
}

TEST(LevelControlRouting, NormalPlacements)
{
    auto level = Make<Lc>();
    level->ApplyPreset("Mono");
    Frame out = Through(*level, kL, kR);
    EXPECT_EQ(out.left, 0.5f * kL + 0.5f * kR);
    EXPECT_EQ(out.right, out.left);

    level->ApplyPreset("Both to L");
    out = Through(*level, kL, kR);
    EXPECT_EQ(out.left, kL + kR);
    EXPECT_EQ(out.right, 0.0f);

    level->ApplyPreset("Both to R");
    out = Through(*level, kL, kR);
    EXPECT_EQ(out.left, 0.0f);
    EXPECT_EQ(out.right, kL + kR);

    // Left 20 %: 0.8 of the left input stays left; Right 70 %: 0.7 of the
    // right input stays right.
    level = MakeLevel(0.0f, 20.0f, 70.0f, 0.0f);
    out = Through(*level, kL, kR);
    EXPECT_NEAR(out.left, 0.8f * kL + 0.3f * kR, 1e-6f);
    EXPECT_NEAR(out.right, 0.2f * kL + 0.7f * kR, 1e-6f);
}

TEST(LevelControlRouting, WideSubtractsTheOppositeChannel)
{
    auto level = Make<Lc>();
    level->ApplyPreset("Wide Stereo");
    Frame out = Through(*level, kL, kR);
    EXPECT_EQ(out.left, kL - 0.5f * kR);
    EXPECT_EQ(out.right, kR - 0.5f * kL);

    // l = 0.8, r = 0.7: (1.5 l - 0.5, 1 - 1.5 r) and (1 - 1.5 l, 1.5 r - 0.5).
    level = MakeLevel(-6.0f, 20.0f, 70.0f, 1.0f);
    out = Through(*level, kL, kR);
    const float g = FromDb(-6.0);
    EXPECT_NEAR(out.left, g * (0.7f * kL - 0.05f * kR), 1e-6f);
    EXPECT_NEAR(out.right, g * (-0.2f * kL + 0.55f * kR), 1e-6f);

    // "Mono" widened: each output is the sum at a quarter, less the other side.
    level = MakeLevel(0.0f, 50.0f, 50.0f, 1.0f);
    out = Through(*level, kL, kR);
    EXPECT_NEAR(out.left, 0.25f * kL + 0.25f * kR, 1e-6f);
    EXPECT_NEAR(out.right, 0.25f * kL + 0.25f * kR, 1e-6f);
}

TEST(LevelControlGain, BottomMutesTopGainsAbout3_98)
{
    auto level = MakeLevel(-60.0f, 0.0f, 100.0f, 0.0f);
    EXPECT_EQ(level->GetParameter(Lc::kGain)->GetText(true, true), "Gain: -Inf ");
    Frame out = Through(*level, kL, kR);
    EXPECT_EQ(out.left, 0.0f);
    EXPECT_EQ(out.right, 0.0f);

    level->OnParameterChange(Lc::kGain, 1.0f);
    out = Through(*level, kL, kR);
    EXPECT_NEAR(out.left / kL, 3.98107f, 1e-5f);
    EXPECT_NEAR(out.right / kR, 3.98107f, 1e-5f);

    level->GetParameter(Lc::kGain)->SetValue(-59.5f);
    EXPECT_NEAR(Through(*level, kL, kR).left / kL, FromDb(-59.5), 1e-8f);
}
