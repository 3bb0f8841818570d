#include "resources/artwork/FaceLayout.h"

#include "resources/artwork/Catalogue.h"
#include "ui/editor/AnchorTable.h"
#include "ui/editor/PanelTable.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace artwork {
namespace {

// What every pedal shows whatever its panel: foot switch, status LED,
// parameter display, preset, save and options menus, preset-modified lamp
// (tag, anchor, bitmap, frames; a text field has no bitmap).
struct CommonControl {
    int32_t tag, anchor, bitmap, frames;
};
constexpr CommonControl kCommon[] = {
    {1, 0, 100, 2}, {16, 14, 200, 10}, {21, 11, 0, 1}, {18, 17, 103, 1}, {19, 18, 113, 1}, {20, 19, 105, 1},
    {15, 21, 107, 2},
};
// The row of four knobs that a panel keeps unless it replaces or drops them.
constexpr int32_t kKnobRowFirstTag = 2;
constexpr int32_t kKnobRowLastTag = 5;
constexpr int32_t kKnobRowBitmap = 300;

constexpr double kLegendSize = 6.0;
constexpr double kSliderLegendSize = 5.0;  // slider rows stand 18 pixels apart
constexpr int kGap = 1;                    // between a control and its legend
constexpr int kMargin = 3;                 // legends keep off the enclosure's edge
constexpr int kLegendSpacing = 3;

// Advance widths of DejaVu Sans Bold in ems, for the characters legends use.
constexpr std::string_view kGlyphs = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .-+/";
constexpr std::array<double, 41> kAdvances{
    0.774, 0.762, 0.734, 0.830, 0.683, 0.683, 0.821, 0.837, 0.372, 0.372, 0.775, 0.637, 0.995, 0.837,
    0.850, 0.733, 0.850, 0.770, 0.720, 0.682, 0.812, 0.774, 1.103, 0.771, 0.724, 0.725, 0.696, 0.696,
    0.696, 0.696, 0.696, 0.696, 0.696, 0.696, 0.696, 0.696, 0.348, 0.380, 0.415, 0.838, 0.365};

double TextWidth(std::string_view text, double size)
{
    double ems = 0;
    for (const char c : text) {
        const size_t at = kGlyphs.find(c);
        ems += at == std::string_view::npos ? 1.0 : kAdvances[at];
    }
    return ems * size;
}

Box Place(int32_t anchorKey, int32_t bitmap, int32_t frames, int32_t step = 0)
{
    const AnchorRow* anchor = FindAnchor(anchorKey);
    const ArtworkRow* art = FindArtwork(bitmap);
    if (!anchor) return {0, 0, 0, 0};
    if (!art) return {anchor->left, anchor->top, anchor->right, anchor->bottom};
    const int left = anchor->left + step * FindAnchor(kSliderStepAnchor)->left;
    return {left, anchor->top, left + art->width, anchor->top + art->height / frames};
}

bool WantsLegend(ControlKind kind)
{
    switch (kind) {
    case ControlKind::SmallKnob:
    case ControlKind::LargeKnob:
    case ControlKind::SteppedKnob5:
    case ControlKind::SteppedKnob7:
    case ControlKind::SteppedKnob6:
    case ControlKind::Switch2:
    case ControlKind::Switch3:
    case ControlKind::Switch4:
    case ControlKind::Switch5:
    case ControlKind::VerticalSwitch2:
    case ControlKind::VerticalSwitch4:
    case ControlKind::VerticalSlider:
    case ControlKind::HorizontalSlider: return true;
    default: return false;
    }
}

bool IsMeter(ControlKind kind)
{
    return kind == ControlKind::LevelMeter || kind == ControlKind::LampMeter || kind == ControlKind::BarMeter ||
           kind == ControlKind::ToneMeter;
}

// The places a legend of size w x h may take around a control, in order of
// preference.
std::array<Box, 8> Candidates(const Box& c, int w, int h)
{
    const int cx = (c.left + c.right - w) / 2, cy = (c.top + c.bottom - h) / 2;
    const int below = c.bottom + kGap, above = c.top - kGap - h;
    return {{{cx, below, cx + w, below + h},
             {cx, above, cx + w, above + h},
             {c.left, below, c.left + w, below + h},
             {c.right - w, below, c.right, below + h},
             {c.left, above, c.left + w, above + h},
             {c.right - w, above, c.right, above + h},
             {c.right + kGap, cy, c.right + kGap + w, cy + h},
             {c.left - kGap - w, cy, c.left - kGap, cy + h}}};
}

}  // namespace

const FaceRow* FindFaceRow(int32_t code)
{
    for (const FaceRow& row : FaceTable())
        if (row.code == code) return &row;
    return nullptr;
}

std::string_view LegendOf(const FaceRow& row, int32_t tag)
{
    std::string_view rest = row.legends;
    for (int32_t t = kKnobRowFirstTag; t < tag && !rest.empty(); ++t) {
        const size_t bar = rest.find('|');
        rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
    }
    return tag < kKnobRowFirstTag ? std::string_view() : rest.substr(0, rest.find('|'));
}

