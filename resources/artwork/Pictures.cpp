#include "resources/artwork/Kinds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace artwork {
namespace {

constexpr Rgb kChrome{0.80, 0.80, 0.82};
constexpr Rgb kRubber{0.13, 0.13, 0.14};
constexpr Rgb kSteel{0.62, 0.63, 0.65};
constexpr Rgb kEnclosure{0.30, 0.33, 0.38};
constexpr Rgb kInk{0.92, 0.91, 0.86};
constexpr Rgb kDark{0.07, 0.07, 0.08};
constexpr Rgb kGlow{1.0, 0.45, 0.08};

// The pressed foot switch sinks this far into the enclosure.
constexpr double kFootTravel = 2.0;

// Horizontal ribs of a rubber pad: each groove is shaded on its upper edge
// and catches the light on its lower edge.
void Ribs(cairo_t* cr, double x, double y, double w, double h, double pitch)
{
    cairo_set_line_width(cr, 0.8);
    for (double line = y + pitch / 2; line < y + h - 0.5; line += pitch) {
        SetColour(cr, {0, 0, 0}, 0.55);
        cairo_move_to(cr, x, line);
        cairo_line_to(cr, x + w, line);
        cairo_stroke(cr);
        SetColour(cr, {1, 1, 1}, 0.09);
        cairo_move_to(cr, x, line + 0.8);
        cairo_line_to(cr, x + w, line + 0.8);
        cairo_stroke(cr);
    }
}

void Badge(cairo_t* cr, std::string_view text, double cx, double cy, double size)
{
    const double w = LabelWidth(cr, text, size) + size * 1.6, h = size * 1.6;
    RoundedRect(cr, cx - w / 2, cy - h / 2, w, h, h * 0.3);
    FillLit(cr, kChrome, cx - w / 2, cy - h / 2, w, h, 0.3, true);
    StrokeBevel(cr, cx - w / 2, cy - h / 2, w, h, 0.8, 0.6);
    Label(cr, text, cx, cy, size, {0.12, 0.12, 0.14});
}

Rgb Hue(double h, double s, double v)
{
    const double k[3] = {5.0, 3.0, 1.0};
    double out[3];
    for (int i = 0; i < 3; ++i) {
        const double p = std::fmod(k[i] + h * 6.0, 6.0);
        out[i] = v - v * s * std::clamp(std::min(p, 4.0 - p), 0.0, 1.0);
    }
    return {out[0], out[1], out[2]};
}

struct Valve {
    double centre;
    double width;
    double top;
};

void DrawValve(cairo_t* cr, const Valve& v, double base, bool glowing)
{
    const double left = v.centre - v.width / 2, r = v.width / 2;
    auto envelope = [&] {
        cairo_move_to(cr, left, base);
        cairo_line_to(cr, left, v.top + r);
        cairo_arc(cr, v.centre, v.top + r, r, kPi, 2 * kPi);
        cairo_line_to(cr, left + v.width, base);
        cairo_close_path(cr);
    };
    // Interior: the dark plate structure, and the filament's glow when hot.
    envelope();
    SetColour(cr, {0.16, 0.15, 0.14});
    cairo_fill(cr);
    const double plateTop = v.top + v.width * 0.55, plateW = v.width * 0.56;
    cairo_rectangle(cr, v.centre - plateW / 2, plateTop, plateW, base - plateTop - 2);
    FillLit(cr, {0.30, 0.30, 0.31}, v.centre - plateW / 2, plateTop, plateW, base - plateTop, 0.3);
    if (glowing) {
        const double gy = plateTop + (base - plateTop) * 0.55;
        cairo_pattern_t* glow = cairo_pattern_create_radial(v.centre, gy, 0.5, v.centre, gy, v.width * 0.9);
        cairo_pattern_add_color_stop_rgba(glow, 0.0, 1.0, 0.85, 0.45, 1.0);
        cairo_pattern_add_color_stop_rgba(glow, 0.35, kGlow.r, kGlow.g, kGlow.b, 0.8);
        cairo_pattern_add_color_stop_rgba(glow, 1.0, kGlow.r, kGlow.g, kGlow.b, 0.0);
        cairo_set_source(cr, glow);
        envelope();
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
    }
    // Silver getter flash at the top of the glass.
    cairo_arc(cr, v.centre, v.top + r, r - 0.5, kPi, 2 * kPi);
    SetColour(cr, {0.75, 0.76, 0.78}, 0.7);
    cairo_fill(cr);
    // Glass: a tint, a highlight down the lit side, an outline.
    envelope();
    cairo_pattern_t* glass = cairo_pattern_create_linear(left, 0, left + v.width, 0);
    cairo_pattern_add_color_stop_rgba(glass, 0.0, 1, 1, 1, 0.18);
    cairo_pattern_add_color_stop_rgba(glass, 0.22, 1, 1, 1, 0.55);
    cairo_pattern_add_color_stop_rgba(glass, 0.4, 1, 1, 1, 0.05);
    cairo_pattern_add_color_stop_rgba(glass, 1.0, 1, 1, 1, 0.12);
    cairo_set_source(cr, glass);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(glass);
    SetColour(cr, {0.85, 0.87, 0.9}, 0.6);
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
    // Bakelite base.
    cairo_rectangle(cr, left - 0.5, base - 3, v.width + 1, 3);
    FillLit(cr, {0.12, 0.09, 0.07}, left, base - 3, v.width, 3, 0.3);
}

}  // namespace

