#pragma once
#include <cstddef>
#include <cstdint>

// The table the artwork generator writes: one entry per id and scale,
// sorted by id, then scale.  Only Resources.cpp reads it.
namespace resources_detail {

struct PngResourceEntry {
    int32_t id;
    int32_t scale;
    const unsigned char* data;
    std::size_t size;
};

extern const PngResourceEntry kPngResources[];
extern const std::size_t kPngResourceCount;
extern const int32_t kPngResourceIds[];
extern const std::size_t kPngResourceIdCount;

}  // namespace resources_detail
