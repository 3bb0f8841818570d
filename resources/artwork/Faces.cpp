#include "resources/artwork/FaceLayout.h"
#include "resources/artwork/Kinds.h"

#include <algorithm>
#include <array>

namespace artwork {
namespace {

constexpr Rgb kChrome{0.80, 0.80, 0.82};
constexpr Rgb kLightInk{0.94, 0.93, 0.88};
constexpr Rgb kDarkInk{0.10, 0.10, 0.11};
constexpr Rgb kWindow{0.07, 0.07, 0.08};
constexpr int32_t kFootSwitchTag = 1;
constexpr int32_t kDisplayTag = 21;
constexpr double kCornerRadius = 10.0;
constexpr double kScrewRadius = 3.4;

Rgb FromHex(uint32_t hex)
{
    return {((hex >> 16) & 0xff) / 255.0, ((hex >> 8) & 0xff) / 255.0, (hex & 0xff) / 255.0};
}

double Brightness(Rgb c) { return 0.30 * c.r + 0.59 * c.g + 0.11 * c.b; }

// Printing ink that reads on the paint.
Rgb InkOn(Rgb paint) { return Brightness(paint) > 0.55 ? kDarkInk : kLightInk; }

Box BoxOf(const std::vector<FaceControl>& controls, int32_t tag)
{
    const auto found = std::ranges::find_if(controls, [tag](const FaceControl& c) { return c.tag == tag; });
    return found != controls.end() ? found->box : Box{0, 0, 0, 0};
}

// A label no wider than width: set at size, smaller when it would not fit.
void FittedLabel(cairo_t* cr, std::string_view text, double cx, double cy, double size, double width, Rgb ink,
                 Weight weight = Weight::Bold)
{
    const double natural = LabelWidth(cr, text, size, weight);
    Label(cr, text, cx, cy, natural > width ? size * width / natural : size, ink, weight);
}

// The finishes.  Each texture is laid over the paint inside the enclosure
// from a fixed sequence, and dots of one shade go into one path.
void Dots(cairo_t* cr, Noise& noise, const Box& area, int count, double size, Rgb colour, double alpha)
{
    for (int i = 0; i < count; ++i) {
        cairo_rectangle(cr, area.left + noise.Next() * (area.right - area.left),
                        area.top + noise.Next() * (area.bottom - area.top), size, size);
    }
    SetColour(cr, colour, alpha);
    cairo_fill(cr);
}

// Hammertone: soft dents that catch the light on one side.
void Hammertone(cairo_t* cr, Noise& noise, const Box& a)
{
    for (int i = 0; i < 260; ++i) {
        const double x = a.left + noise.Next() * (a.right - a.left), y = a.top + noise.Next() * (a.bottom - a.top);
        const double r = 2.0 + noise.Next() * 3.5;
        cairo_pattern_t* p = cairo_pattern_create_radial(x - r * 0.3, y - r * 0.3, 0, x, y, r);
        cairo_pattern_add_color_stop_rgba(p, 0.0, 1, 1, 1, 0.045);
        cairo_pattern_add_color_stop_rgba(p, 0.6, 0, 0, 0, 0.025);
        cairo_pattern_add_color_stop_rgba(p, 1.0, 0, 0, 0, 0.0);
        cairo_set_source(cr, p);
        cairo_arc(cr, x, y, r, 0, 2 * kPi);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
}

// Metal flake: a dense glitter of bright and dark flecks.
void Flake(cairo_t* cr, Noise& noise, const Box& a, Rgb paint)
{
    Dots(cr, noise, a, 1400, 0.6, Lighter(paint, 0.75), 0.55);
    Dots(cr, noise, a, 700, 0.5, {1, 1, 1}, 0.7);
    Dots(cr, noise, a, 1000, 0.6, Darker(paint, 0.6), 0.5);
}

// Tolex: a fine woven grain, as on an amplifier's covering, laid as one
// small tile repeated over the face.
void Tolex(cairo_t* cr, Noise& noise, const Box& a)
{
    constexpr int kTile = 16;  // pixels of the tile at the drawing's scale
    double sx = 1, sy = 1;
    cairo_user_to_device_distance(cr, &sx, &sy);
    cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kTile, kTile);
    cairo_t* t = cairo_create(tile);
    cairo_scale(t, sx, sy);
    const double span = kTile / sx, pitch = span / 10;
    cairo_set_line_width(t, 0.45);
    for (int pass = 0; pass < 2; ++pass) {
        for (double s = -span; s <= span; s += pitch) {
            cairo_move_to(t, pass == 0 ? s : s + span, 0);
            cairo_line_to(t, pass == 0 ? s + span : s, span);
        }
        SetColour(t, pass == 0 ? Rgb{0, 0, 0} : Rgb{1, 1, 1}, pass == 0 ? 0.16 : 0.05);
        cairo_stroke(t);
    }
    cairo_destroy(t);
    cairo_pattern_t* weave = cairo_pattern_create_for_surface(tile);
    cairo_pattern_set_extend(weave, CAIRO_EXTEND_REPEAT);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, sx, sy);
    cairo_pattern_set_matrix(weave, &m);
    cairo_set_source(cr, weave);
    cairo_rectangle(cr, a.left, a.top, a.right - a.left, a.bottom - a.top);
    cairo_fill(cr);
    cairo_pattern_destroy(weave);
    cairo_surface_destroy(tile);
    Dots(cr, noise, a, 1000, 0.7, {0, 0, 0}, 0.18);
}

void Finish(cairo_t* cr, Family family, Rgb paint, unsigned seed, const Box& a)
{
    Noise noise(seed);
    cairo_save(cr);
    RoundedRect(cr, a.left, a.top, a.right - a.left, a.bottom - a.top, kCornerRadius);
    cairo_clip(cr);
    switch (family) {
    case Family::Drive: Hammertone(cr, noise, a); break;
    case Family::Amp: Tolex(cr, noise, a); break;
    case Family::Modulation: Flake(cr, noise, a, paint); break;
    case Family::Dynamics: BrushStreaks(cr, a.left, a.top, a.right - a.left, a.bottom - a.top, seed, 0.10); break;
    case Family::Filter: BrushStreaks(cr, a.left, a.top, a.right - a.left, a.bottom - a.top, seed, 0.05); break;
    case Family::Ambience:
    case Family::Utility: Dots(cr, noise, a, 1500, 0.5, {1, 1, 1}, 0.08); break;
    }
    cairo_restore(cr);
}

void Recess(cairo_t* cr, const Box& b, double inset, double radius, Rgb fill)
{
    const double x = b.left - inset, y = b.top - inset;
    const double w = b.right - b.left + 2 * inset, h = b.bottom - b.top + 2 * inset;
    RoundedRect(cr, x, y, w, h, radius);
    FillLit(cr, fill, x, y, w, h, -0.12, true);
    StrokeBevel(cr, x, y, w, h, 1.1, 0.55, true);
}

// The enclosure with what every pedal has: the display's window, the
// well the foot switch stands in and the corner screws.
void Body(cairo_t* cr, Family family, Rgb paint, unsigned seed, const std::vector<FaceControl>& controls)
{
    const Box whole{0, 0, kFaceWidth, kFaceHeight};
    Enclosure(cr, 0, 0, kFaceWidth, kFaceHeight, kCornerRadius, paint, seed, 0);
    Finish(cr, family, paint, seed, whole);
    Recess(cr, BoxOf(controls, kDisplayTag), 1, 3, kWindow);
    Recess(cr, BoxOf(controls, kFootSwitchTag), 3, 7, Darker(paint, 0.6));
    const double in = kScrewRadius * 1.9;
    for (const double sx : {in, kFaceWidth - in}) {
        for (const double sy : {in, kFaceHeight - in}) Screw(cr, sx, sy, kScrewRadius);
    }
}

// The pedal's name in its family's manner, centred in the plate box.
void NameBlock(cairo_t* cr, const FaceRow& row, Rgb paint, const Box& plate, bool withBrand)
{
    const std::string_view name = row.name;
    const size_t bar = name.find('|');
    const std::string_view first = name.substr(0, bar);
    const std::string_view second = bar == std::string_view::npos ? std::string_view() : name.substr(bar + 1);
    const double cx = (plate.left + plate.right) / 2.0, w = plate.right - plate.left;
    const double h = plate.bottom - plate.top;
    const double top = plate.top + (withBrand ? 9.0 : 0.0);
    const double cy = top + (plate.bottom - top) / 2.0 - (second.empty() ? 0.0 : h * 0.08);
    const double size = std::min(h * (second.empty() ? 0.36 : 0.30), 16.0);
    Rgb ink = InkOn(paint);
    if (withBrand) Label(cr, "ORVANTA", cx, plate.top + 6, 6, ink);

    const double nameW = std::min(LabelWidth(cr, first, size) + 2 * size, w - 4);
    const double nameH = size * 1.7;
    switch (row.family) {
    case Family::Amp: {
        // A chrome badge, as on an amplifier's front.
        RoundedRect(cr, cx - nameW / 2, cy - nameH / 2, nameW, nameH, 3);
        DropShadow(cr, cx - nameW / 2, cy - nameH / 2, nameW, nameH, 3, 1.0, 0.5);
        RoundedRect(cr, cx - nameW / 2, cy - nameH / 2, nameW, nameH, 3);
        FillLit(cr, kChrome, cx - nameW / 2, cy - nameH / 2, nameW, nameH, 0.35, true);
        StrokeBevel(cr, cx - nameW / 2, cy - nameH / 2, nameW, nameH, 0.8, 0.6);
        BrushStreaks(cr, cx - nameW / 2 + 1, cy - nameH / 2 + 1, nameW - 2, nameH - 2, row.code, 0.12);
        FittedLabel(cr, first, cx, cy, size, nameW - size, kDarkInk);
        break;
    }
    case Family::Dynamics: {
        // A black screen-printed panel.
        RoundedRect(cr, cx - nameW / 2, cy - nameH / 2, nameW, nameH, 2);
        FillLit(cr, kWindow, cx - nameW / 2, cy - nameH / 2, nameW, nameH, 0.1, true);
        StrokeBevel(cr, cx - nameW / 2, cy - nameH / 2, nameW, nameH, 0.9, 0.45, true);
        FittedLabel(cr, first, cx, cy, size, nameW - size, kLightInk);
        break;
    }
    case Family::Ambience: {
        // The name trails off in fading echoes.
        for (int echo = 3; echo >= 1; --echo) {
            cairo_push_group(cr);
            FittedLabel(cr, first, cx + echo * 2.2, cy + echo * 1.2, size, w - 10, ink);
            cairo_pop_group_to_source(cr);
            cairo_paint_with_alpha(cr, 0.32 / echo);
        }
        FittedLabel(cr, first, cx, cy, size, w - 10, ink);
        break;
    }
    case Family::Modulation: {
        // A pill outline and a wave running through it.
        RoundedRect(cr, cx - nameW / 2, cy - nameH / 2, nameW, nameH, nameH / 2);
        SetColour(cr, ink, 0.85);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
        FittedLabel(cr, first, cx, cy, size, nameW - nameH, ink);
        break;
    }
    case Family::Drive: {
        // Racing stripes above and below the name.
        for (const double y : {cy - nameH / 2 - 2, cy + nameH / 2 + 1}) {
            cairo_rectangle(cr, plate.left + 4, y, w - 8, 1.2);
            cairo_rectangle(cr, plate.left + 4, y + (y < cy ? -2.4 : 2.4), w - 8, 0.6);
        }
        SetColour(cr, ink, 0.8);
        cairo_fill(cr);
        FittedLabel(cr, first, cx, cy, size * 1.1, w - 10, ink);
        break;
    }
    case Family::Filter: {
        // A resonant filter's response curve over the name.
        const double base = cy - nameH / 2 - 1, left = cx - nameW / 2;
        cairo_move_to(cr, left, base);
        for (int i = 0; i <= 40; ++i) {
            const double t = i / 40.0, d = (t - 0.55) / 0.09;
            cairo_line_to(cr, left + t * nameW, base - 5.0 / (1.0 + d * d) + 1.5 * t);
        }
        SetColour(cr, ink, 0.8);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
        FittedLabel(cr, first, cx, cy, size, w - 10, ink);
        break;
    }
    case Family::Utility: {
        RoundedRect(cr, cx - nameW / 2, cy - nameH / 2, nameW, nameH, 2);
        SetColour(cr, ink, 0.9);
        cairo_set_line_width(cr, 1.4);
        cairo_stroke(cr);
        FittedLabel(cr, first, cx, cy, size, nameW - size, ink);
        break;
    }
    }
    if (!second.empty()) FittedLabel(cr, second, cx, cy + nameH / 2 + 6.5, size * 0.55, w - 10, ink, Weight::Book);
}

// Five colourways of the plain face (paint, finish).
struct Colourway {
    uint32_t paint;
    Family finish;
};
constexpr std::array<Colourway, 5> kColourways{{
    {0xe8e0c8, Family::Drive},       // cream hammertone
    {0x6d1a2a, Family::Modulation},  // burgundy flake
    {0x1f4d33, Family::Amp},         // racing green tolex
    {0x2d4f9e, Family::Dynamics},    // brushed cobalt
    {0x161618, Family::Utility},     // satin black
}};

}  // namespace

