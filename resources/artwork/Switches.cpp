#include "resources/artwork/Kinds.h"

#include <cmath>
#include <string>

namespace artwork {
namespace {

constexpr Rgb kSlot{0.05, 0.05, 0.06};
constexpr Rgb kChrome{0.78, 0.78, 0.80};
constexpr Rgb kInk{0.92, 0.91, 0.86};
constexpr Rgb kDimInk{0.62, 0.62, 0.60};
constexpr Rgb kActive{1.0, 0.62, 0.12};
constexpr Rgb kCapPlastic{0.16, 0.16, 0.17};
constexpr double kSlotShare = 0.48;  // slot height of a horizontal switch against its frame
constexpr double kActuatorShare = 0.75;
constexpr double kMinActuator = 9.0;
constexpr double kMaxLabel = 7.5;

void Recess(cairo_t* cr, double x, double y, double w, double h)
{
    RoundedRect(cr, x, y, w, h, std::fmin(w, h) / 2.0);
    FillLit(cr, kSlot, x, y, w, h, -0.1, true);
    StrokeBevel(cr, x, y, w, h, 1.0, 0.5, true);
}

// The metal slider of a slide switch, ridged across its direction of travel.
void Actuator(cairo_t* cr, double x, double y, double w, double h, bool vertical)
{
    DropShadow(cr, x, y, w, h, 1.5, 0.6, 0.6);
    RoundedRect(cr, x, y, w, h, 1.5);
    FillLit(cr, kChrome, x, y, w, h, 0.3, true);
    StrokeBevel(cr, x, y, w, h, 0.8, 0.6);
    cairo_set_line_width(cr, 0.6);
    for (int i = -1; i <= 1; ++i) {
        for (const bool light : {true, false}) {
            const double o = light ? -0.35 : 0.35;
            SetColour(cr, light ? Rgb{1, 1, 1} : Rgb{0.2, 0.2, 0.22}, light ? 0.7 : 0.6);
            if (vertical) {
                const double ly = y + h / 2.0 + i * 2.0 + o;
                cairo_move_to(cr, x + 2.0, ly);
                cairo_line_to(cr, x + w - 2.0, ly);
            } else {
                const double lx = x + w / 2.0 + i * 2.0 + o;
                cairo_move_to(cr, lx, y + 2.0);
                cairo_line_to(cr, lx, y + h - 2.0);
            }
            cairo_stroke(cr);
        }
    }
}

void Tick(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb colour, double width)
{
    cairo_set_line_width(cr, width);
    SetColour(cr, {0, 0, 0}, 0.45);
    cairo_move_to(cr, x0 + 0.4, y0 + 0.5);
    cairo_line_to(cr, x1 + 0.4, y1 + 0.5);
    cairo_stroke(cr);
    SetColour(cr, colour);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
}

void HorizontalSlide(const Frame& f)
{
    const double slotX = 2.0, slotY = 1.5, slotW = f.width - 4.0, slotH = f.height * kSlotShare;
    Recess(f.cr, slotX, slotY, slotW, slotH);
    const double actuatorW = std::fmax(kMinActuator, slotW / f.count * kActuatorShare);
    const double step = f.count > 1 ? (slotW - 2.0 - actuatorW) / (f.count - 1) : 0.0;
    // Position numbers under the slot, the chosen one lit.
    const double rest = f.height - slotY - slotH;
    const double textSize = std::fmin(kMaxLabel, rest * 0.8);
    for (int i = 0; i < f.count; ++i) {
        const double cx = slotX + 1.0 + actuatorW / 2.0 + i * step;
        Label(f.cr, std::to_string(i + 1), cx, slotY + slotH + rest / 2.0, textSize,
              i == f.index ? kActive : kDimInk);
    }
    Actuator(f.cr, slotX + 1.0 + f.index * step, slotY + 1.0, actuatorW, slotH - 2.0, false);
}

void VerticalSlide(const Frame& f)
{
    const double slotW = f.width * 0.42, slotX = (f.width - slotW) / 2.0;
    const double slotY = 2.0, slotH = f.height - 4.0;
    Recess(f.cr, slotX, slotY, slotW, slotH);
    const double actuatorH = std::fmax(kMinActuator, slotH / f.count * 0.6);
    const double step = f.count > 1 ? (slotH - 2.0 - actuatorH) / (f.count - 1) : 0.0;
    // Detent marks either side of the slot, the chosen one lit.
    for (int i = 0; i < f.count; ++i) {
        const double cy = slotY + 1.0 + actuatorH / 2.0 + i * step;
        const Rgb colour = i == f.index ? kActive : kDimInk;
        Tick(f.cr, 1.0, cy, slotX - 1.2, cy, colour, 1.0);
        Tick(f.cr, slotX + slotW + 1.2, cy, f.width - 1.0, cy, colour, 1.0);
    }
    Actuator(f.cr, slotX + 1.0, slotY + 1.0 + f.index * step, slotW - 2.0, actuatorH, true);
}

}  // namespace

void SlideSwitch(const Frame& f)
{
    if (f.width > f.height) {
        HorizontalSlide(f);
    } else {
        VerticalSlide(f);
    }
}

void SliderTrack(const Frame& f)
{
    constexpr int kDivisions = 10;
    constexpr double kSlotWidth = 4.0, kEnd = 4.0;
    const bool vertical = f.height > f.width;
    const double length = (vertical ? f.height : f.width) - 2 * kEnd;
    const double across = vertical ? f.width : f.height;
    const double mid = across / 2.0;
    for (int i = 0; i <= kDivisions; ++i) {
        const double along = kEnd + length * i / kDivisions;
        const bool major = i % 5 == 0;
        const double reach = major ? 1.0 : across * 0.18;
        for (const double side : {-1.0, 1.0}) {
            const double a0 = mid + side * (kSlotWidth / 2.0 + 1.5), a1 = side < 0 ? reach : across - reach;
            if (vertical) {
                Tick(f.cr, a0, along, a1, along, major ? kInk : kDimInk, major ? 0.9 : 0.7);
            } else {
                Tick(f.cr, along, a0, along, a1, major ? kInk : kDimInk, major ? 0.9 : 0.7);
            }
        }
    }
    if (vertical) {
        Recess(f.cr, mid - kSlotWidth / 2.0, kEnd - 2.0, kSlotWidth, length + 4.0);
    } else {
        Recess(f.cr, kEnd - 2.0, mid - kSlotWidth / 2.0, length + 4.0, kSlotWidth);
    }
}

void SliderHandle(const Frame& f)
{
    cairo_t* cr = f.cr;
    const double x = 1.0, y = 1.0, w = f.width - 2.5, h = f.height - 2.5;
    DropShadow(cr, x, y, w, h, 2.0, 1.0, 0.7);
    RoundedRect(cr, x, y, w, h, 2.0);
    FillLit(cr, kCapPlastic, x, y, w, h, 0.35, true);
    StrokeBevel(cr, x, y, w, h, 1.0, 0.5);
    // Grip ridges along the cap and a white line across it that marks the
    // value, perpendicular to the direction of travel.
    const bool vertical = f.height > f.width;
    const double cx = x + w / 2.0, cy = y + h / 2.0;
    for (int i = -3; i <= 3; ++i) {
        if (i == 0) continue;
        const double o = i * 2.2;
        if (vertical) {
            Tick(cr, x + 2.5, cy + o, x + w - 2.5, cy + o, Lighter(kCapPlastic, 0.15), 0.6);
        } else {
            Tick(cr, cx + o, y + 2.5, cx + o, y + h - 2.5, Lighter(kCapPlastic, 0.15), 0.6);
        }
    }
    if (vertical) {
        Tick(cr, x + 1.5, cy, x + w - 1.5, cy, {1, 1, 1}, 1.4);
    } else {
        Tick(cr, cx, y + 1.5, cx, y + h - 1.5, {1, 1, 1}, 1.4);
    }
}

void ToggleLever(const Frame& f)
{
    cairo_t* cr = f.cr;
    const double cx = f.width / 2.0, cy = f.height * 0.62;
    const double washer = f.width * 0.34, nut = f.width * 0.24;
    CircleShadow(cr, cx, cy, washer, 1.2, 0.5);
    cairo_arc(cr, cx, cy, washer, 0, 2 * kPi);
    FillLit(cr, kChrome, cx - washer, cy - washer, 2 * washer, 2 * washer, 0.3, true);
    StrokeBevel(cr, cx - washer, cy - washer, 2 * washer, 2 * washer, 0.8, 0.5);
    // Hexagonal nut.
    for (int i = 0; i < 6; ++i) {
        const double a = kPi / 6 + i * kPi / 3;
        const double px = cx + nut * std::cos(a), py = cy + nut * std::sin(a);
        i == 0 ? cairo_move_to(cr, px, py) : cairo_line_to(cr, px, py);
    }
    cairo_close_path(cr);
    FillLit(cr, Lighter(kChrome, 0.1), cx - nut, cy - nut, 2 * nut, 2 * nut, 0.4, true);
    StrokeBevel(cr, cx - nut, cy - nut, 2 * nut, 2 * nut, 0.8, 0.6);
    // The bat: a tapered chrome lever from the bushing up to a ball tip.
    const double tipY = 5.0, tip = f.width * 0.09, root = f.width * 0.12;
    cairo_move_to(cr, cx - root, cy);
    cairo_line_to(cr, cx - tip, tipY);
    cairo_line_to(cr, cx + tip, tipY);
    cairo_line_to(cr, cx + root, cy);
    cairo_close_path(cr);
    cairo_pattern_t* bar = cairo_pattern_create_linear(cx - root, 0, cx + root, 0);
    cairo_pattern_add_color_stop_rgb(bar, 0.0, 0.55, 0.55, 0.57);
    cairo_pattern_add_color_stop_rgb(bar, 0.3, 0.98, 0.98, 0.98);
    cairo_pattern_add_color_stop_rgb(bar, 1.0, 0.40, 0.40, 0.42);
    cairo_set_source(cr, bar);
    cairo_fill(cr);
    cairo_pattern_destroy(bar);
    cairo_arc(cr, cx, tipY, tip * 1.5, 0, 2 * kPi);
    cairo_pattern_t* ball = cairo_pattern_create_radial(cx - tip * 0.6, tipY - tip * 0.6, 0, cx, tipY,
                                                        tip * 1.5);
    cairo_pattern_add_color_stop_rgb(ball, 0.0, 1, 1, 1);
    cairo_pattern_add_color_stop_rgb(ball, 1.0, 0.45, 0.45, 0.47);
    cairo_set_source(cr, ball);
    cairo_fill(cr);
    cairo_pattern_destroy(ball);
}

}  // namespace artwork
