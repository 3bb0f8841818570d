#include "resources/artwork/Kinds.h"

#include <cmath>

namespace artwork {
namespace {

// A knob turns 135 degrees either side of straight up, the travel of the
// usual pedal potentiometer.
constexpr double kSweep = 0.75 * kPi;
constexpr int kScaleMarks = 11;
constexpr int kKnurls = 36;
constexpr Rgb kKnobPlastic{0.11, 0.11, 0.12};
constexpr Rgb kScaleInk{0.92, 0.91, 0.86};
constexpr Rgb kPointerInk{0.06, 0.06, 0.07};
// Proportions of the body: skirt radius and top-face radius against the
// bitmap's width.
constexpr double kSkirt = 0.40;
constexpr double kFace = 0.31;
constexpr double kCap = 0.46;  // cap radius against the handle's width

// A point at angle a (0 = up, clockwise) and radius r around (cx, cy).
void At(double cx, double cy, double a, double r, double& x, double& y)
{
    x = cx + std::sin(a) * r;
    y = cy - std::cos(a) * r;
}

double StepAngle(int step, int steps)
{
    return steps < 2 ? 0.0 : -kSweep + 2.0 * kSweep * step / (steps - 1);
}

void ScaleMarks(cairo_t* cr, double cx, double cy, double inner, double outer, int marks, int active)
{
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < marks; ++i) {
        double x0, y0, x1, y1;
        const double a = StepAngle(i, marks);
        At(cx, cy, a, inner, x0, y0);
        At(cx, cy, a, outer, x1, y1);
        const bool on = i == active;
        cairo_set_line_width(cr, on ? 1.6 : 1.0);
        SetColour(cr, {0, 0, 0}, 0.5);
        cairo_move_to(cr, x0 + 0.4, y0 + 0.5);
        cairo_line_to(cr, x1 + 0.4, y1 + 0.5);
        cairo_stroke(cr);
        SetColour(cr, on ? Rgb{1.0, 0.55, 0.1} : kScaleInk, on || active < 0 ? 1.0 : 0.7);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_stroke(cr);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

// The knurled skirt and the domed top face of a black plastic knob.
void Body(cairo_t* cr, double cx, double cy, double skirt, double face)
{
    CircleShadow(cr, cx, cy, skirt, skirt * 0.12, 0.6);
    cairo_arc(cr, cx, cy, skirt, 0, 2 * kPi);
    FillLit(cr, kKnobPlastic, cx - skirt, cy - skirt, 2 * skirt, 2 * skirt, 0.3);
    // Ridges catch the light on the side facing the top left.
    cairo_set_line_width(cr, skirt * 2 * kPi / kKnurls * 0.45);
    for (int i = 0; i < kKnurls; ++i) {
        const double a = 2 * kPi * i / kKnurls;
        const double facing = 0.5 + 0.5 * std::cos(a + kPi / 4);  // 1 towards the top left
        double x0, y0, x1, y1;
        At(cx, cy, a, face + (skirt - face) * 0.25, x0, y0);
        At(cx, cy, a, skirt - 0.4, x1, y1);
        SetColour(cr, {1, 1, 1}, 0.05 + 0.22 * facing);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_stroke(cr);
    }
    cairo_arc(cr, cx, cy, skirt - 0.4, 0, 2 * kPi);
    StrokeBevel(cr, cx - skirt, cy - skirt, 2 * skirt, 2 * skirt, 0.8, 0.35);

    cairo_arc(cr, cx, cy, face, 0, 2 * kPi);
    cairo_pattern_t* dome = cairo_pattern_create_radial(cx - face * 0.35, cy - face * 0.4, face * 0.1,
                                                        cx, cy, face * 1.05);
    const Rgb top = Lighter(kKnobPlastic, 0.22), edge = Darker(kKnobPlastic, 0.4);
    cairo_pattern_add_color_stop_rgb(dome, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(dome, 1, edge.r, edge.g, edge.b);
    cairo_set_source(cr, dome);
    cairo_fill(cr);
    cairo_pattern_destroy(dome);
    cairo_arc(cr, cx, cy, face, 0, 2 * kPi);
    StrokeBevel(cr, cx - face, cy - face, 2 * face, 2 * face, 0.9, 0.3, true);
}

// A turned aluminium cap with its pointer line at angle a.
void Cap(cairo_t* cr, double cx, double cy, double r, double a)
{
    CircleShadow(cr, cx, cy, r, r * 0.08, 0.45);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_pattern_t* metal = cairo_pattern_create_radial(cx - r * 0.4, cy - r * 0.45, r * 0.05, cx, cy,
                                                         r * 1.1);
    cairo_pattern_add_color_stop_rgb(metal, 0.0, 0.96, 0.96, 0.95);
    cairo_pattern_add_color_stop_rgb(metal, 0.6, 0.74, 0.74, 0.75);
    cairo_pattern_add_color_stop_rgb(metal, 1.0, 0.50, 0.50, 0.52);
    cairo_set_source(cr, metal);
    cairo_fill(cr);
    cairo_pattern_destroy(metal);
    // Turning rings of the lathe.
    cairo_set_line_width(cr, 0.35);
    for (double ring = r * 0.2; ring < r * 0.95; ring += r * 0.14) {
        cairo_arc(cr, cx, cy, ring, 0, 2 * kPi);
        SetColour(cr, {1, 1, 1}, 0.18);
        cairo_stroke(cr);
    }
    cairo_arc(cr, cx, cy, r - 0.4, 0, 2 * kPi);
    StrokeBevel(cr, cx - r, cy - r, 2 * r, 2 * r, 0.8, 0.55);

    double x0, y0, x1, y1;
    At(cx, cy, a, r * 0.18, x0, y0);
    At(cx, cy, a, r * 0.88, x1, y1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, std::fmax(1.6, r * 0.2));
    SetColour(cr, {1, 1, 1}, 0.55);
    cairo_move_to(cr, x0 + 0.35, y0 + 0.45);
    cairo_line_to(cr, x1 + 0.35, y1 + 0.45);
    cairo_stroke(cr);
    SetColour(cr, kPointerInk);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

}  // namespace

void KnobBody(const Frame& f)
{
    const double c = f.width / 2.0;
    const double skirt = f.width * kSkirt;
    ScaleMarks(f.cr, c, c, skirt + 0.8, f.width / 2.0 - 0.6, kScaleMarks, -1);
    Body(f.cr, c, c, skirt, f.width * kFace);
}

void KnobHandle(const Frame& f)
{
    const double c = f.width / 2.0;
    Cap(f.cr, c, c, f.width * kCap - 0.5, 0.0);
}

void SteppedKnob(const Frame& f)
{
    const double c = f.width / 2.0;
    const double skirt = f.width * kSkirt;
    ScaleMarks(f.cr, c, c, skirt + 0.8, f.width / 2.0 - 0.6, f.count, f.index);
    Body(f.cr, c, c, skirt, f.width * kFace);
    // The cap of the small knob, so a stepped knob matches its neighbours.
    Cap(f.cr, c, c, f.width * kFace * 0.755, StepAngle(f.index, f.count));
}

void WholeKnob(cairo_t* cr, double cx, double cy, double diameter, double angle)
{
    Body(cr, cx, cy, diameter * kSkirt, diameter * kFace);
    Cap(cr, cx, cy, diameter * kFace * 0.755, angle);
}

}  // namespace artwork
