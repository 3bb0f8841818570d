#include "resources/artwork/Kinds.h"

#include <array>
#include <cmath>

namespace artwork {
namespace {

// The status LED's frames, by the value the editor and the panels give it
// (frame = value x 9):
//   0 off                 effect bypassed
//   1 red                 effect on
//   2 green               dynamics idle: no gain reduction, gate at rest
//   3 yellow              dynamics working, delay hold sampling
//   4 blue                tap tempo armed, waiting for the first tap
//   5 orange              tap tempo: press again; delay hold playing
//   6 to 9                dim green, dim yellow, dim blue and white, spare
//                         shades for panels that want a quieter signal
struct LedState {
    Rgb colour;
    bool lit;
};
constexpr std::array<LedState, 10> kLedStates{{
    {{0.85, 0.08, 0.05}, false},
    {{1.00, 0.10, 0.06}, true},
    {{0.15, 0.95, 0.20}, true},
    {{1.00, 0.88, 0.10}, true},
    {{0.20, 0.50, 1.00}, true},
    {{1.00, 0.50, 0.05}, true},
    {{0.10, 0.55, 0.15}, true},
    {{0.60, 0.52, 0.08}, true},
    {{0.10, 0.25, 0.60}, true},
    {{0.95, 0.95, 1.00}, true},
}};

constexpr Rgb kAmber{1.0, 0.62, 0.05};
constexpr Rgb kMeterGreen{0.15, 0.95, 0.25};
constexpr Rgb kMeterYellow{1.0, 0.85, 0.1};
constexpr Rgb kMeterRed{1.0, 0.15, 0.1};
constexpr Rgb kTunerRed{1.0, 0.18, 0.1};
constexpr Rgb kHousing{0.05, 0.05, 0.06};
// A dark segment keeps a trace of its colour, as the tinted plastic of a
// real unlit LED does.
constexpr double kUnlitDarkening = 0.78;

// Colour of a level-meter segment at relative height t (0 bottom, 1 top):
// green up to -9 dB of the 60 dB scale, yellow to -3 dB, red above.
Rgb SegmentColour(double t)
{
    if (t < 0.85) return kMeterGreen;
    if (t < 0.95) return kMeterYellow;
    return kMeterRed;
}

void Segment(cairo_t* cr, double x, double y, double w, double h, Rgb colour, bool lit)
{
    cairo_rectangle(cr, x, y, w, h);
    if (lit) {
        FillLit(cr, colour, x, y, w, h, 0.25);
    } else {
        SetColour(cr, Darker(colour, kUnlitDarkening));
        cairo_fill(cr);
    }
}

void Housing(cairo_t* cr, double w, double h)
{
    cairo_rectangle(cr, 0, 0, w, h);
    SetColour(cr, kHousing);
    cairo_fill(cr);
}

}  // namespace

void StatusLed(const Frame& f)
{
    const LedState& state = kLedStates[static_cast<std::size_t>(f.index) % kLedStates.size()];
    Lamp(f.cr, f.width / 2.0, f.height / 2.0, f.width * 0.28, state.colour, state.lit);
}

void ModifiedLamp(const Frame& f)
{
    Lamp(f.cr, f.width / 2.0, f.height / 2.0, f.height * 0.25, kAmber, f.index == 1);
}

void LedLadder(const Frame& f)
{
    constexpr double kPitch = 3.0, kGap = 1.0, kSide = 1.0;
    const bool lit = f.variant == 0;
    Housing(f.cr, f.width, f.height);
    const int segments = static_cast<int>((f.height - kGap) / kPitch);
    for (int i = 0; i < segments; ++i) {
        const double y = f.height - (i + 1) * kPitch;
        Segment(f.cr, kSide, y, f.width - 2 * kSide, kPitch - kGap,
                SegmentColour((i + 0.5) / segments), lit);
    }
}

void LedGrid(const Frame& f)
{
    constexpr double kCell = 6.0, kPitchY = 4.0, kGap = 1.0;
    const bool lit = f.variant == 0;
    Housing(f.cr, f.width, f.height);
    const int columns = static_cast<int>((f.width - kGap) / kCell);
    const int rows = static_cast<int>((f.height - kGap) / kPitchY);
    const double left = (f.width - columns * kCell + kGap) / 2.0;
    for (int r = 0; r < rows; ++r) {
        const Rgb colour = r + 1 == rows ? kAmber : kMeterGreen;
        for (int c = 0; c < columns; ++c) {
            const double y = f.height - (r + 1) * kPitchY;
            Segment(f.cr, left + c * kCell, y, kCell - kGap, kPitchY - kGap, colour, lit);
        }
    }
}

void TunerLamp(const Frame& f)
{
    cairo_t* cr = f.cr;
    const bool lit = f.variant == 0;
    const bool inTune = f.label == "tune";
    const Rgb colour = inTune ? kMeterGreen : kTunerRed;
    // Bezel: a black window frame set into the panel.
    RoundedRect(cr, 0.5, 0.5, f.width - 1, f.height - 1, 4);
    FillLit(cr, {0.12, 0.12, 0.13}, 0, 0, f.width, f.height, 0.3, true);
    StrokeBevel(cr, 0.5, 0.5, f.width - 1, f.height - 1, 1.0, 0.45);
    const double inset = 3.5;
    RoundedRect(cr, inset, inset, f.width - 2 * inset, f.height - 2 * inset, 2.5);
    cairo_pattern_t* lens = cairo_pattern_create_radial(f.width / 2, f.height / 2, 1, f.width / 2,
                                                        f.height / 2, f.width * 0.6);
    const Rgb centre = lit ? Lighter(colour, 0.35) : Darker(colour, kUnlitDarkening);
    const Rgb rim = lit ? Darker(colour, 0.2) : Darker(colour, 0.88);
    cairo_pattern_add_color_stop_rgb(lens, 0, centre.r, centre.g, centre.b);
    cairo_pattern_add_color_stop_rgb(lens, 1, rim.r, rim.g, rim.b);
    cairo_set_source(cr, lens);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(lens);
    StrokeBevel(cr, inset, inset, f.width - 2 * inset, f.height - 2 * inset, 1.0, 0.5, true);

    // The symbol sits dark in the lens: an arrow pointing the way the
    // string must go (flat: tune up, to the right; sharp: tune down) next to
    // the accidental, or a ring for "in tune".
    const Rgb ink = lit ? Darker(colour, 0.65) : Darker(colour, 0.55);
    const double cy = f.height / 2.0;
    if (inTune) {
        cairo_arc(cr, f.width / 2.0, cy, f.height * 0.22, 0, 2 * kPi);
        cairo_set_line_width(cr, 2.2);
        SetColour(cr, ink);
        cairo_stroke(cr);
        return;
    }
    const bool flat = f.label == "flat";
    const double dir = flat ? 1.0 : -1.0;
    const double arrowX = flat ? f.width * 0.66 : f.width * 0.34;
    const double half = f.height * 0.2;
    cairo_move_to(cr, arrowX + dir * half, cy);
    cairo_line_to(cr, arrowX - dir * half, cy - half);
    cairo_line_to(cr, arrowX - dir * half, cy + half);
    cairo_close_path(cr);
    SetColour(cr, ink);
    cairo_fill(cr);
    Label(cr, flat ? "\u266d" : "\u266f", flat ? f.width * 0.32 : f.width * 0.68, cy, f.height * 0.5,
          ink, Weight::Book);
}

}  // namespace artwork
