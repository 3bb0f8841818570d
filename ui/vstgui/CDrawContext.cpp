#include "ui/vstgui/CDrawContext.h"

#include "ui/vstgui/CBitmap.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <cmath>

namespace VSTGUI {

namespace {

constexpr const char* kFontFamily = "DejaVu Sans";

const CFontDesc systemFont(kFontFamily, 12);
const CFontDesc normalFontVeryBig(kFontFamily, 18);
const CFontDesc normalFontBig(kFontFamily, 14);
const CFontDesc normalFont(kFontFamily, 12);
const CFontDesc normalFontSmall(kFontFamily, 11);
const CFontDesc normalFontSmaller(kFontFamily, 10);
const CFontDesc normalFontVerySmall(kFontFamily, 9);
const CFontDesc symbolFont(kFontFamily, 12);

} // namespace

const CFontRef kSystemFont = &systemFont;
const CFontRef kNormalFontVeryBig = &normalFontVeryBig;
const CFontRef kNormalFontBig = &normalFontBig;
const CFontRef kNormalFont = &normalFont;
const CFontRef kNormalFontSmall = &normalFontSmall;
const CFontRef kNormalFontSmaller = &normalFontSmaller;
const CFontRef kNormalFontVerySmall = &normalFontVerySmall;
const CFontRef kSymbolFont = &symbolFont;

CDrawContext::CDrawContext(cairo_t* cairo, double scaleFactor)
    : cr(cairo), scale(scaleFactor), font(kSystemFont), fontSize(kSystemFont->getSize()),
      fontStyle(kSystemFont->getStyle())
{
    cairo_reference(cr);
    // Grey-level antialiasing without hinting: the same pixels on every
    // machine, whatever the desktop's font settings say.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

CDrawContext::~CDrawContext() { cairo_destroy(cr); }

void CDrawContext::setFont(CFontRef newFont, CCoord size, int32_t style)
{
    font = newFont ? newFont : kSystemFont;
    fontSize = size > 0 ? size : font->getSize();
    fontStyle = style >= 0 ? style : font->getStyle();
}

void CDrawContext::begin()
{
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_scale(cr, scale, scale);
    cairo_rectangle(cr, clipRect.left, clipRect.top, clipRect.width(), clipRect.height());
    cairo_clip(cr);
    cairo_translate(cr, offset.x, offset.y);
    cairo_set_line_width(cr, lineWidth);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
}

void CDrawContext::end() { cairo_restore(cr); }

void CDrawContext::setSource(const CColor& color)
{
    cairo_set_source_rgba(cr, color.red / 255.0, color.green / 255.0, color.blue / 255.0, color.alpha / 255.0);
}

void CDrawContext::finishPath(CDrawStyle style)
{
    if (style != kDrawStroked) {
        setSource(fillColor);
        if (style == kDrawFilledAndStroked)
            cairo_fill_preserve(cr);
        else
            cairo_fill(cr);
    }
    if (style != kDrawFilled) {
        setSource(frameColor);
        cairo_stroke(cr);
    }
}

void CDrawContext::lineTo(const CPoint& point)
{
    drawLine(penPosition, point);
    penPosition = point;
}

void CDrawContext::drawLine(const CPoint& from, const CPoint& to)
{
    // Lines run through pixel centres so that a one-pixel line covers
    // exactly one row or column of pixels.
    begin();
    const double half = lineWidth / 2.0;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_move_to(cr, from.x + half, from.y + half);
    cairo_line_to(cr, to.x + half, to.y + half);
    setSource(frameColor);
    cairo_stroke(cr);
    end();
}

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style)
{
    begin();
    if (style == kDrawFilled) {
        cairo_rectangle(cr, rect.left, rect.top, rect.width(), rect.height());
    } else {
        // The outline lies inside the rectangle, like the fill.
        const double half = lineWidth / 2.0;
        cairo_rectangle(cr, rect.left + half, rect.top + half, rect.width() - lineWidth, rect.height() - lineWidth);
    }
    finishPath(style);
    end();
}

void CDrawContext::drawEllipse(const CRect& rect, CDrawStyle style)
{
    begin();
    cairo_save(cr);
    cairo_translate(cr, (rect.left + rect.right) / 2.0, (rect.top + rect.bottom) / 2.0);
    cairo_scale(cr, rect.width() / 2.0, rect.height() / 2.0);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    finishPath(style);
    end();
}

void CDrawContext::drawPolygon(const CPoint* points, int32_t count, CDrawStyle style)
{
    if (count < 2)
        return;
    begin();
    cairo_move_to(cr, points[0].x, points[0].y);
    for (int32_t i = 1; i < count; ++i)
        cairo_line_to(cr, points[i].x, points[i].y);
    finishPath(style);
    end();
}

void CDrawContext::applyFont()
{
    cairo_select_font_face(cr, kFontFamily,
                           (fontStyle & kItalicFace) ? CAIRO_FONT_SLANT_OBLIQUE : CAIRO_FONT_SLANT_NORMAL,
                           (fontStyle & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, fontSize);
}

CCoord CDrawContext::getStringWidth(const char* text)
{
    if (!text)
        return 0;
    begin();
    applyFont();
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    end();
    return extents.x_advance;
}

void CDrawContext::drawString(const char* text, const CRect& rect, bool opaque, CHoriTxtAlign align)
{
    if (opaque)
        drawRect(rect, kDrawFilled);
    if (!text || !*text)
        return;
    begin();
    cairo_rectangle(cr, rect.left, rect.top, rect.width(), rect.height());
    cairo_clip(cr);
    applyFont();
    cairo_font_extents_t fontExtents;
    cairo_font_extents(cr, &fontExtents);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    double x = rect.left;
    if (align == kCenterText)
        x = rect.left + (rect.width() - extents.x_advance) / 2.0;
    else if (align == kRightText)
        x = rect.right - extents.x_advance;
    const double baseline =
        std::round(rect.top + (rect.height() + fontExtents.ascent - fontExtents.descent) / 2.0);
    cairo_move_to(cr, std::round(x), baseline);
    setSource(fontColor);
    cairo_show_text(cr, text);
    if (fontStyle & kUnderlineFace) {
        cairo_rectangle(cr, std::round(x), baseline + 1, extents.x_advance, 1);
        cairo_fill(cr);
    }
    end();
}

void CDrawContext::drawBitmap(CBitmap& bitmap, const CRect& dest, const CPoint& srcOffset, float alpha)
{
    int32_t bitmapScale = 1;
    cairo_surface_t* surface = bitmap.surfaceForScale(scale > 1.0 ? 2 : 1, bitmapScale);
    if (!surface)
        return;
    begin();
    cairo_rectangle(cr, dest.left, dest.top, dest.width(), dest.height());
    cairo_clip(cr);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
    cairo_matrix_t matrix;
    cairo_matrix_init_scale(&matrix, bitmapScale, bitmapScale);
    cairo_matrix_translate(&matrix, srcOffset.x - dest.left, srcOffset.y - dest.top);
    cairo_pattern_set_matrix(pattern, &matrix);
    // Whole pixels: an enlarged picture doubles its pixels instead of
    // blending a film strip's frame with its neighbour.
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    cairo_set_source(cr, pattern);
    cairo_paint_with_alpha(cr, alpha);
    cairo_pattern_destroy(pattern);
    end();
}

namespace detail {

ImageTarget::ImageTarget(CCoord width, CCoord height, double scale)
    : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(std::ceil(width * scale)),
                                         static_cast<int>(std::ceil(height * scale)))),
      cairo(cairo_create(surface))
{
}

ImageTarget::~ImageTarget()
{
    cairo_destroy(cairo);
    cairo_surface_destroy(surface);
}

} // namespace detail

