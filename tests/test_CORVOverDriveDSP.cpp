#include "effects/drive/CORVOverDriveDSP.h"

#include "tests/DriveTestSupport.h"

#include <gtest/gtest.h>

using namespace drive_testing;
using Od = CORVOverDriveDSP;

TEST(OverDrive, IdentityParametersAndPresets)
{
    Od od(44100.0, 256);
    ExpectTables(od, "OD - Overdrive", "OD", "1udo", {"Level: 74.0 %", "Color: 45.0 %", "Drive: 80.0 %"},
                 {{"Default", {74, 45, 80}}, {"Full drive", {76, 45, 100}}, {"Ready to rock", {76, 46, 76}},
                  {"Crunch", {78, 48, 42}}, {"Tube preamp", {94, 40, 13}}});
    EXPECT_EQ(od.GetParameter(Od::kLevel)->GetText(false, true, 100.0f), "100.0 %");
}

TEST(OverDrive, DriveFrom10To65DbAndLevelFromMinus60ToMinus10Db)
{
    Od od(44100.0, 256);
    ExpectGain(od.DriveGain(), 501.187);  // Default: drive 80, +54 dB
    ExpectGain(od.LevelGain(), 0.0707946); // level 74, -23 dB
    SetKnobs(od, 0.0f, 45.0f, 0.0f);
    ExpectGain(od.DriveGain(), 3.16228);
    ExpectGain(od.LevelGain(), 0.001);
    SetKnobs(od, 100.0f, 45.0f, 100.0f);
    ExpectGain(od.DriveGain(), 1778.28);
    ExpectGain(od.LevelGain(), 0.316228);
    EXPECT_EQ(od.DryGain(), 0.0f);
}

TEST(OverDrive, OutputVoicing)
{
    for (double fs : {44100.0, 48000.0}) {
        Od od(fs, 256);
        ExpectVoicing(od, &DriveChannel::output,
                      {{kEqSecondLowShelf, 100, 84, 0}, {kEqPeak, 1625, -49, 10}, {kEqPeak, 5383, 136, 5},
                       {kEqPeak, 11246, 191, 5}},
                      0.01);
    }
}
