#pragma once
// Drawing on Cairo: one context class for windows and for pictures in
// memory, so a frame looks the same wherever it is shown.
#include "ui/vstgui/CGeometry.h"

#include <string>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace VSTGUI {

class CBitmap;

enum CTxtFace : int32_t { kNormalFace = 0, kBoldFace = 1 << 0, kItalicFace = 1 << 1, kUnderlineFace = 1 << 2 };

// A font: a family, a size in pixels and a face. Every family resolves to
// DejaVu Sans, the one font the layer depends on, so text measures the same
// on every machine.
class CFontDesc {
public:
    CFontDesc(const char* family, CCoord size, int32_t style = kNormalFace)
        : name(family), fontSize(size), fontStyle(style)
    {
    }
    const std::string& getName() const { return name; }
    CCoord getSize() const { return fontSize; }
    int32_t getStyle() const { return fontStyle; }

private:
    std::string name;
    CCoord fontSize;
    int32_t fontStyle;
};
using CFontRef = const CFontDesc*;

extern const CFontRef kSystemFont;
extern const CFontRef kNormalFontVeryBig;
extern const CFontRef kNormalFontBig;
extern const CFontRef kNormalFont;
extern const CFontRef kNormalFontSmall;
extern const CFontRef kNormalFontSmaller;
extern const CFontRef kNormalFontVerySmall;
extern const CFontRef kSymbolFont;

enum CDrawStyle { kDrawStroked = 0, kDrawFilled, kDrawFilledAndStroked };

class CDrawContext {
public:
    // Draws through an existing Cairo context whose device pixels are
    // scaleFactor times the view coordinates.
    CDrawContext(cairo_t* cairo, double scaleFactor);
    virtual ~CDrawContext();
    CDrawContext(const CDrawContext&) = delete;
    CDrawContext& operator=(const CDrawContext&) = delete;

    cairo_t* getCairo() const { return cr; }
    double getScaleFactor() const { return scale; }

    // Views draw in the coordinates of their container; the offset is that
    // container's origin in the context, the clip rectangle is in the
    // context's own coordinates.
    void setOffset(const CPoint& o) { offset = o; }
    const CPoint& getOffset() const { return offset; }
    void setClipRect(const CRect& clip) { clipRect = clip; }
    const CRect& getClipRect() const { return clipRect; }
    void resetClipRect() { clipRect = fullRect; }

    void setLineWidth(CCoord width) { lineWidth = width; }
    CCoord getLineWidth() const { return lineWidth; }
    void setFrameColor(const CColor& color) { frameColor = color; }
    const CColor& getFrameColor() const { return frameColor; }
    void setFillColor(const CColor& color) { fillColor = color; }
    const CColor& getFillColor() const { return fillColor; }
    void setFontColor(const CColor& color) { fontColor = color; }
    const CColor& getFontColor() const { return fontColor; }
    void setFont(CFontRef font, CCoord size = 0, int32_t style = -1);
    CFontRef getFont() const { return font; }

    void moveTo(const CPoint& point) { penPosition = point; }
    void lineTo(const CPoint& point);
    void drawLine(const CPoint& from, const CPoint& to);
    void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
    void fillRect(const CRect& rect) { drawRect(rect, kDrawFilled); }
    void drawEllipse(const CRect& rect, CDrawStyle style = kDrawStroked);
    void drawPolygon(const CPoint* points, int32_t count, CDrawStyle style = kDrawStroked);
    // One line of text, vertically centred in rect; opaque fills rect with
    // the fill colour first.
    void drawString(const char* text, const CRect& rect, bool opaque = false, CHoriTxtAlign align = kCenterText);
    CCoord getStringWidth(const char* text);

    void drawBitmap(CBitmap& bitmap, const CRect& dest, const CPoint& srcOffset, float alpha);

protected:
    void setSurfaceRect(const CRect& rect)
    {
        fullRect = rect;
        clipRect = rect;
    }

private:
    // Begins a primitive: clip, scale and offset applied; end restores.
    void begin();
    void end();
    void setSource(const CColor& color);
    void applyFont();
    void finishPath(CDrawStyle style);

    cairo_t* cr;
    double scale;
    CPoint offset;
    CRect fullRect{-1.0e6, -1.0e6, 1.0e6, 1.0e6};
    CRect clipRect = fullRect;
    CCoord lineWidth = 1;
    CColor frameColor = kBlackCColor;
    CColor fillColor = kWhiteCColor;
    CColor fontColor = kWhiteCColor;
    CFontRef font;
    CCoord fontSize;
    int32_t fontStyle;
    CPoint penPosition;
};

namespace detail {
// The memory a COffscreenContext draws into; a base so that it exists
// before the drawing context that uses it.
struct ImageTarget {
    ImageTarget(CCoord width, CCoord height, double scaleFactor);
    ~ImageTarget();
    ImageTarget(const ImageTarget&) = delete;
    ImageTarget& operator=(const ImageTarget&) = delete;
    cairo_surface_t* surface;
    cairo_t* cairo;
};
} // namespace detail

// A context drawing into memory: the frame's back buffer, pictures for
// tests, pop-up menus before they reach their window.
class COffscreenContext : private detail::ImageTarget, public CDrawContext {
public:
    COffscreenContext(CCoord width, CCoord height, const CColor& background = kTransparentCColor,
                      double scaleFactor = 1.0);

    CCoord getWidth() const { return width; }
    CCoord getHeight() const { return height; }
    cairo_surface_t* getSurface() const { return surface; }

    // Copies the part that starts at srcOffset to destRect of another context.
    void copyFrom(CDrawContext* dest, const CRect& destRect, const CPoint& srcOffset = CPoint());
    // The colour of the device pixel at the top-left corner of a point.
    CColor getPixel(CCoord x, CCoord y) const;
    bool writePNG(const char* path) const;
    // The picture as the bytes of a PNG file; empty when encoding failed.
    std::string encodePNG() const;

private:
    CCoord width;
    CCoord height;
};

// Cairo and fontconfig keep the fonts they found for the life of the
// process.  A program lets them go at its end, after the last view and
// bitmap are gone, so that a leak checker sees only what was really lost.
void ReleaseFontCaches();

} // namespace VSTGUI