COffscreenContext::COffscreenContext(CCoord w, CCoord h, const CColor& background, double scaleFactor)
    : ImageTarget(w, h, scaleFactor), CDrawContext(cairo, scaleFactor), width(w), height(h)
{
    setSurfaceRect(CRect(0, 0, w, h));
    if (background.alpha != 0) {
        setFillColor(background);
        drawRect(CRect(0, 0, w, h), kDrawFilled);
    }
}

void COffscreenContext::copyFrom(CDrawContext* dest, const CRect& destRect, const CPoint& srcOffset)
{
    cairo_t* target = dest->getCairo();
    cairo_surface_flush(surface);
    cairo_save(target);
    cairo_identity_matrix(target);
    const double destScale = dest->getScaleFactor();
    const CPoint& o = dest->getOffset();
    cairo_scale(target, destScale, destScale);
    cairo_translate(target, o.x, o.y);
    cairo_rectangle(target, destRect.left, destRect.top, destRect.width(), destRect.height());
    cairo_clip(target);
    cairo_translate(target, destRect.left - srcOffset.x, destRect.top - srcOffset.y);
    cairo_scale(target, 1.0 / getScaleFactor(), 1.0 / getScaleFactor());
    cairo_set_source_surface(target, surface, 0, 0);
    cairo_set_operator(target, CAIRO_OPERATOR_SOURCE);
    cairo_paint(target);
    cairo_restore(target);
}

CColor COffscreenContext::getPixel(CCoord x, CCoord y) const
{
    cairo_surface_flush(surface);
    const int px = static_cast<int>(std::floor(x * getScaleFactor()));
    const int py = static_cast<int>(std::floor(y * getScaleFactor()));
    if (px < 0 || py < 0 || px >= cairo_image_surface_get_width(surface) ||
        py >= cairo_image_surface_get_height(surface))
        return kTransparentCColor;
    const unsigned char* row = cairo_image_surface_get_data(surface) + py * cairo_image_surface_get_stride(surface);
    const uint32_t argb = reinterpret_cast<const uint32_t*>(row)[px];
    const uint8_t alpha = argb >> 24;
    // Cairo keeps colours premultiplied by alpha.
    auto unpremultiply = [alpha](uint32_t c) -> uint8_t {
        return alpha == 0 ? 0 : static_cast<uint8_t>((c * 255 + alpha / 2) / alpha);
    };
    return {unpremultiply((argb >> 16) & 0xff), unpremultiply((argb >> 8) & 0xff), unpremultiply(argb & 0xff),
            alpha};
}

bool COffscreenContext::writePNG(const char* path) const
{
    cairo_surface_flush(surface);
    return cairo_surface_write_to_png(surface, path) == CAIRO_STATUS_SUCCESS;
}

namespace {

cairo_status_t AppendPngBytes(void* closure, const unsigned char* data, unsigned int length)
{
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

std::string COffscreenContext::encodePNG() const
{
    cairo_surface_flush(surface);
    std::string bytes;
    if (cairo_surface_write_to_png_stream(surface, AppendPngBytes, &bytes) != CAIRO_STATUS_SUCCESS)
        bytes.clear();
    return bytes;
}

void ReleaseFontCaches()
{
    cairo_debug_reset_static_data();
    FcFini();
}

} // namespace VSTGUI
