#pragma once
#include <cairo.h>

#include <string_view>

// Shared drawing vocabulary of the artwork generator.  Every picture is
// lit from the top left: highlights fall on top-left edges, shadows to the
// bottom right, so that controls drawn by different painters sit together
// on one pedal face.
namespace artwork {

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r, g, b;
};

// One frame of a bitmap as a painter sees it: logical pixels (the context is
// already scaled for HiDPI output and clipped to the frame).
struct Frame {
    cairo_t* cr;
    double width;
    double height;
    int index;              // frame within the film strip
    int count;              // frames in the strip
    int variant;            // position of the id within its table row
    int id;
    std::string_view label;
};

using Painter = void (*)(const Frame&);

Rgb Mix(Rgb a, Rgb b, double t);
Rgb Lighter(Rgb c, double amount);
Rgb Darker(Rgb c, double amount);
void SetColour(cairo_t* cr, Rgb c, double alpha = 1.0);

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);

// Fills the current path with base colour shaded along the light direction
// across the box (x, y, w, h); spread sets how far the ends depart from base.
void FillLit(cairo_t* cr, Rgb base, double x, double y, double w, double h, double spread,
             bool preserve = false);
// Strokes the current path light on its top-left side and dark on its
// bottom-right side; inverted for recessed and pressed parts.
void StrokeBevel(cairo_t* cr, double x, double y, double w, double h, double width,
                 double strength, bool inverted = false);
// A soft shadow of a rounded box thrown down and to the right.
void DropShadow(cairo_t* cr, double x, double y, double w, double h, double radius,
                double distance, double opacity);
void CircleShadow(cairo_t* cr, double cx, double cy, double radius, double distance,
                  double opacity);
// Fine horizontal streaks of brushed metal over the box, drawn from a
// fixed pseudo-random sequence so the output never changes.
void BrushStreaks(cairo_t* cr, double x, double y, double w, double h, unsigned seed,
                  double opacity);

void Screw(cairo_t* cr, double cx, double cy, double radius);
// A painted enclosure with rounded corners, a faint hammer-finish speckle
// and, when screw is above 0, a screw of that radius in every corner.
void Enclosure(cairo_t* cr, double x, double y, double w, double h, double radius, Rgb paint, unsigned seed,
               double screw);
// A jewel lamp: chrome bezel, coloured lens, glow when lit.
void Lamp(cairo_t* cr, double cx, double cy, double radius, Rgb colour, bool lit);

enum class Weight { Book, Bold };
// A label centred on (cx, cy) in DejaVu Sans, engraved or embossed so it
// reads on both light and dark faces.
void Label(cairo_t* cr, std::string_view text, double cx, double cy, double size, Rgb colour,
           Weight weight = Weight::Bold);
double LabelWidth(cairo_t* cr, std::string_view text, double size, Weight weight = Weight::Bold);

// Resolves the fixed fonts; false when DejaVu Sans is not installed.
bool LoadFonts();
void ReleaseFonts();

// A small pseudo-random sequence with a fixed seed, for textures.
class Noise {
public:
    explicit Noise(unsigned seed) : state_(seed * 2654435761u + 1u) {}
    double Next();  // 0..1

private:
    unsigned state_;
};

}  // namespace artwork