void FootSwitch(const Frame& f)
{
    cairo_t* cr = f.cr;
    const bool down = f.index == 1;
    const double x = 2.0, w = f.width - 5.0, h = f.height - 6.0;
    const double y = down ? 1.0 + kFootTravel : 1.0;
    DropShadow(cr, x, y, w, h, 6.0, down ? 0.5 : 2.0, down ? 0.45 : 0.75);
    RoundedRect(cr, x, y, w, h, 6.0);
    FillLit(cr, kChrome, x, y, w, h, 0.35, true);
    StrokeBevel(cr, x, y, w, h, 1.0, 0.6);
    const double inset = 3.0;
    RoundedRect(cr, x + inset, y + inset, w - 2 * inset, h - 2 * inset, 4.0);
    FillLit(cr, kRubber, x, y, w, h, 0.25, true);
    cairo_save(cr);
    cairo_clip(cr);
    Ribs(cr, x + inset, y + inset, w - 2 * inset, h - 2 * inset, 3.0);
    cairo_restore(cr);
    RoundedRect(cr, x + inset, y + inset, w - 2 * inset, h - 2 * inset, 4.0);
    StrokeBevel(cr, x + inset, y + inset, w - 2 * inset, h - 2 * inset, 1.0, 0.5, true);
    Badge(cr, "ORVANTA", x + w / 2, y + h / 2, 6.5);
    // Pushed in, the switch turns out of the light.
    if (down) {
        RoundedRect(cr, x, y, w, h, 6.0);
        SetColour(cr, {0, 0, 0}, 0.18);
        cairo_fill(cr);
    }
}

void PowerAmp(const Frame& f)
{
    cairo_t* cr = f.cr;
    const bool hot = f.index == 1;
    const double chassisTop = f.height * 0.66;
    // Chassis top and front.
    RoundedRect(cr, 1, chassisTop, f.width - 2.5, f.height - chassisTop - 1.5, 2.0);
    FillLit(cr, kSteel, 1, chassisTop, f.width - 2.5, f.height - chassisTop, 0.3, true);
    cairo_save(cr);
    cairo_clip(cr);
    BrushStreaks(cr, 1, chassisTop, f.width, f.height - chassisTop, 201, 0.12);
    cairo_restore(cr);
    RoundedRect(cr, 1, chassisTop, f.width - 2.5, f.height - chassisTop - 1.5, 2.0);
    StrokeBevel(cr, 1, chassisTop, f.width - 2.5, f.height - chassisTop - 1.5, 1.0, 0.5);
    Label(cr, "POWER", 30, chassisTop + (f.height - chassisTop) / 2, 7, {0.15, 0.15, 0.17});
    Lamp(cr, 56, chassisTop + (f.height - chassisTop) / 2, 2.6, {1.0, 0.15, 0.08}, hot);

    const double base = chassisTop + 1.0;
    // Two small preamp valves and two power valves, then the output
    // transformer.
    const std::array<Valve, 4> valves{{{20, 10, 9}, {36, 10, 9}, {66, 19, 1.5}, {92, 19, 1.5}}};
    for (const Valve& v : valves) DrawValve(cr, v, base, hot);
    const double tx = 112, tw = f.width - tx - 5, ttop = 7;
    DropShadow(cr, tx, ttop, tw, base - ttop, 1.5, 1.0, 0.6);
    cairo_rectangle(cr, tx, ttop, tw, base - ttop);
    FillLit(cr, kDark, tx, ttop, tw, base - ttop, 0.35);
    cairo_rectangle(cr, tx + 0.5, ttop + 0.5, tw - 1, base - ttop - 1);
    StrokeBevel(cr, tx, ttop, tw, base - ttop, 1.0, 0.35);
    for (const double bx : {tx + 5, tx + tw - 5}) {
        for (const double by : {ttop + 5, base - 5}) Screw(cr, bx, by, 2.2);
    }
    Label(cr, "OT", tx + tw / 2, (ttop + base) / 2, 8, kInk);
}

