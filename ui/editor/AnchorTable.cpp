#include "ui/editor/AnchorTable.h"

namespace {

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

} // namespace

std::span<const AnchorRow> AnchorTable() { return kAnchors; }

const AnchorRow* FindAnchor(int32_t key)
{
    for (const AnchorRow& row : kAnchors)
        if (row.key == key)
            return &row;
    return nullptr;
}
