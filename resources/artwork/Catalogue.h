#pragma once
#include "resources/artwork/Painter.h"

#include <cstdint>
#include <span>

namespace artwork {

// One row of the artwork table: a run of ids that share size, frame count
// and painter.  Width and height are those of the whole bitmap at scale 1;
// the frames are stacked vertically, each height / frames high.
struct ArtworkRow {
    int32_t firstId;
    int32_t lastId;
    int width;
    int height;
    int frames;
    Painter paint;
    const char* label;
};

std::span<const ArtworkRow> Catalogue();
// The row that draws an id, or null.
const ArtworkRow* FindArtwork(int32_t id);

}  // namespace artwork