std::vector<FaceControl> FaceControls(int32_t code)
{
    std::vector<FaceControl> controls;
    for (const CommonControl& c : kCommon) controls.push_back({c.tag, Place(c.anchor, c.bitmap, c.frames), false});
    const PanelRow* panel = FindPanelRow(code);
    const FaceRow* face = FindFaceRow(code);
    // The editor drops a knob of the row that has no parameter behind it;
    // the face table gives every parameter of the row a legend.
    if (panel && face && !panel->dropsKnobRow) {
        for (int32_t tag = kKnobRowFirstTag; tag <= kKnobRowLastTag; ++tag)
            if (!LegendOf(*face, tag).empty())
                controls.push_back({tag, Place(tag - 1, kKnobRowBitmap, 1), true});
    }
    if (!panel) return controls;
    for (const PanelControl& pc : panel->controls) {
        std::erase_if(controls, [&](const FaceControl& c) { return c.tag == pc.tag; });
        const KindLook& look = LookOf(pc.kind);
        const int32_t anchor = look.fixedAnchor >= 0 ? look.fixedAnchor : pc.anchor;
        const Box box = Place(anchor, BitmapsOf(pc).first, IsMeter(pc.kind) ? 1 : look.frames, pc.step);
        controls.push_back({pc.tag, box, WantsLegend(pc.kind)});
    }
    return controls;
}

std::vector<FaceLegend> FaceLegends(int32_t code)
{
    std::vector<FaceLegend> legends;
    const FaceRow* face = FindFaceRow(code);
    const PanelRow* panel = FindPanelRow(code);
    if (!face) return legends;
    const std::vector<FaceControl> controls = FaceControls(code);
    const Box pedal{kMargin, kMargin, kFaceWidth - kMargin, kFaceHeight - kMargin};
    // Legends keep a few pixels apart so that two never read as one.
    const auto free = [&](const Box& b, const FaceLegend* self) {
        return b.Inside(pedal) &&
               std::ranges::none_of(controls, [&](const FaceControl& c) { return c.box.Overlaps(b); }) &&
               std::ranges::none_of(legends, [&](const FaceLegend& l) {
                   return &l != self && Box{l.box.left - kLegendSpacing, l.box.top, l.box.right + kLegendSpacing,
                                            l.box.bottom}.Overlaps(b);
               });
    };
    struct Placed {
        Box control;
        std::array<Box, 8> candidates;
        size_t chosen;
    };
    std::vector<Placed> placed;
    for (const FaceControl& control : controls) {
        const std::string_view text = LegendOf(*face, control.tag);
        if (!control.wantsLegend || text.empty()) continue;
        const bool slider = panel && std::ranges::any_of(panel->controls, [&](const PanelControl& pc) {
            return pc.tag == control.tag && pc.kind == ControlKind::VerticalSlider;
        });
        const double size = slider ? kSliderLegendSize : kLegendSize;
        const int w = static_cast<int>(std::ceil(TextWidth(text, size))) + 2;
        const auto candidates = Candidates(control.box, w, static_cast<int>(size) + 1);
        size_t chosen = 0;
        while (chosen < candidates.size() && !free(candidates[chosen], nullptr)) ++chosen;
        chosen = chosen < candidates.size() ? chosen : 0;
        legends.push_back({control.tag, candidates[chosen], text, size});
        placed.push_back({control.box, candidates, chosen});
    }
    // Controls of one row that could not all be named from below are all
    // named from above where there is room.
    const auto above = [](size_t candidate) { return candidate == 1 || candidate == 4 || candidate == 5; };
    const auto below = [](size_t candidate) { return candidate == 0 || candidate == 2 || candidate == 3; };
    for (size_t i = 0; i < placed.size(); ++i) {
        const bool rowAbove = std::ranges::any_of(placed, [&](const Placed& p) {
            return above(p.chosen) && p.control.top == placed[i].control.top &&
                   p.control.bottom == placed[i].control.bottom;
        });
        if (!rowAbove || !below(placed[i].chosen)) continue;
        for (const size_t c : {1, 4, 5}) {
            if (!free(placed[i].candidates[c], &legends[i])) continue;
            legends[i].box = placed[i].candidates[c];
            break;
        }
    }
    return legends;
}

Box NamePlate(const std::vector<FaceControl>& controls, const std::vector<FaceLegend>& legends)
{
    constexpr std::array<Box, 3> kPlaces{{{16, 172, 169, 222}, {30, 172, 155, 222}, {18, 3, 167, 30}}};
    for (const Box& place : kPlaces) {
        const bool clear = std::ranges::none_of(controls, [&](const FaceControl& c) { return c.box.Overlaps(place); }) &&
                           std::ranges::none_of(legends, [&](const FaceLegend& l) { return l.box.Overlaps(place); });
        if (clear) return place;
    }
    return kPlaces.back();
}

}  // namespace artwork
