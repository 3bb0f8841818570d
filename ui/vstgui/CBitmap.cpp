#include "ui/vstgui/CBitmap.h"

#include "ui/vstgui/CDrawContext.h"

#include <cairo.h>
#include <cstring>

namespace VSTGUI {

namespace {

ResourceLoader registeredLoader = nullptr;

struct PngReader {
    std::span<const unsigned char> bytes;
    size_t position = 0;
};

cairo_status_t ReadPngBytes(void* closure, unsigned char* data, unsigned int length)
{
    auto* reader = static_cast<PngReader*>(closure);
    if (reader->bytes.size() - reader->position < length)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, reader->bytes.data() + reader->position, length);
    reader->position += length;
    return CAIRO_STATUS_SUCCESS;
}

// Null when the bytes are not a PNG image.
cairo_surface_t* DecodePng(std::span<const unsigned char> bytes)
{
    if (bytes.empty())
        return nullptr;
    PngReader reader{bytes};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(ReadPngBytes, &reader);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

std::span<const unsigned char> LoadResource(int32_t id, int32_t scale)
{
    return registeredLoader ? registeredLoader(id, scale) : std::span<const unsigned char>();
}

} // namespace

void SetResourceLoader(ResourceLoader loader) { registeredLoader = loader; }

CBitmap::CBitmap(int32_t id) : resourceId(id)
{
    if (cairo_surface_t* surface = DecodePng(LoadResource(id, 1))) {
        surfaces[1] = surface;
        width = cairo_image_surface_get_width(surface);
        height = cairo_image_surface_get_height(surface);
    }
}

CBitmap::CBitmap(std::span<const unsigned char> pngBytes)
{
    triedScale2 = true;
    if (cairo_surface_t* surface = DecodePng(pngBytes)) {
        surfaces[1] = surface;
        width = cairo_image_surface_get_width(surface);
        height = cairo_image_surface_get_height(surface);
    }
}

CBitmap::~CBitmap()
{
    for (auto& [scale, surface] : surfaces)
        cairo_surface_destroy(surface);
}

cairo_surface_t* CBitmap::surfaceForScale(int32_t scale, int32_t& actualScale)
{
    // The doubled variant is asked for only once a doubled frame needs it.
    if (scale == 2 && !triedScale2 && isLoaded()) {
        triedScale2 = true;
        cairo_surface_t* surface = DecodePng(LoadResource(resourceId, 2));
        if (surface && cairo_image_surface_get_width(surface) == 2 * width &&
            cairo_image_surface_get_height(surface) == 2 * height)
            surfaces[2] = surface;
        else if (surface)
            cairo_surface_destroy(surface);
    }
    auto found = surfaces.find(scale);
    if (found == surfaces.end())
        found = surfaces.find(1);
    if (found == surfaces.end())
        return nullptr;
    actualScale = found->first;
    return found->second;
}

void CBitmap::draw(CDrawContext* context, const CRect& dest, const CPoint& srcOffset, float alpha)
{
    if (context)
        context->drawBitmap(*this, dest, srcOffset, alpha);
}

} // namespace VSTGUI
