#include "tests/ui/UiTestSupport.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <map>

namespace ui_test {

namespace {

std::map<std::pair<int32_t, int32_t>, std::vector<unsigned char>> images;

std::span<const unsigned char> Load(int32_t id, int32_t scale)
{
    const auto found = images.find({id, scale});
    return found == images.end() ? std::span<const unsigned char>() : found->second;
}

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length)
{
    auto* bytes = static_cast<std::vector<unsigned char>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

// Releasing the font caches after the last test lets the leak checker of
// the sanitizer build see only what the layer itself left behind.
class FontCaches : public testing::Environment {
public:
    void TearDown() override { ReleaseFontCaches(); }
};

[[maybe_unused]] testing::Environment* const fontCaches = testing::AddGlobalTestEnvironment(new FontCaches);

} // namespace

std::vector<unsigned char> StripPng(int width, int frameHeight, const std::vector<CColor>& colours)
{
    const int frames = static_cast<int>(colours.size());
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, frameHeight * frames);
    cairo_t* cr = cairo_create(surface);
    for (int i = 0; i < frames; ++i) {
        const CColor& c = colours[static_cast<size_t>(i)];
        cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
        cairo_rectangle(cr, 0, i * frameHeight, width, frameHeight);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    std::vector<unsigned char> bytes;
    cairo_surface_write_to_png_stream(surface, AppendBytes, &bytes);
    cairo_surface_destroy(surface);
    return bytes;
}

CBitmap* Strip(int width, int frameHeight, const std::vector<CColor>& colours)
{
    const auto png = StripPng(width, frameHeight, colours);
    return new CBitmap(std::span<const unsigned char>(png));
}

ResourceTable::ResourceTable()
{
    images.clear();
    SetResourceLoader(Load);
}

ResourceTable::~ResourceTable()
{
    SetResourceLoader(nullptr);
    images.clear();
}

void ResourceTable::add(int32_t id, std::vector<unsigned char> png, int32_t scale)
{
    images[{id, scale}] = std::move(png);
}

void Click(CFrame& frame, CPoint where, int32_t buttons)
{
    frame.onMouseDown(where, buttons);
    frame.onMouseUp(where, buttons);
}

void Drag(CFrame& frame, CPoint from, CPoint to, int32_t buttons)
{
    frame.onMouseDown(from, buttons);
    frame.onMouseMoved(to, buttons);
    frame.onMouseUp(to, buttons);
}

void Stroke(CFrame& frame, const CControl& control, CPoint press, const std::vector<Move>& moves, float tolerance)
{
    frame.onMouseDown(press, kLButton);
    for (Move move : moves) {
        frame.onMouseMoved(move.to, move.buttons);
        EXPECT_NEAR(control.getValue(), move.value, tolerance) << "at " << move.to.x << "," << move.to.y;
    }
    frame.onMouseUp(press, kLButton);
}

int32_t PressKey(CFrame& frame, uint8_t virt, int32_t character)
{
    VstKeyCode key;
    key.virt = virt;
    key.character = character;
    return frame.onKeyDown(key);
}

void Type(CFrame& frame, const std::string& text)
{
    for (char c : text)
        PressKey(frame, 0, static_cast<unsigned char>(c));
}

bool SameColour(const CColor& a, const CColor& b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

bool OpaqueInAnyFrame(CBitmap& bitmap, CCoord frameHeight, CCoord x, CCoord y)
{
    int32_t scale = 1;
    cairo_surface_t* surface = bitmap.surfaceForScale(1, scale);
    if (!surface || x < 0 || y < 0 || x >= bitmap.getWidth() || y >= frameHeight || frameHeight <= 0)
        return false;
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    // Premultiplied ARGB in native words: the alpha is the top byte.
    for (CCoord top = 0; top + frameHeight <= bitmap.getHeight(); top += frameHeight) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(top + y) * size_t(stride));
        if ((row[size_t(x)] >> 24) != 0)
            return true;
    }
    return false;
}

} // namespace ui_test
