#include "dsp/CORVBPMParRelations.h"

#include "platform/TickCount.h"
#include "tests/TestAlgorithms.h"

#include <gtest/gtest.h>

using testing_support::HoldTestAlgorithm;
using Index = CORVBPMParRelations::Index;

TEST(BPMRelations, DecayAtMaximumEntersHoldAndTheFootSwitchCycles)
{
    HoldTestAlgorithm algorithm;
    algorithm.OnParameterChange(Index::kTap, 1.0f);
    algorithm.OnParameterChange(Index::kDecay, 1.0f);
    EXPECT_EQ(algorithm.GetHoldMode(), 1);
    EXPECT_TRUE(algorithm.bypassed);
    EXPECT_EQ(algorithm.GetParameter(Index::kTap)->normValue, 0.0f); // tap forced off

    const int32_t expected[] = {2, 3, 1, 2, 3, 1};
    for (int32_t mode : expected) {
        algorithm.OnParameterChange(1, 1.0f);
        EXPECT_EQ(algorithm.GetHoldMode(), mode);
        EXPECT_EQ(algorithm.bypassed, mode == 1);
    }
}

TEST(BPMRelations, LeavingTheMaximumEndsHoldAndUnbypasses)
{
    HoldTestAlgorithm algorithm;
    algorithm.OnParameterChange(Index::kDecay, 1.0f);
    ASSERT_TRUE(algorithm.bypassed);
    algorithm.OnParameterChange(Index::kDecay, 0.99f);
    EXPECT_EQ(algorithm.GetHoldMode(), 0);
    EXPECT_FALSE(algorithm.bypassed);
    EXPECT_FLOAT_EQ(algorithm.Value(Index::kDecay), 99.0f);
}

TEST(BPMRelations, TapIgnoresChangesWhileHolding)
{
    HoldTestAlgorithm algorithm;
    algorithm.OnParameterChange(Index::kDecay, 1.0f);
    algorithm.OnParameterChange(Index::kTap, 1.0f);
    EXPECT_EQ(algorithm.GetParameter(Index::kTap)->normValue, 0.0f);
    EXPECT_EQ(algorithm.GetTapState(), 0.0f);

    algorithm.OnParameterChange(Index::kDecay, 0.5f);
    algorithm.OnParameterChange(Index::kTap, 1.0f);
    EXPECT_EQ(algorithm.GetParameter(Index::kTap)->normValue, 1.0f);
    EXPECT_EQ(algorithm.GetTapState(), 0.5f);
}

namespace {
uint32_t holdNow = 0;
uint32_t HoldTicks() { return holdNow; }
} // namespace

TEST(BPMRelations, FootSwitchTapsWhenTapIsOn)
{
    platform::SetTickSource(&HoldTicks);
    HoldTestAlgorithm algorithm;
    algorithm.OnParameterChange(Index::kTap, 1.0f);
    holdNow = 5000;
    algorithm.OnParameterChange(1, 1.0f);
    holdNow = 5400;
    algorithm.OnParameterChange(1, 1.0f);
    platform::SetTickSource(nullptr);
    EXPECT_FLOAT_EQ(algorithm.Value(Index::kTempo), 150.0f);
    EXPECT_FALSE(algorithm.bypassed);
}

TEST(BPMRelations, FootSwitchBypassesOtherwiseAndTempoReportsSync)
{
    HoldTestAlgorithm algorithm;
    algorithm.OnParameterChange(1, 1.0f);
    EXPECT_TRUE(algorithm.bypassed);
    EXPECT_TRUE(algorithm.savedBypass);
    algorithm.OnParameterChange(1, 0.0f);
    EXPECT_FALSE(algorithm.bypassed);

    const float norm160 = (160.0f - 40.0f) / 1160.0f;
    EXPECT_TRUE(algorithm.OnParameterChange(Index::kTempo, norm160).empty());
    algorithm.OnParameterChange(Index::kSyncCoeff, 3.0f / 8.0f);
    EXPECT_EQ(algorithm.OnParameterChange(Index::kTempo, norm160), "Tempo: 160.0 BPM (Sync !)");
    EXPECT_TRUE(algorithm.OnParameterChange(9, 1.0f).empty());
}
