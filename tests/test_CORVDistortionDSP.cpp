#include "effects/drive/CORVDistortionDSP.h"

#include "tests/DriveTestSupport.h"

#include <gtest/gtest.h>

using namespace drive_testing;
using Dt = CORVDistortionDSP;

TEST(Distortion, IdentityParametersAndPresets)
{
    Dt dt(44100.0, 256);
    ExpectTables(dt, "DT - Distortion", "DT", "1utd", {"Level: 69.0 %", "Color: 45.0 %", "Distortion: 90.0 %"},
                 {{"Default", {69, 45, 90}}, {"Razor", {60, 78, 100}}, {"Lead", {71, 45, 100}},
                  {"Heavy Metal", {66, 51, 90}}, {"Blues", {76, 65, 16}}});
}

TEST(Distortion, DriveFrom20To60DbAndLevelFromMinus40ToMinus15Db)
{
    Dt dt(44100.0, 256);
    ExpectGain(dt.DriveGain(), 630.957);   // Default: distortion 90, +56 dB
    ExpectGain(dt.LevelGain(), 0.0728618); // level 69, -22.75 dB
    SetKnobs(dt, 0.0f, 45.0f, 0.0f);
    ExpectGain(dt.DriveGain(), 10.0);
    ExpectGain(dt.LevelGain(), 0.01);
    SetKnobs(dt, 100.0f, 45.0f, 100.0f);
    ExpectGain(dt.DriveGain(), 1000.0);
    ExpectGain(dt.LevelGain(), 0.177828);
    EXPECT_EQ(dt.DryGain(), 0.0f);
}

TEST(Distortion, OutputVoicing)
{
    for (double fs : {44100.0, 48000.0}) {
        Dt dt(fs, 256);
        ExpectVoicing(dt, &DriveChannel::output,
                      {{kEqSecondLowShelf, 200, 85, 0}, {kEqPeak, 1625, -49, 10}, {kEqPeak, 5383, 136, 5},
                       {kEqPeak, 11776, 203, 5}},
                      0.01);
    }
}