void PedalFace(const Frame& f)
{
    cairo_t* cr = f.cr;
    Enclosure(cr, 0, 0, f.width, f.height, 10, kEnclosure, 500, 3.4);
    // The parameter display's window (where the text control sits).
    const double dx = 13, dy = 123, dw = 159, dh = 23;
    RoundedRect(cr, dx, dy, dw, dh, 3);
    FillLit(cr, kDark, dx, dy, dw, dh, -0.1, true);
    StrokeBevel(cr, dx, dy, dw, dh, 1.2, 0.55, true);
    // The recess the foot switch stands in.
    const double fx = 9, fy = 275, fw = 167, fh = 43;
    RoundedRect(cr, fx, fy, fw, fh, 7);
    FillLit(cr, Darker(kEnclosure, 0.55), fx, fy, fw, fh, -0.15, true);
    StrokeBevel(cr, fx, fy, fw, fh, 1.0, 0.5, true);
    Label(cr, "ORVANTA", f.width / 2, 12, 8, kInk);
    Label(cr, "STOMPSET", f.width / 2, 237, 7, Darker(kInk, 0.15), Weight::Book);
}

void AboutFace(const Frame& f)
{
    cairo_t* cr = f.cr;
    Enclosure(cr, 0, 0, f.width, f.height, 10, {0.16, 0.17, 0.19}, 900, 3.4);
    BrushStreaks(cr, 6, 6, f.width - 12, f.height - 12, 900, 0.05);
    // The emblem: a pedal knob set into a ring of scale marks.
    const double cx = f.width / 2, cy = 72;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 21; ++i) {
        const double a = -0.75 * kPi + 1.5 * kPi * i / 20;
        const double r0 = 46, r1 = i % 5 == 0 ? 56 : 52;
        cairo_set_line_width(cr, i % 5 == 0 ? 2.0 : 1.2);
        SetColour(cr, i >= 17 ? Rgb{1.0, 0.35, 0.1} : kInk, 0.85);
        cairo_move_to(cr, cx + std::sin(a) * r0, cy - std::cos(a) * r0);
        cairo_line_to(cr, cx + std::sin(a) * r1, cy - std::cos(a) * r1);
        cairo_stroke(cr);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    WholeKnob(cr, cx, cy, 100, 0.25 * kPi);
    // A recessed panel below the emblem for the product name, the version
    // line and the credits, which the about view writes over it.
    const double px = 14, py = 146, pw = f.width - 28, ph = 160;
    RoundedRect(cr, px, py, pw, ph, 6);
    FillLit(cr, {0.08, 0.08, 0.09}, px, py, pw, ph, -0.08, true);
    StrokeBevel(cr, px, py, pw, ph, 1.2, 0.5, true);
}

void MiniPedal(const Frame& f)
{
    cairo_t* cr = f.cr;
    // Each pedal gets its own paint, spread round the colour wheel by the
    // golden ratio so neighbours never look alike.
    const double hue = std::fmod(0.07 + f.id * 0.618034, 1.0);
    const Rgb paint = Hue(hue, 0.62, 0.78);
    const double m = 2.0, w = f.width - 2 * m - 1, h = f.height - 2 * m - 1;
    const double scale = std::fmin(w, h) / 75.0;
    Enclosure(cr, m, m, w, h, 5 * scale, paint, static_cast<unsigned>(f.id), 2.0 * scale);
    // Knobs in a row near the top, two to four of them.
    const int knobs = 2 + f.id % 3;
    const double knobD = std::fmin(w / (knobs + 0.8), h * 0.32);
    for (int i = 0; i < knobs; ++i) {
        const double kx = m + w * (i + 0.5) / knobs;
        WholeKnob(cr, kx, m + h * 0.26, knobD, -0.75 * kPi + 1.5 * kPi * ((i * 3 + f.id) % 7) / 6.0);
    }
    Lamp(cr, m + w / 2, m + h * 0.56, 2.0 * scale, {1.0, 0.1, 0.06}, f.id % 2 == 0);
    // One foot switch, or two on a double pedal.
    const int switches = f.label == "double" ? 2 : 1;
    for (int i = 0; i < switches; ++i) {
        const double sx = m + w * (i + 0.5) / switches, sy = m + h * 0.8, sr = 7.0 * scale;
        CircleShadow(cr, sx, sy, sr, 1.0, 0.5);
        cairo_arc(cr, sx, sy, sr, 0, 2 * kPi);
        FillLit(cr, kChrome, sx - sr, sy - sr, 2 * sr, 2 * sr, 0.4, true);
        StrokeBevel(cr, sx - sr, sy - sr, 2 * sr, 2 * sr, 0.8, 0.6);
        cairo_arc(cr, sx, sy, sr * 0.55, 0, 2 * kPi);
        StrokeBevel(cr, sx - sr, sy - sr, 2 * sr, 2 * sr, 0.8, 0.5, true);
    }
}

