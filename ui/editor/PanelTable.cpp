#include "ui/editor/PanelTable.h"

#include <algorithm>
#include <iterator>

namespace {

using K = ControlKind;

// clang-format off
constexpr KindLook kLooks[] = {
//   kind                 bitmap second frames anchor
    {K::SmallKnob,        300,   302,   1,     -1},
    {K::LargeKnob,        301,   303,   1,     -1},
    {K::SteppedKnob5,     320,   0,     5,     -1},
    {K::SteppedKnob7,     321,   0,     7,     -1},
    {K::SteppedKnob6,     322,   0,     6,     -1},
    {K::Switch2,          400,   0,     2,     -1},
    {K::Switch3,          402,   0,     3,     -1},
    {K::Switch4,          403,   0,     4,     -1},
    {K::Switch5,          404,   0,     5,     -1},
    {K::VerticalSwitch2,  401,   0,     2,     -1},
    {K::VerticalSwitch4,  405,   0,     4,     -1},
    {K::OnOffButton,      108,   0,     2,     -1},
    {K::TempoSyncMenu,    111,   112,   1,     15},
    {K::SpeakerMenu,      117,   118,   1,     -1},
    {K::VerticalSlider,   450,   451,   1,     -1},
    {K::HorizontalSlider, 452,   453,   1,     -1},
    {K::Led,              200,   0,     10,    -1},
    {K::LevelMeter,       202,   203,   26,    -1},
    {K::Picture,          201,   0,     2,     -1},
    {K::KickButton,       109,   0,     2,     -1},
    {K::LampMeter,        208,   209,   1,     -1},
    {K::BarMeter,         204,   205,   8,     -1},
    {K::ToneMeter,        206,   207,   8,     -1},
    {K::TextField,        0,     0,     1,     -1},
};

// The rows that several pedals share.
constexpr PanelControl kThreeKnobDrive[] = {
    {2, K::LargeKnob, 7}, {3, K::SmallKnob, 10}, {4, K::LargeKnob, 9},
};
constexpr PanelControl kKnobPairSyncTap[] = {
    {3, K::SmallKnob, 5}, {4, K::SmallKnob, 6}, {6, K::Switch2, 22}, {7, K::TempoSyncMenu, 15},
    {8, K::OnOffButton, 20},
};
constexpr PanelControl kSyncTap[] = {{6, K::TempoSyncMenu, 15}, {7, K::OnOffButton, 20}};
constexpr PanelControl kImpactSyncTap[] = {
    {6, K::Switch3, 27}, {7, K::TempoSyncMenu, 15}, {8, K::OnOffButton, 20},
};
constexpr PanelControl kEightSliders[] = {
    {2, K::VerticalSlider, 23, 0, 0, 0}, {3, K::VerticalSlider, 23, 0, 0, 1}, {4, K::VerticalSlider, 23, 0, 0, 2},
    {5, K::VerticalSlider, 23, 0, 0, 3}, {6, K::VerticalSlider, 23, 0, 0, 4}, {7, K::VerticalSlider, 23, 0, 0, 5},
    {8, K::VerticalSlider, 23, 0, 0, 6}, {9, K::VerticalSlider, 23, 0, 0, 7},
};
constexpr PanelControl kSpeaker[] = {{2, K::LargeKnob, 29}, {3, K::SpeakerMenu, 54}};
constexpr PanelControl kToneControlKnobs4[] = {
    {2, K::SmallKnob, 1}, {3, K::SmallKnob, 2}, {4, K::SmallKnob, 3}, {5, K::SmallKnob, 4}, {6, K::Switch4, 30},
};
constexpr PanelControl kToneControlKnobs5[] = {
    {2, K::SmallKnob, 1}, {3, K::SmallKnob, 2}, {4, K::SmallKnob, 3}, {5, K::SmallKnob, 4}, {6, K::Switch5, 30},
};

// The pedals of their own.
constexpr PanelControl kAutoPan[] = {{2, K::SteppedKnob5, 1}, {6, K::TempoSyncMenu, 15}, {7, K::OnOffButton, 20}};
// The tuner's flat and sharp lamps flank the in-tune lamp; its display
// stacks the in-tune meter and the two bars that lean flat and sharp.
constexpr PanelControl kAutoTuner[] = {
    {33, K::KickButton, 39, 109}, {34, K::KickButton, 40, 110},
    {27, K::LampMeter, 47, 210, 211}, {28, K::LampMeter, 46, 212, 213}, {29, K::LampMeter, 45, 208, 209},
    {23, K::TextField, 44}, {24, K::TextField, 48}, {25, K::TextField, 49}, {26, K::TextField, 50},
    {30, K::ToneMeter, 51}, {32, K::BarMeter, 51}, {31, K::BarMeter, 51},
};
constexpr PanelControl kCompressor[] = {
    {3, K::SmallKnob, 5}, {4, K::SmallKnob, 6}, {6, K::Switch2, 22}, {10, K::Led, 38},
};
constexpr PanelControl kExciter[] = {
    {7, K::SmallKnob, 1}, {2, K::SmallKnob, 4},
    {3, K::VerticalSlider, 41, 0, 0, 0}, {4, K::VerticalSlider, 41, 0, 0, 1}, {5, K::VerticalSlider, 41, 0, 0, 2},
    {8, K::VerticalSlider, 41, 0, 0, 3}, {9, K::VerticalSlider, 41, 0, 0, 4},
    {6, K::HorizontalSlider, 42}, {10, K::OnOffButton, 43, 116},
};
constexpr PanelControl kExpanderGate[] = {{10, K::Led, 38}};
constexpr PanelControl kLevelControl[] = {
    {2, K::LargeKnob, 7}, {3, K::SmallKnob, 2}, {4, K::SmallKnob, 3}, {5, K::Switch2, 22},
    {27, K::LevelMeter, 33}, {28, K::LevelMeter, 34}, {29, K::LevelMeter, 35}, {30, K::LevelMeter, 36},
};
constexpr PanelControl kNoiseGate[] = {
    {2, K::LargeKnob, 7}, {3, K::SmallKnob, 10}, {4, K::LargeKnob, 9}, {5, K::OnOffButton, 37, 115},
    {10, K::Led, 38},
};
constexpr PanelControl kOctaver[] = {{2, K::LargeKnob, 7}, {3, K::SmallKnob, 2}, {4, K::SmallKnob, 3}};
constexpr PanelControl kPowerAmp[] = {
    {2, K::LargeKnob, 7}, {3, K::LargeKnob, 8}, {4, K::VerticalSwitch4, 31}, {14, K::Picture, 32},
};
constexpr PanelControl kParametricEQ[] = {{5, K::SteppedKnob6, 4}};
constexpr PanelControl kPhaserBass[] = {
    {6, K::Switch4, 28}, {7, K::TempoSyncMenu, 15}, {8, K::OnOffButton, 20},
};
constexpr PanelControl kBassPreamp[] = {
    {2, K::LargeKnob, 7}, {3, K::VerticalSwitch2, 25}, {4, K::VerticalSwitch2, 26}, {5, K::LargeKnob, 9},
};
constexpr PanelControl kReverb[] = {{5, K::SteppedKnob7, 4}};
constexpr PanelControl kTremolo[] = {
    {2, K::LargeKnob, 7}, {3, K::SteppedKnob5, 10}, {4, K::LargeKnob, 9}, {5, K::TempoSyncMenu, 15},
    {6, K::OnOffButton, 20},
};

constexpr int32_t kTunerHookParameters[] = {2, 3};

constexpr PanelRow kRows[] = {
//   code class                             controls             drops  init   snap    LED  hook parameters
    {  5, "CORVAutoPanGUI",                 kAutoPan,            false, true,  {2, 4}},
    { 10, "CORVAutoTunerGUI",               kAutoTuner,          true,  false, {},     0,   kTunerHookParameters},
    { 15, "CORVAutoWahGUI",                 kKnobPairSyncTap,    false, true},
    { 20, "CORVBPMDelayGUI",                kKnobPairSyncTap,    false, true},
    { 25, "CORVBluesDriveGuitarGUI",        kThreeKnobDrive},
    { 30, "CORVCleanPreampGuitarGUI",       kThreeKnobDrive},
    { 35, "CORVCompressorGUI",              kCompressor,         false, true,  {},     10},
    { 40, "CORVCrunchPreampGuitarGUI",      kThreeKnobDrive},
    { 45, "CORVDistortionGUI",              kThreeKnobDrive,     false, true},
    { 50, "CORVDistortionBassGUI",          kThreeKnobDrive,     false, true},
    { 55, "CORVExciterGUI",                 kExciter},
    { 60, "CORVExpanderGateGUI",            kExpanderGate,       false, false, {},     10},
    { 65, "CORVFlangerGUI",                 kSyncTap},
    { 70, "CORVFlangerBassGUI",             kImpactSyncTap},
    { 75, "CORVGraphicEQBassGUI",           kEightSliders,       true},
    { 80, "CORVGraphicEQGuitarGUI",         kEightSliders,       true},
    { 85, "CORVHiGainPreampGuitarGUI",      kThreeKnobDrive},
    { 90, "CORVChorusGUI",                  kSyncTap,            false, true},
    { 95, "CORVChorusBassGUI",              kImpactSyncTap},
    {100, "CORVLevelControlGUI",            kLevelControl},
    {105, "CORVNoiseGateGUI",               kNoiseGate,          false, false, {},     10},
    {110, "CORVOverDriveGUI",               kThreeKnobDrive},
    {115, "CORVOverDriveBassGUI",           kThreeKnobDrive},
    {120, "CORVOctaverGUI",                 kOctaver},
    {125, "CORVPowerAmpGuitarGUI",          kPowerAmp},
    {130, "CORVParametricEQGUI",            kParametricEQ,       false, false, {5, 5}},
    {135, "CORVPhaserGUI",                  kSyncTap},
    {140, "CORVPhaserBassGUI",              kPhaserBass},
    {145, "CORVBassPreampGUI",              kBassPreamp},
    {150, "CORVPedalWahGUI",                kThreeKnobDrive},
    {155, "CORVReverbGUI",                  kReverb,             false, false, {5, 6}},
    {160, "CORVSpeakerSimulatorBassGUI",    kSpeaker},
    {165, "CORVSpeakerSimulatorGuitarGUI",  kSpeaker},
    {170, "CORVToneControlBassGUI",         kToneControlKnobs4},
    {175, "CORVToneControlGuitarGUI",       kToneControlKnobs5},
    {180, "CORVTremoloGUI",                 kTremolo,            false, false, {3, 4}},
};
// clang-format on

} // namespace

const KindLook& LookOf(ControlKind kind)
{
    return *std::find_if(std::begin(kLooks), std::end(kLooks), [kind](const KindLook& l) { return l.kind == kind; });
}

ControlBitmaps BitmapsOf(const PanelControl& control)
{
    const KindLook& look = LookOf(control.kind);
    return {control.bitmap ? control.bitmap : look.bitmap,
            control.secondBitmap ? control.secondBitmap : look.secondBitmap};
}

std::span<const PanelRow> PanelTable() { return kRows; }

const PanelRow* FindPanelRow(int32_t code)
{
    const auto found = std::find_if(std::begin(kRows), std::end(kRows), [code](const PanelRow& r) { return r.code == code; });
    return found != std::end(kRows) ? found : nullptr;
}