void StompFace(const Frame& f)
{
    cairo_t* cr = f.cr;
    const int32_t code = 5 * (f.id - 500);
    const FaceRow* row = FindFaceRow(code);
    if (!row) return;
    const Rgb paint = FromHex(row->paint), ink = InkOn(paint);
    const std::vector<FaceControl> controls = FaceControls(code);
    const std::vector<FaceLegend> legends = FaceLegends(code);
    Body(cr, row->family, paint, static_cast<unsigned>(f.id), controls);
    for (const FaceLegend& l : legends) {
        FittedLabel(cr, l.text, (l.box.left + l.box.right) / 2.0, (l.box.top + l.box.bottom) / 2.0, l.size,
                    l.box.right - l.box.left, ink);
    }
    const Box plate = NamePlate(controls, legends);
    const bool atTop = plate.top < BoxOf(controls, kDisplayTag).top;
    if (!atTop) Label(cr, "ORVANTA", kFaceWidth / 2.0, 12, 8, ink);
    NameBlock(cr, *row, paint, plate, atTop);
}

void AlternativeFace(const Frame& f)
{
    cairo_t* cr = f.cr;
    const Colourway& way = kColourways[static_cast<size_t>(f.variant) % kColourways.size()];
    const Rgb paint = FromHex(way.paint), ink = InkOn(paint);
    Body(cr, way.finish, paint, static_cast<unsigned>(f.id), FaceControls(0));
    Label(cr, "ORVANTA", kFaceWidth / 2.0, 12, 8, ink);
    Label(cr, "STOMPSET", kFaceWidth / 2.0, 237, 7, ink, Weight::Book);
}

}  // namespace artwork
