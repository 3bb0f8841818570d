#include "resources/artwork/Catalogue.h"

#include "resources/artwork/Kinds.h"

#include <array>

namespace artwork {
namespace {

// Every bitmap the editors load, by resource id.
//
// Where the resource list gives a family only a span of sizes, each id's
// size follows from where the panels put it:
// - 121 to 132 (53 x 15 up to 53 x 48, no control uses them): two pairs of
//   53 x 15 plates, two pairs of 53 x 30, one of 53 x 38 and, for the pair
//   the list loads last, 53 x 48; each pair is a key up and held down.
// - 202 to 213 take the listed sizes in id order.  202/203 are the level
//   meters (6 x 81, four of them 7 pixels apart); 204/205 (6 x 26) the two
//   small bars of the tuner display; 206/207 (72 x 26) the tone meter of
//   the tuner display; 208/209 (44 x 38) the in-tune light at the centre
//   (x 69 to 113 on the 185-pixel pedal); 210/211 and 212/213 (55 x 38) the
//   flat light at the left (from x 10) and the sharp light at the right
//   (from x 124).  Of every pair the even id is lit and the odd id dark, as
//   a VU meter takes its "on" bitmap before its "off" bitmap.
// - 400 to 405 are switch film strips, one frame per position:
//   400 two-way at (74, 98): 40 x 40, the smallest of the span.
//   401 vertical two-way, twice on the bass preamp at x 71 and 100 between
//       two large knobs, leaving 18 pixels: 18 x 80, as wide as 405.
//   402 three-way and 403 four-way at (25, 231), above the LED row at 259,
//       and 403 and 404 at (48, 95), above the display at 126: frames 23
//       high, 26.4 pixels of travel per position: 80 x 69 and 106 x 92.
//   404 five-way: 132 x 115, the largest of the span.
//   405 vertical four-way of the power amp at (131, 42), right of the
//       middle large knob: 18 x 280.
// - 700 to 734 and 750 to 758 (no control uses them): the 35 small ones
//   91 x 77; 750 to 757 146 x 143; 758, which the list loads on its own,
//   the wide 172 x 143.
constexpr std::array kRows{
    ArtworkRow{100, 100, 161, 76, 2, FootSwitch, ""},
    ArtworkRow{101, 102, 57, 23, 1, BlankPlate, ""},
    ArtworkRow{103, 104, 53, 15, 1, MenuPlate, "PRESET"},
    ArtworkRow{105, 106, 27, 15, 1, OptionsMenu, ""},
    ArtworkRow{107, 107, 26, 30, 2, ModifiedLamp, ""},
    ArtworkRow{108, 108, 53, 30, 2, ToggleButton, "TAP"},
    ArtworkRow{109, 109, 53, 30, 2, PushButton, "REF +"},
    ArtworkRow{110, 110, 53, 30, 2, PushButton, "REF \u2212"},
    ArtworkRow{111, 112, 53, 15, 1, MenuPlate, "SYNC"},
    ArtworkRow{113, 114, 53, 15, 1, MenuPlate, "SAVE"},
    ArtworkRow{115, 115, 45, 30, 2, ToggleButton, "LEARN"},
    ArtworkRow{116, 116, 53, 30, 2, ToggleButton, "x5 OS"},
    ArtworkRow{117, 118, 53, 38, 1, MenuPlate, "SPEAKER|TYPE"},
    ArtworkRow{119, 119, 20, 30, 2, ArrowButton, "<"},
    ArtworkRow{120, 120, 20, 30, 2, ArrowButton, ">"},
    ArtworkRow{121, 124, 53, 15, 1, BlankPlate, ""},
    ArtworkRow{125, 128, 53, 30, 1, BlankPlate, ""},
    ArtworkRow{129, 130, 53, 38, 1, BlankPlate, ""},
    ArtworkRow{131, 132, 53, 48, 1, BlankPlate, ""},
    ArtworkRow{200, 200, 15, 150, 10, StatusLed, ""},
    ArtworkRow{201, 201, 173, 96, 2, PowerAmp, ""},
    ArtworkRow{202, 203, 6, 81, 1, LedLadder, ""},
    ArtworkRow{204, 205, 6, 26, 1, LedLadder, ""},
    ArtworkRow{206, 207, 72, 26, 1, LedGrid, ""},
    ArtworkRow{208, 209, 44, 38, 1, TunerLamp, "tune"},
    ArtworkRow{210, 211, 55, 38, 1, TunerLamp, "flat"},
    ArtworkRow{212, 213, 55, 38, 1, TunerLamp, "sharp"},
    ArtworkRow{300, 300, 45, 45, 1, KnobBody, ""},
    ArtworkRow{301, 301, 63, 63, 1, KnobBody, ""},
    ArtworkRow{302, 302, 24, 24, 1, KnobHandle, ""},
    ArtworkRow{303, 303, 28, 28, 1, KnobHandle, ""},
    ArtworkRow{320, 320, 45, 225, 5, SteppedKnob, ""},
    ArtworkRow{321, 321, 45, 315, 7, SteppedKnob, ""},
    ArtworkRow{322, 322, 45, 270, 6, SteppedKnob, ""},
    ArtworkRow{400, 400, 40, 40, 2, SlideSwitch, ""},
    ArtworkRow{401, 401, 18, 80, 2, SlideSwitch, ""},
    ArtworkRow{402, 402, 80, 69, 3, SlideSwitch, ""},
    ArtworkRow{403, 403, 106, 92, 4, SlideSwitch, ""},
    ArtworkRow{404, 404, 132, 115, 5, SlideSwitch, ""},
    ArtworkRow{405, 405, 18, 280, 4, SlideSwitch, ""},
    ArtworkRow{407, 407, 41, 48, 1, ToggleLever, ""},
    ArtworkRow{408, 408, 136, 140, 1, NeedleMeter, ""},
    ArtworkRow{450, 450, 18, 80, 1, SliderTrack, ""},
    ArtworkRow{451, 451, 18, 25, 1, SliderHandle, ""},
    ArtworkRow{452, 452, 85, 19, 1, SliderTrack, ""},
    ArtworkRow{453, 453, 31, 18, 1, SliderHandle, ""},
    ArtworkRow{454, 454, 20, 20, 1, PanelScrew, ""},
    ArtworkRow{500, 500, 185, 320, 1, PedalFace, ""},
    ArtworkRow{501, 536, 185, 320, 1, StompFace, ""},
    ArtworkRow{537, 541, 185, 320, 1, AlternativeFace, ""},
    ArtworkRow{700, 734, 91, 77, 1, MiniPedal, ""},
    ArtworkRow{750, 757, 146, 143, 1, MiniPedal, ""},
    ArtworkRow{758, 758, 172, 143, 1, MiniPedal, "double"},
    ArtworkRow{900, 900, 185, 320, 1, AboutFace, ""},
};

}  // namespace

std::span<const ArtworkRow> Catalogue() { return kRows; }

const ArtworkRow* FindArtwork(int32_t id)
{
    for (const ArtworkRow& row : kRows)
        if (id >= row.firstId && id <= row.lastId) return &row;
    return nullptr;
}

}  // namespace artwork
