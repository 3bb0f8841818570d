#pragma once
#include <cstddef>
#include <cstdint>

// The table the artwork generator writes: one entry per id and scale,
// sorted by id, then scale, each naming its bytes in the blob of every PNG
// end to end.  Only Resources.cpp reads it.
namespace resources_detail {

struct PngResourceEntry {
    int32_t id;
    int32_t scale;
    std::size_t offset; // into orv_png_blob
    std::size_t size;
};

extern const PngResourceEntry kPngResources[];
extern const std::size_t kPngResourceCount;
extern const int32_t kPngResourceIds[];
extern const std::size_t kPngResourceIdCount;

}  // namespace resources_detail

// Included whole by EmbeddedPngs.S from the generator's blob file.
extern "C" const unsigned char orv_png_blob[];
