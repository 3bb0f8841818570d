#pragma once
// A PNG file held in memory (what `DrawSnapshot` returns), decoded with
// Cairo for pixel comparisons.  The caller destroys the surface.
#include <cairo.h>

#include <cstring>
#include <string_view>

namespace testing_support {

inline cairo_surface_t* DecodePng(std::string_view bytes)
{
    const auto read = [](void* closure, unsigned char* data, unsigned int length) {
        auto* rest = static_cast<std::string_view*>(closure);
        if (rest->size() < length)
            return CAIRO_STATUS_READ_ERROR;
        std::memcpy(data, rest->data(), length);
        rest->remove_prefix(length);
        return CAIRO_STATUS_SUCCESS;
    };
    return cairo_image_surface_create_from_png_stream(read, &bytes);
}

} // namespace testing_support
