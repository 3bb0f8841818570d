#include "resources/artwork/Kinds.h"

#include <cmath>

namespace artwork {
namespace {

constexpr Rgb kPlastic{0.17, 0.17, 0.19};
constexpr Rgb kLabelInk{0.90, 0.89, 0.85};
constexpr Rgb kLampRed{0.95, 0.12, 0.08};
// How far a pressed button sinks, in pixels.
constexpr double kTravel = 0.6;
constexpr double kCorner = 2.5;
constexpr double kTextScale = 0.58;  // label size against the plate height
constexpr double kMaxText = 8.5;
constexpr double kTwoLineText = 7.0;

// A black plastic key: raised with a shadow, or pushed in with the shading
// turned over.  Returns the offset by which its contents move.
double Plate(cairo_t* cr, double w, double h, bool pressed)
{
    const double x = 0.5, y = 0.5, pw = w - 1.5, ph = h - 1.5;
    DropShadow(cr, x, y, pw, ph, kCorner, pressed ? 0.15 : 0.6, pressed ? 0.35 : 0.6);
    const double shift = pressed ? kTravel : 0.0;
    RoundedRect(cr, x + shift, y + shift, pw, ph, kCorner);
    FillLit(cr, pressed ? Darker(kPlastic, 0.25) : kPlastic, x, y, pw, ph, pressed ? -0.12 : 0.22,
            true);
    StrokeBevel(cr, x + shift, y + shift, pw, ph, 1.0, pressed ? 0.35 : 0.45, pressed);
    return shift;
}

double TextSize(double h) { return std::fmin(kMaxText, h * kTextScale); }

// The small down-pointing triangle that marks a pop-up menu.
void MenuMark(cairo_t* cr, double x, double cy, double size)
{
    cairo_move_to(cr, x - size, cy - size * 0.5);
    cairo_line_to(cr, x + size, cy - size * 0.5);
    cairo_line_to(cr, x, cy + size * 0.6);
    cairo_close_path(cr);
    SetColour(cr, kLabelInk, 0.85);
    cairo_fill(cr);
}

void MenuIcon(cairo_t* cr, double cx, double cy, double width, double gap)
{
    cairo_set_line_width(cr, 1.1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = -1; i <= 1; ++i) {
        SetColour(cr, {0, 0, 0}, 0.6);
        cairo_move_to(cr, cx - width / 2 + 0.3, cy + i * gap + 0.4);
        cairo_line_to(cr, cx + width / 2 + 0.3, cy + i * gap + 0.4);
        cairo_stroke(cr);
        SetColour(cr, kLabelInk);
        cairo_move_to(cr, cx - width / 2, cy + i * gap);
        cairo_line_to(cr, cx + width / 2, cy + i * gap);
        cairo_stroke(cr);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

// Lines of a label are separated by '|'.
void MultiLineLabel(cairo_t* cr, std::string_view text, double cx, double cy, double size)
{
    int lines = 1;
    for (char c : text) lines += c == '|';
    const double pitch = size * 1.25;
    double y = cy - pitch * (lines - 1) / 2.0;
    while (true) {
        const auto bar = text.find('|');
        Label(cr, text.substr(0, bar), cx, y, size, kLabelInk);
        if (bar == std::string_view::npos) break;
        text.remove_prefix(bar + 1);
        y += pitch;
    }
}

}  // namespace

void MenuPlate(const Frame& f)
{
    const double s = Plate(f.cr, f.width, f.height, f.variant == 1);
    const double mark = f.height >= 20 ? 3.0 : 2.2;
    const double markX = f.width - 4.5 - mark;
    MenuMark(f.cr, markX + s, f.height / 2.0 + s, mark);
    MultiLineLabel(f.cr, f.label, (markX - mark) / 2.0 + 1.0 + s, f.height / 2.0 - 0.3 + s,
                   f.height > 20 ? kTwoLineText : TextSize(f.height));
}

void OptionsMenu(const Frame& f)
{
    const double s = Plate(f.cr, f.width, f.height, f.variant == 1);
    const double mark = 2.2;
    MenuMark(f.cr, f.width - 5.0 + s, f.height / 2.0 + s, mark);
    MenuIcon(f.cr, (f.width - 7.0) / 2.0 + 0.5 + s, f.height / 2.0 - 0.3 + s, f.width * 0.36, 2.6);
}

void BlankPlate(const Frame& f) { Plate(f.cr, f.width, f.height, f.variant % 2 == 1); }

void PushButton(const Frame& f)
{
    const double s = Plate(f.cr, f.width, f.height, f.index == 1);
    Label(f.cr, f.label, f.width / 2.0 + s, f.height / 2.0 - 0.3 + s, TextSize(f.height), kLabelInk);
}

void ToggleButton(const Frame& f)
{
    const bool on = f.index == 1;
    const double s = Plate(f.cr, f.width, f.height, on);
    const double lampRadius = f.height * 0.16;
    const double lampX = 3.0 + lampRadius * 1.35 + s;
    Lamp(f.cr, lampX, f.height / 2.0 - 0.3 + s, lampRadius, kLampRed, on);
    const double textLeft = lampX + lampRadius * 1.35 + 1.0;
    Label(f.cr, f.label, (textLeft + f.width - 2.5) / 2.0 + s, f.height / 2.0 - 0.3 + s,
          TextSize(f.height), kLabelInk);
}

void ArrowButton(const Frame& f)
{
    const double s = Plate(f.cr, f.width, f.height, f.index == 1);
    const double dir = f.label == ">" ? 1.0 : -1.0;
    const double cx = f.width / 2.0 + s, cy = f.height / 2.0 - 0.3 + s;
    const double half = f.height * 0.24;
    for (const bool shadow : {true, false}) {
        const double o = shadow ? 0.5 : 0.0;
        cairo_move_to(f.cr, cx + dir * half + o, cy + o);
        cairo_line_to(f.cr, cx - dir * half + o, cy - half + o);
        cairo_line_to(f.cr, cx - dir * half + o, cy + half + o);
        cairo_close_path(f.cr);
        SetColour(f.cr, shadow ? Rgb{0, 0, 0} : kLabelInk, shadow ? 0.6 : 1.0);
        cairo_fill(f.cr);
    }
}

}  // namespace artwork