void NeedleMeter(const Frame& f)
{
    cairo_t* cr = f.cr;
    Enclosure(cr, 1, 1, f.width - 3, f.height - 3, 6, kDark, 408, 0);
    const double fx = 8, fy = 8, fw = f.width - 17, fh = f.height * 0.68;
    RoundedRect(cr, fx, fy, fw, fh, 3);
    FillLit(cr, {0.93, 0.88, 0.72}, fx, fy, fw, fh, 0.1, true);
    StrokeBevel(cr, fx, fy, fw, fh, 1.2, 0.6, true);
    // A VU scale from -20 to +3, its top three decibels in red.
    const double cx = fx + fw / 2, cy = fy + fh - 4, r = fw * 0.48;
    struct Mark {
        double db;
        const char* text;
    };
    constexpr std::array<Mark, 8> kMarks{{{-20, "20"}, {-10, "10"}, {-7, "7"}, {-5, "5"}, {-3, "3"},
                                          {0, "0"}, {1, "+1"}, {3, "+3"}}};
    auto angleOf = [](double db) {
        const double t = std::pow(10.0, db / 20.0) / std::pow(10.0, 3.0 / 20.0);
        return -0.25 * kPi + 0.5 * kPi * t;
    };
    cairo_set_line_width(cr, 1.4);
    cairo_arc(cr, cx, cy, r, -0.5 * kPi + angleOf(-20), -0.5 * kPi + angleOf(0));
    SetColour(cr, {0.1, 0.1, 0.1});
    cairo_stroke(cr);
    cairo_set_line_width(cr, 3.0);
    cairo_arc(cr, cx, cy, r + 1, -0.5 * kPi + angleOf(0), -0.5 * kPi + angleOf(3));
    SetColour(cr, {0.8, 0.1, 0.08});
    cairo_stroke(cr);
    for (const Mark& mark : kMarks) {
        const double a = angleOf(mark.db);
        const Rgb ink = mark.db > 0 ? Rgb{0.8, 0.1, 0.08} : Rgb{0.1, 0.1, 0.1};
        cairo_set_line_width(cr, 1.0);
        SetColour(cr, ink);
        cairo_move_to(cr, cx + std::sin(a) * r, cy - std::cos(a) * r);
        cairo_line_to(cr, cx + std::sin(a) * (r + 5), cy - std::cos(a) * (r + 5));
        cairo_stroke(cr);
        Label(cr, mark.text, cx + std::sin(a) * (r + 11), cy - std::cos(a) * (r + 11), 7, ink);
    }
    Label(cr, "VU", cx, fy + fh * 0.72, 12, {0.1, 0.1, 0.1});
    // The needle at rest, against its left stop.
    cairo_save(cr);
    RoundedRect(cr, fx, fy, fw, fh, 3);
    cairo_clip(cr);
    const double rest = angleOf(-23);
    cairo_set_line_width(cr, 1.0);
    SetColour(cr, {0.05, 0.05, 0.05});
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx + std::sin(rest) * (r + 4), cy - std::cos(rest) * (r + 4));
    cairo_stroke(cr);
    cairo_restore(cr);
    Screw(cr, f.width / 2, fy + fh + (f.height - fy - fh) / 2, 6);
}

void PanelScrew(const Frame& f) { Screw(f.cr, f.width / 2, f.height / 2, f.width * 0.36); }

}  // namespace artwork
