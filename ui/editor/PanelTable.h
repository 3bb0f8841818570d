#pragma once
// What the 36 pedals put on their faces, as data: each row names an effect
// code, its panel class and the controls it places over the common ones.
// Only the behaviour that no row can express lives in panel code.
#include <cstdint>
#include <span>

// The kinds of control a pedal face is made of.
enum class ControlKind : uint8_t {
    SmallKnob,
    LargeKnob,
    SteppedKnob5,
    SteppedKnob7,
    SteppedKnob6,
    Switch2,
    Switch3,
    Switch4,
    Switch5,
    VerticalSwitch2,
    VerticalSwitch4,
    OnOffButton,
    TempoSyncMenu,
    SpeakerMenu,
    VerticalSlider,
    HorizontalSlider,
    Led,
    LevelMeter,
    Picture,
    KickButton,
    LampMeter,
    BarMeter,
    ToneMeter,
    TextField,
};

// How a kind looks: its picture (handle, or the dark picture of a meter,
// second), how many frames its film strip holds (for a meter: how many
// segments it lights), and the anchor it always sits at (menus).
struct KindLook {
    ControlKind kind;
    int32_t bitmap;
    int32_t secondBitmap;
    int32_t frames;
    int32_t fixedAnchor; // -1: the row gives the anchor
};

const KindLook& LookOf(ControlKind kind);

// One control of a panel.  bitmaps override the kind's pictures; a control
// of a row of sliders sits `step` times the slider step right of its anchor.
struct PanelControl {
    int32_t tag;
    ControlKind kind;
    int32_t anchor;
    int32_t bitmap = 0;
    int32_t secondBitmap = 0;
    int32_t step = 0;
};

// The pictures a control is drawn from: those its row names, else its kind's.
struct ControlBitmaps {
    int32_t first;
    int32_t second;
};
ControlBitmaps BitmapsOf(const PanelControl& control);

// A stepped knob snaps to one of steps + 1 positions.
struct SnapRule {
    int32_t tag = 0; // 0: the panel has no stepped knob
    int32_t steps = 0;
};

struct PanelRow {
    int32_t code;
    const char* className;
    std::span<const PanelControl> controls;
    // The panel drops the common knob row whatever its parameters.
    bool dropsKnobRow = false;
    // Values come from the parameters at construction (otherwise the
    // editor's first refresh sets them).
    bool initialises = false;
    SnapRule snap = {};
    // The panel's own LED (a light, not a parameter), 0 when it has none.
    int32_t ledTag = 0;
    // Parameters the panel shows or sets through its hooks rather than a
    // control of their own tag.
    std::span<const int32_t> hookParameters = {};
};

std::span<const PanelRow> PanelTable();
// The row of an effect code, or null.
const PanelRow* FindPanelRow(int32_t code);

// The anchor whose left edge is the distance between neighbouring sliders.
inline constexpr int32_t kSliderStepAnchor = 24;
