#pragma once
#include "resources/artwork/Painter.h"

// The kinds of picture the generator draws.  A painter draws one frame; the
// frame's index, the id's position in its table row (variant) and the label
// say which state or which member of a family it shows.
namespace artwork {

// Buttons and menus (Buttons.cpp).
void MenuPlate(const Frame& f);      // variant 0 normal, 1 pressed
void OptionsMenu(const Frame& f);    // as MenuPlate, with a menu icon for a label
void BlankPlate(const Frame& f);     // even variant normal, odd variant pressed
void PushButton(const Frame& f);     // frame 0 up, frame 1 held down
void ToggleButton(const Frame& f);   // frame 0 off, frame 1 on (lamp lit)
void ArrowButton(const Frame& f);    // label "<" or ">"; frame 1 held down

// Lamps and meters (Lamps.cpp).
void StatusLed(const Frame& f);      // one colour per frame, see the table there
void ModifiedLamp(const Frame& f);   // frame 0 dark, frame 1 lit
void LedLadder(const Frame& f);      // variant 0 lit, 1 dark
void LedGrid(const Frame& f);        // variant 0 lit, 1 dark
void TunerLamp(const Frame& f);      // label "flat", "sharp" or "tune"; variant 0 lit, 1 dark

// Knobs, switches and sliders (Knobs.cpp, Switches.cpp).
void KnobBody(const Frame& f);
void KnobHandle(const Frame& f);
void SteppedKnob(const Frame& f);    // one frame per position
void SlideSwitch(const Frame& f);    // one frame per position; horizontal when wider than high
void SliderTrack(const Frame& f);    // vertical or horizontal by shape
void SliderHandle(const Frame& f);
void ToggleLever(const Frame& f);
// A whole knob (body and cap) for pictures that show one.
void WholeKnob(cairo_t* cr, double cx, double cy, double diameter, double angle);

// Pictures (Pictures.cpp).
void FootSwitch(const Frame& f);     // frame 0 up, frame 1 down
void PowerAmp(const Frame& f);       // frame 0 cold, frame 1 glowing valves
void PedalFace(const Frame& f);
// Faces.cpp: the pedal of effect code 5 * (id - 500), and the generic face
// in the colourway of its variant.
void StompFace(const Frame& f);
void AlternativeFace(const Frame& f);
void AboutFace(const Frame& f);
void MiniPedal(const Frame& f);      // colour by id; label "double" for two foot switches
void NeedleMeter(const Frame& f);
void PanelScrew(const Frame& f);

}  // namespace artwork
