#include "resources/artwork/Painter.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace artwork {
namespace {

constexpr Rgb kWhite{1.0, 1.0, 1.0};
constexpr Rgb kBlack{0.0, 0.0, 0.0};
// The family every label is set in; a substitute would change the bytes of
// the output from machine to machine.
constexpr const char* kFontFamily = "DejaVu Sans";

struct Fonts {
    FT_Library library = nullptr;
    FT_Face faces[2] = {nullptr, nullptr};
    cairo_font_face_t* cairoFaces[2] = {nullptr, nullptr};
};

Fonts& TheFonts()
{
    static Fonts fonts;
    return fonts;
}

std::string MatchFontFile(int weight)
{
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(kFontFamily));
    FcPatternAddInteger(pattern, FC_WEIGHT, weight);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddInteger(pattern, FC_WIDTH, FC_WIDTH_NORMAL);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    std::string file;
    FcChar8* family = nullptr;
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
        std::string(reinterpret_cast<char*>(family)) == kFontFamily &&
        FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
        file = reinterpret_cast<char*>(path);
    }
    if (match) FcPatternDestroy(match);
    return file;
}

void SelectFont(cairo_t* cr, double size, Weight weight)
{
    cairo_set_font_face(cr, TheFonts().cairoFaces[weight == Weight::Bold ? 1 : 0]);
    cairo_set_font_size(cr, size);
    // Fixed rendering options: the result must not follow the desktop's
    // hinting and anti-aliasing preferences.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

}  // namespace

Rgb Mix(Rgb a, Rgb b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Lighter(Rgb c, double amount) { return Mix(c, kWhite, amount); }
Rgb Darker(Rgb c, double amount) { return Mix(c, kBlack, amount); }

void SetColour(cairo_t* cr, Rgb c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius)
{
    const double r = std::min({radius, w / 2.0, h / 2.0});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2.0, 0.0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0.0, kPi / 2.0);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2.0, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 1.5 * kPi);
    cairo_close_path(cr);
}

void FillLit(cairo_t* cr, Rgb base, double x, double y, double w, double h, double spread,
             bool preserve)
{
    // The gradient runs mostly downwards with a slant to the right, as a
    // light above and to the left of the pedal would shade a curved face.
    cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x + w * 0.35, y + h);
    const Rgb top = Lighter(base, spread);
    const Rgb bottom = Darker(base, spread);
    cairo_pattern_add_color_stop_rgb(p, 0.0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(p, 0.55, base.r, base.g, base.b);
    cairo_pattern_add_color_stop_rgb(p, 1.0, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, p);
    preserve ? cairo_fill_preserve(cr) : cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void StrokeBevel(cairo_t* cr, double x, double y, double w, double h, double width,
                 double strength, bool inverted)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x + w, y + h);
    const double light = inverted ? 0.0 : 1.0;
    cairo_pattern_add_color_stop_rgba(p, 0.0, light, light, light, strength);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 0.5, 0.5, 0.5, 0.0);
    cairo_pattern_add_color_stop_rgba(p, 1.0, 1.0 - light, 1.0 - light, 1.0 - light, strength);
    cairo_set_source(cr, p);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
    cairo_pattern_destroy(p);
}

void DropShadow(cairo_t* cr, double x, double y, double w, double h, double radius,
                double distance, double opacity)
{
    constexpr int kLayers = 4;
    for (int i = kLayers; i >= 1; --i) {
        const double grow = i * 0.6;
        RoundedRect(cr, x + distance - grow + 0.6, y + distance - grow + 0.9, w + 2 * grow,
                    h + 2 * grow, radius + grow);
        SetColour(cr, kBlack, opacity / kLayers);
        cairo_fill(cr);
    }
}

