#pragma once
// The named places on the pedal face, as data: the editor places its
// controls there and the artwork generator prints the legends beside them.
#include <cstdint>
#include <span>

// One named place.  Most are the top-left corner of a control (right and
// bottom 0); text fields carry their whole rectangle, and one entry is a
// step between sliders rather than a place.
struct AnchorRow {
    int32_t key;
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

std::span<const AnchorRow> AnchorTable();
// The row of a key, or null.
const AnchorRow* FindAnchor(int32_t key);
