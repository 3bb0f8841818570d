#pragma once
// Pictures: PNG images decoded once and drawn by any context.
#include "ui/vstgui/CGeometry.h"

#include <map>
#include <span>

typedef struct _cairo_surface cairo_surface_t;

namespace VSTGUI {

class CDrawContext;

// The program's images reach the layer through one function it registers:
// given a resource id and a scale (1, or 2 for a doubled-resolution
// variant) it returns the PNG bytes, or an empty span when it has none.
using ResourceLoader = std::span<const unsigned char> (*)(int32_t id, int32_t scale);
void SetResourceLoader(ResourceLoader loader);

class CBitmap : public CReferenceCounter {
public:
    // A resource id that the loader does not know gives a bitmap that is
    // not loaded: zero size, and drawing it draws nothing.
    explicit CBitmap(int32_t resourceId);
    explicit CBitmap(std::span<const unsigned char> pngBytes);
    ~CBitmap() override;

    CCoord getWidth() const { return width; }
    CCoord getHeight() const { return height; }
    bool isLoaded() const { return surfaces.count(1) != 0; }
    int32_t getResourceID() const { return resourceId; }

    // Draws the part of the picture that starts at srcOffset into dest,
    // unscaled (in the context's units).
    void draw(CDrawContext* context, const CRect& dest, const CPoint& srcOffset = CPoint(), float alpha = 1.0f);
    void drawTransparent(CDrawContext* context, const CRect& dest, const CPoint& srcOffset = CPoint())
    {
        draw(context, dest, srcOffset);
    }
    void drawAlphaBlend(CDrawContext* context, const CRect& dest, const CPoint& srcOffset = CPoint(),
                        uint8_t alpha = 128)
    {
        draw(context, dest, srcOffset, alpha / 255.0f);
    }

    // The pixels at the given scale: the loader's own variant when it has
    // one of exactly that size, otherwise the scale-1 pixels, which the
    // context then enlarges. Returns the scale of what it gives.
    cairo_surface_t* surfaceForScale(int32_t scale, int32_t& actualScale);

private:
    int32_t resourceId = -1;
    CCoord width = 0;
    CCoord height = 0;
    std::map<int32_t, cairo_surface_t*> surfaces;
    bool triedScale2 = false;
};

} // namespace VSTGUI
