#pragma once
// What is printed on each pedal and where.  The places come from the
// editor's own panel and anchor tables, so a legend always sits beside the
// control the panel puts on the face; the words come from the face table.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace artwork {

inline constexpr int kFaceWidth = 185;
inline constexpr int kFaceHeight = 320;

// A rectangle of the face in whole pixels, right and bottom exclusive.
struct Box {
    int left, top, right, bottom;
    bool Overlaps(const Box& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
    bool Inside(const Box& o) const { return left >= o.left && top >= o.top && right <= o.right && bottom <= o.bottom; }
};

// The pedal families: each has its own enclosure finish and name plate.
enum class Family : uint8_t { Drive, Amp, Modulation, Ambience, Dynamics, Filter, Utility };

// One pedal: its printed name ("NAME" or "NAME|second line"), family,
// paint (0xRRGGBB) and the legend of each parameter tag from 2 upwards,
// separated by '|' (an empty legend: the tag's control carries its own
// words or is not a parameter control, or the tag has no parameter).
struct FaceRow {
    int32_t code;
    const char* name;
    Family family;
    uint32_t paint;
    const char* legends;
};

std::span<const FaceRow> FaceTable();
const FaceRow* FindFaceRow(int32_t code);
// The legend of a tag in a row, empty when it has none.
std::string_view LegendOf(const FaceRow& row, int32_t tag);

// A control the editor shows on the face, where it shows it.
struct FaceControl {
    int32_t tag;
    Box box;
    bool wantsLegend;
};
std::vector<FaceControl> FaceControls(int32_t code);

// A printed legend: the tag of the control it names, the box the text
// keeps inside and its size in pixels.
struct FaceLegend {
    int32_t tag;
    Box box;
    std::string_view text;
    double size;
};
// Each legend goes below its control, else above, else below or above
// flush with one of its edges, else beside it: the first of these places
// that stays on the face clear of every control and a few pixels clear of
// every legend before it.  Where one control of a row is named from above,
// the others of that row follow when there is room.
std::vector<FaceLegend> FaceLegends(int32_t code);

// Where the pedal's name goes: the band below the menus when the pedal
// leaves it free, else the strip along the top edge.
Box NamePlate(const std::vector<FaceControl>& controls, const std::vector<FaceLegend>& legends);

}  // namespace artwork
