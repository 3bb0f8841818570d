#include "effects/drive/CORVOverDriveBassDSP.h"

#include "tests/DriveTestSupport.h"

#include <gtest/gtest.h>

using namespace drive_testing;
using Odb = CORVOverDriveBassDSP;

TEST(OverDriveBass, IdentityParametersAndPresets)
{
    Odb odb(44100.0, 256);
    ExpectTables(odb, "ODB - Bass Overdrive", "ODB", "1bdo", {"Mix: 74.0 %", "Color: 45.0 %", "Drive: 80.0 %"},
                 {{"Default", {74, 45, 80}}, {"Cabinet", {0, 0, 0}}, {"Light", {45, 0, 50}},
                  {"Crunch", {55, 0, 55}}, {"SuperDrive", {70, 50, 70}}});
}

// The driven signal fades in under a constant dry signal up to the middle of
// the knob; from there the dry signal fades out under a constant driven one.
TEST(OverDriveBass, MixCrossesOverAtFifty)
{
    Odb odb(44100.0, 256);
    ExpectGain(odb.DriveGain(), 501.187);
    struct Row {
        float mix;
        double level;
        double dry;
    };
    for (const Row& r : {Row{0.0f, 0.00025, 0.632456}, Row{49.0f, 0.0704596, 0.632456},
                         Row{50.0f, 0.0790569, 0.6324555}, Row{74.0f, 0.0790569, 0.0399052},
                         Row{100.0f, 0.0790569, 0.002}}) {
        SetKnobs(odb, r.mix, 45.0f, 80.0f);
        ExpectGain(odb.LevelGain(), r.level);
        ExpectGain(odb.DryGain(), r.dry);
    }
    SetKnobs(odb, 50.0f, 45.0f, 100.0f);
    ExpectGain(odb.DriveGain(), 1778.28);
}

// "Cabinet" leaves the input almost untouched apart from the output voicing.
TEST(OverDriveBass, CabinetPresetIsNearlyDry)
{
    Odb odb(44100.0, 256);
    odb.ApplyPreset("Cabinet");
    odb.UpdateParameters(false);
    ExpectGain(odb.DriveGain(), 3.16228);
    ExpectGain(odb.LevelGain(), 0.25e-3);
    ExpectGain(odb.DryGain(), 0.632456);
}

TEST(OverDriveBass, OutputVoicingIsTheOverdrives)
{
    Odb odb(44100.0, 256);
    ExpectVoicing(odb, &DriveChannel::output,
                  {{kEqSecondLowShelf, 100, 84, 0}, {kEqPeak, 1625, -49, 10}, {kEqPeak, 5383, 136, 5},
                   {kEqPeak, 11246, 191, 5}},
                  0.01);
}