void CircleShadow(cairo_t* cr, double cx, double cy, double radius, double distance,
                  double opacity)
{
    cairo_pattern_t* p = cairo_pattern_create_radial(cx + distance, cy + distance * 1.3, radius * 0.7,
                                                     cx + distance, cy + distance * 1.3,
                                                     radius + distance * 1.6);
    cairo_pattern_add_color_stop_rgba(p, 0.0, 0, 0, 0, opacity);
    cairo_pattern_add_color_stop_rgba(p, 1.0, 0, 0, 0, 0.0);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx + distance, cy + distance * 1.3, radius + distance * 1.6, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void BrushStreaks(cairo_t* cr, double x, double y, double w, double h, unsigned seed,
                  double opacity)
{
    Noise noise(seed);
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    cairo_set_line_width(cr, 0.5);
    for (double line = y + 0.25; line < y + h; line += 0.75) {
        const double start = x + noise.Next() * w * 0.6 - w * 0.2;
        const double length = w * (0.3 + noise.Next() * 0.9);
        const bool light = noise.Next() > 0.5;
        SetColour(cr, light ? kWhite : kBlack, opacity * (0.3 + 0.7 * noise.Next()));
        cairo_move_to(cr, start, line);
        cairo_line_to(cr, start + length, line);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void Enclosure(cairo_t* cr, double x, double y, double w, double h, double radius, Rgb paint,
               unsigned seed, double screw)
{
    DropShadow(cr, x, y, w, h, radius, 1.0, 0.5);
    RoundedRect(cr, x, y, w, h, radius);
    FillLit(cr, paint, x, y, w, h, 0.22, true);
    cairo_save(cr);
    cairo_clip(cr);
    // The specks go out in a few shades, one path each: filling every speck
    // on its own would cost more than the rest of a pedal face.
    constexpr int kShades = 3;
    struct Speck {
        double x, y;
    };
    std::vector<Speck> shades[2][kShades];
    Noise noise(seed);
    const int specks = static_cast<int>(w * h / 9.0);
    for (int i = 0; i < specks; ++i) {
        const double sx = x + noise.Next() * w, sy = y + noise.Next() * h;
        const bool light = noise.Next() > 0.5;
        const int shade = std::min(static_cast<int>(noise.Next() * kShades), kShades - 1);
        shades[light][shade].push_back({sx, sy});
    }
    for (int light = 0; light < 2; ++light) {
        for (int shade = 0; shade < kShades; ++shade) {
            for (const Speck& s : shades[light][shade]) cairo_rectangle(cr, s.x, s.y, 0.5, 0.5);
            SetColour(cr, light ? kWhite : kBlack, 0.06 + 0.06 * (shade + 0.5) / kShades);
            cairo_fill(cr);
        }
    }
    cairo_restore(cr);
    RoundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, radius);
    StrokeBevel(cr, x, y, w, h, 1.2, 0.5);
    if (screw > 0) {
        const double in = screw * 1.9;
        for (const double sx : {x + in, x + w - in}) {
            for (const double sy : {y + in, y + h - in}) Screw(cr, sx, sy, screw);
        }
    }
}

void Screw(cairo_t* cr, double cx, double cy, double radius)
{
    CircleShadow(cr, cx, cy, radius, radius * 0.15, 0.5);
    cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - radius * 0.4, cy - radius * 0.4, 0, cx, cy,
                                                     radius);
    cairo_pattern_add_color_stop_rgb(p, 0.0, 0.93, 0.93, 0.92);
    cairo_pattern_add_color_stop_rgb(p, 1.0, 0.45, 0.45, 0.46);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
    StrokeBevel(cr, cx - radius, cy - radius, 2 * radius, 2 * radius, radius * 0.18, 0.5);
    // A cross-head slot, recessed: dark stroke with a lit lower edge.
    const double arm = radius * 0.62;
    cairo_set_line_width(cr, radius * 0.28);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (const double offset : {radius * 0.08, 0.0}) {
        SetColour(cr, offset > 0 ? kWhite : Rgb{0.18, 0.18, 0.2}, offset > 0 ? 0.5 : 0.9);
        cairo_move_to(cr, cx - arm + offset, cy + offset);
        cairo_line_to(cr, cx + arm + offset, cy + offset);
        cairo_move_to(cr, cx + offset, cy - arm + offset);
        cairo_line_to(cr, cx + offset, cy + arm + offset);
        cairo_stroke(cr);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void Lamp(cairo_t* cr, double cx, double cy, double radius, Rgb colour, bool lit)
{
    const double bezel = radius * 1.35;
    if (lit) {
        // The glow spills over the bezel onto the panel.
        cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, radius * 0.5, cx, cy, bezel * 1.45);
        cairo_pattern_add_color_stop_rgba(glow, 0.0, colour.r, colour.g, colour.b, 0.55);
        cairo_pattern_add_color_stop_rgba(glow, 1.0, colour.r, colour.g, colour.b, 0.0);
        cairo_set_source(cr, glow);
        cairo_arc(cr, cx, cy, bezel * 1.45, 0, 2 * kPi);
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
    }
    cairo_arc(cr, cx, cy, bezel, 0, 2 * kPi);
    FillLit(cr, {0.72, 0.72, 0.74}, cx - bezel, cy - bezel, 2 * bezel, 2 * bezel, 0.6, true);
    StrokeBevel(cr, cx - bezel, cy - bezel, 2 * bezel, 2 * bezel, bezel * 0.12, 0.6);

    const Rgb centre = lit ? Lighter(colour, 0.25) : Darker(colour, 0.55);
    const Rgb rim = lit ? colour : Darker(colour, 0.8);
    cairo_pattern_t* lens = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
    cairo_pattern_add_color_stop_rgb(lens, 0.0, centre.r, centre.g, centre.b);
    cairo_pattern_add_color_stop_rgb(lens, 1.0, rim.r, rim.g, rim.b);
    cairo_set_source(cr, lens);
    cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(lens);
    // Specular highlight of the dome, top left.
    cairo_pattern_t* highlight = cairo_pattern_create_radial(cx - radius * 0.35, cy - radius * 0.4, 0,
                                                             cx - radius * 0.35, cy - radius * 0.4,
                                                             radius * 0.55);
    cairo_pattern_add_color_stop_rgba(highlight, 0.0, 1, 1, 1, lit ? 0.9 : 0.55);
    cairo_pattern_add_color_stop_rgba(highlight, 1.0, 1, 1, 1, 0.0);
    cairo_set_source(cr, highlight);
    cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(highlight);
}

void Label(cairo_t* cr, std::string_view text, double cx, double cy, double size, Rgb colour,
           Weight weight)
{
    const std::string s(text);
    SelectFont(cr, size, weight);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    const double x = cx - e.width / 2.0 - e.x_bearing;
    const double y = cy - e.height / 2.0 - e.y_bearing;
    // Light text gets a shadow below it, dark text a highlight: either way
    // the label looks printed on a surface lit from the top left.
    const double brightness = (colour.r + colour.g + colour.b) / 3.0;
    const bool lightText = brightness > 0.5;
    SetColour(cr, lightText ? kBlack : kWhite, lightText ? 0.65 : 0.35);
    cairo_move_to(cr, x + size * 0.06, y + size * 0.08);
    cairo_show_text(cr, s.c_str());
    SetColour(cr, colour);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, s.c_str());
    cairo_new_path(cr);
}

double LabelWidth(cairo_t* cr, std::string_view text, double size, Weight weight)
{
    const std::string s(text);
    SelectFont(cr, size, weight);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    return e.width;
}

bool LoadFonts()
{
    Fonts& fonts = TheFonts();
    if (FT_Init_FreeType(&fonts.library) != 0) return false;
    const int weights[2] = {FC_WEIGHT_BOOK, FC_WEIGHT_BOLD};
    for (int i = 0; i < 2; ++i) {
        const std::string file = MatchFontFile(weights[i]);
        if (file.empty() || FT_New_Face(fonts.library, file.c_str(), 0, &fonts.faces[i]) != 0) return false;
        // The FreeType face must outlive cairo's use of it: both are kept
        // until ReleaseFonts.
        fonts.cairoFaces[i] = cairo_ft_font_face_create_for_ft_face(fonts.faces[i], 0);
    }
    return true;
}

void ReleaseFonts()
{
    Fonts& fonts = TheFonts();
    for (int i = 0; i < 2; ++i) {
        if (fonts.cairoFaces[i]) cairo_font_face_destroy(fonts.cairoFaces[i]);
        fonts.cairoFaces[i] = nullptr;
    }
    // Cairo may still cache the faces until its own teardown.
    cairo_debug_reset_static_data();
    for (FT_Face& face : fonts.faces) {
        if (face) FT_Done_Face(face);
        face = nullptr;
    }
    if (fonts.library) FT_Done_FreeType(fonts.library);
    fonts.library = nullptr;
}

double Noise::Next()
{
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 24);
}

}  // namespace artwork
