#include "ui/editor/CORVStompBoxGUIContainer.h"

#include "resources/Resources.h"

namespace {

// The order in which the store decodes the shared pictures.  The pedal
// backgrounds are not here: each control set loads the one of its effect.
constexpr IdRange kLoadOrder[] = {
    {101, 101}, {102, 102}, {100, 100}, {200, 200}, {300, 300}, {302, 302}, {103, 103}, {104, 104},
    {113, 113}, {114, 114}, {105, 105}, {106, 106}, {107, 107}, {119, 119}, {120, 120}, {900, 900},
    {111, 111}, {112, 112}, {108, 108}, {400, 400}, {301, 301}, {303, 303}, {450, 453}, {115, 115},
    {321, 321}, {320, 320}, {204, 213}, {109, 109}, {110, 110}, {203, 203}, {202, 202}, {322, 322},
    {117, 117}, {118, 118}, {404, 404}, {402, 402}, {403, 403}, {401, 401}, {116, 116}, {201, 201},
    {405, 405}, {407, 407}, {121, 130}, {408, 408}, {454, 454}, {131, 131}, {132, 132}, {700, 734},
    {750, 757}, {758, 758},
};

// clang-format off
constexpr AnchorRow kAnchors[] = {
//   key  left  top  right bottom    what sits there
    { 0,   12, 278,   0,   0},    // foot switch
    { 1,    4,  58,   0,   0},    // knob row of four, 1st
    { 2,   48,  58,   0,   0},    // knob row, 2nd
    { 3,   92,  58,   0,   0},    // knob row, 3rd
    { 4,  136,  58,   0,   0},    // knob row, 4th
    { 5,   48,  41,   0,   0},    // knob pair, left
    { 6,   92,  41,   0,   0},    // knob pair, right
    {11,   16, 126, 168, 143},    // parameter display
    {14,   85, 259,   0,   0},    // status LED
    {15,  119, 259,   0,   0},    // tempo-sync menu
    {16,  117,   2,   0,   0},    // free for a panel
    {17,  119, 152,   0,   0},    // preset menu
    {18,   66, 152,   0,   0},    // save menu
    {19,   13, 152,   0,   0},    // options menu
    {20,   13, 259,   0,   0},    // panel option button
    {21,   40, 152,   0,   0},    // preset-modified indicator
    {22,   74,  98,   0,   0},    // two-position switch
    { 7,    5,  40,   0,   0},    // large knob, left
    { 8,   66,  40,   0,   0},    // large knob, middle
    { 9,  117,  40,   0,   0},    // large knob, right
    {10,   70,  58,   0,   0},    // small knob, centre
    {23,   17,  33,   0,   0},    // equaliser sliders
    {24,   18,   0,   0,   0},    // step between equaliser sliders (an offset)
    {25,   71,  62,   0,   0},    // vertical switch, left
    {26,  100,  62,   0,   0},    // vertical switch, right
    {27,   25, 231,   0,   0},    // three-position switch
    {28,   25, 231,   0,   0},    // four-position switch
    {29,   31,  40,   0,   0},    // large knob of the speaker panels
    {30,   48,  95,   0,   0},    // tone-control switch
    {31,  131,  42,   0,   0},    // power-amp switch
    {32,    6, 176,   0,   0},    // power-amp picture
    {33,   14, 188,   0,   0},    // level meter 1
    {34,   21, 188,   0,   0},    // level meter 2
    {35,  158, 188,   0,   0},    // level meter 3
    {36,  165, 188,   0,   0},    // level meter 4
    {37,   12, 259,   0,   0},    // gate button
    {38,   88,  30,   0,   0},    // gain-reduction LED
    {39,  119, 259,   0,   0},    // tuner button, right
    {40,   13, 259,   0,   0},    // tuner button, left
    {41,   47,  37,   0,   0},    // exciter sliders
    {42,   51, 228,   0,   0},    // exciter horizontal slider
    {43,   13, 259,   0,   0},    // exciter button
    {44,   42, 109,  90, 129},    // tuner note text
    {47,   10,  30,   0,   0},    // tuner meter, left
    {46,  124,  30,   0,   0},    // tuner meter, right
    {45,   69,  30,   0,   0},    // tuner meter, centre
    {48,   90, 112, 150, 126},    // tuner frequency text
    {49,   18, 103,  43, 113},    // tuner scale label, left
    {50,  139, 103, 164, 113},    // tuner scale label, right
    {51,   17,  77,   0,   0},    // tuner display
    {54,  119,  52,   0,   0},    // speaker type menu
    {52,  126, 127,   0,   0},    // button 35
    {53,  146, 127,   0,   0},    // button 36
    {12,   16, 126, 120, 143},    // preset-name text field
    {13,   16, 126, 120, 143},    // (same rectangle, unused)
};
// clang-format on

CORVStompBoxGUIContainer* theContainer = nullptr;
int32_t theUsers = 0;

} // namespace

std::span<const IdRange> SharedBitmapLoadOrder() { return kLoadOrder; }
std::span<const AnchorRow> AnchorTable() { return kAnchors; }

CORVStompBoxGUIContainer* CORVStompBoxGUIContainer::acquire()
{
    if (!theContainer) {
        theContainer = new CORVStompBoxGUIContainer();
        theContainer->loadBitmaps();
    }
    ++theUsers;
    return theContainer;
}

void CORVStompBoxGUIContainer::release()
{
    if (theUsers == 0)
        return;
    if (--theUsers == 0) {
        delete theContainer;
        theContainer = nullptr;
    }
}

int32_t CORVStompBoxGUIContainer::userCount() { return theUsers; }

CORVStompBoxGUIContainer::CORVStompBoxGUIContainer()
{
    // The store decodes the program's own images; whoever draws a pedal
    // needs them.
    VSTGUI::SetResourceLoader(FindPngResource);
    for (const AnchorRow& row : kAnchors)
        anchors.emplace(row.key, VSTGUI::CRect(row.left, row.top, row.right, row.bottom));
}

CORVStompBoxGUIContainer::~CORVStompBoxGUIContainer()
{
    for (auto& [id, picture] : bitmaps)
        picture->forget();
}

void CORVStompBoxGUIContainer::loadBitmaps()
{
    for (const IdRange& range : kLoadOrder)
        for (int32_t id = range.first; id <= range.last; ++id)
            loadBitmap(id);
}

void CORVStompBoxGUIContainer::loadBitmap(int32_t id)
{
    auto* picture = new VSTGUI::CBitmap(id);
    auto [slot, added] = bitmaps.emplace(id, picture);
    if (!added) {
        slot->second->forget();
        slot->second = picture;
    }
}

VSTGUI::CBitmap* CORVStompBoxGUIContainer::bitmap(int32_t id) const
{
    const auto found = bitmaps.find(id);
    return found != bitmaps.end() && found->second->isLoaded() ? found->second : nullptr;
}

VSTGUI::CRect CORVStompBoxGUIContainer::anchor(int32_t key) const
{
    const auto found = anchors.find(key);
    return found != anchors.end() ? found->second : VSTGUI::CRect();
}
