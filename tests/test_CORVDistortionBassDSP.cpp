#include "effects/drive/CORVDistortionBassDSP.h"

#include "tests/DriveTestSupport.h"

#include <gtest/gtest.h>

using namespace drive_testing;
using Dtb = CORVDistortionBassDSP;

TEST(DistortionBass, IdentityParametersAndPresets)
{
    Dtb dtb(44100.0, 256);
    ExpectTables(dtb, "DTB - Bass Distortion", "DTB", "1btd", {"Mix: 69.0 %", "Color: 45.0 %", "Distortion: 90.0 %"},
                 {{"Default", {69, 45, 90}}, {"Cabinet", {0, 0, 0}}, {"Light", {40, 0, 35}},
                  {"50:50 Mix", {50, 50, 50}}, {"Super Distortion", {70, 75, 75}}});
}

TEST(DistortionBass, MixCrossesOverAtFifty)
{
    Dtb dtb(44100.0, 256);
    ExpectGain(dtb.DriveGain(), 630.957);
    struct Row {
        float mix;
        double level;
        double dry;
    };
    for (const Row& r : {Row{0.0f, 0.002, 0.533484}, Row{49.0f, 0.0335761, 0.533484},
                         Row{50.0f, 0.0355656, 0.5334838}, Row{69.0f, 0.0355656, 0.178699},
                         Row{100.0f, 0.0355656, 0.03}}) {
        SetKnobs(dtb, r.mix, 45.0f, 90.0f);
        ExpectGain(dtb.LevelGain(), r.level);
        ExpectGain(dtb.DryGain(), r.dry);
    }
    SetKnobs(dtb, 0.0f, 0.0f, 100.0f);
    ExpectGain(dtb.DriveGain(), 1000.0);
}

TEST(DistortionBass, OutputVoicingIsTheDistortions)
{
    Dtb dtb(44100.0, 256);
    ExpectVoicing(dtb, &DriveChannel::output,
                  {{kEqSecondLowShelf, 200, 85, 0}, {kEqPeak, 1625, -49, 10}, {kEqPeak, 5383, 136, 5},
                   {kEqPeak, 11776, 203, 5}},
                  0.01);
}
