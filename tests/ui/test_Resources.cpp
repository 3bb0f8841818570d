#include "resources/Resources.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Size of the whole bitmap at scale 1 and its frames, for every id the
// editors load (the per-effect backgrounds 501 to 541 aside).
struct Expected {
    int32_t first, last;
    int width, height, frames;
};

constexpr Expected kExpected[] = {
    {100, 100, 161, 76, 2},  {101, 102, 57, 23, 1},   {103, 104, 53, 15, 1},   {105, 106, 27, 15, 1},
    {107, 107, 26, 30, 2},   {108, 110, 53, 30, 2},   {111, 114, 53, 15, 1},   {115, 115, 45, 30, 2},
    {116, 116, 53, 30, 2},   {117, 118, 53, 38, 1},   {119, 120, 20, 30, 2},   {121, 124, 53, 15, 1},
    {125, 128, 53, 30, 1},   {129, 130, 53, 38, 1},   {131, 132, 53, 48, 1},   {200, 200, 15, 150, 10},
    {201, 201, 173, 96, 2},  {202, 203, 6, 81, 1},    {204, 205, 6, 26, 1},    {206, 207, 72, 26, 1},
    {208, 209, 44, 38, 1},   {210, 213, 55, 38, 1},   {300, 300, 45, 45, 1},   {301, 301, 63, 63, 1},
    {302, 302, 24, 24, 1},   {303, 303, 28, 28, 1},   {320, 320, 45, 225, 5},  {321, 321, 45, 315, 7},
    {322, 322, 45, 270, 6},  {400, 400, 40, 40, 2},   {401, 401, 18, 80, 2},   {402, 402, 80, 69, 3},
    {403, 403, 106, 92, 4},  {404, 404, 132, 115, 5}, {405, 405, 18, 280, 4},  {407, 407, 41, 48, 1},
    {408, 408, 136, 140, 1}, {450, 450, 18, 80, 1},   {451, 451, 18, 25, 1},   {452, 452, 85, 19, 1},
    {453, 453, 31, 18, 1},   {454, 454, 20, 20, 1},   {500, 500, 185, 320, 1}, {700, 734, 91, 77, 1},
    {750, 757, 146, 143, 1}, {758, 758, 172, 143, 1}, {900, 900, 185, 320, 1},
};

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

struct Reader {
    std::span<const unsigned char> data;
    std::size_t offset = 0;
};

cairo_status_t ReadBytes(void* closure, unsigned char* out, unsigned int length)
{
    auto* r = static_cast<Reader*>(closure);
    if (r->data.size() - r->offset < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, r->data.data() + r->offset, length);
    r->offset += length;
    return CAIRO_STATUS_SUCCESS;
}

Surface Decode(int32_t id, int32_t scale)
{
    Reader reader{FindPngResource(id, scale)};
    Surface s(cairo_image_surface_create_from_png_stream(ReadBytes, &reader), cairo_surface_destroy);
    EXPECT_EQ(cairo_surface_status(s.get()), CAIRO_STATUS_SUCCESS) << "id " << id << " scale " << scale;
    return s;
}

struct Pixel {
    int r, g, b, a;
    int Brightness() const { return r + g + b; }
};

Pixel At(cairo_surface_t* s, int x, int y)
{
    const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    uint32_t v;
    std::memcpy(&v, row + 4 * x, 4);
    return {int(v >> 16 & 0xff), int(v >> 8 & 0xff), int(v & 0xff), int(v >> 24)};
}

// The pixels of one frame of a film strip.
std::vector<uint32_t> FramePixels(cairo_surface_t* s, int frame, int frames)
{
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s) / frames;
    std::vector<uint32_t> out;
    for (int y = frame * h; y < (frame + 1) * h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Pixel p = At(s, x, y);
            out.push_back(uint32_t(p.a) << 24 | uint32_t(p.r) << 16 | uint32_t(p.g) << 8 | uint32_t(p.b));
        }
    }
    return out;
}

TEST(Resources, EveryLoadedIdAtBothScalesWithItsSizeAndDistinctFrames)
{
    std::vector<int32_t> expectedIds;
    for (const Expected& e : kExpected) {
        for (int32_t id = e.first; id <= e.last; ++id) {
            expectedIds.push_back(id);
            for (const int scale : {1, 2}) {
                const Surface s = Decode(id, scale);
                ASSERT_EQ(cairo_image_surface_get_width(s.get()), e.width * scale) << id;
                ASSERT_EQ(cairo_image_surface_get_height(s.get()), e.height * scale) << id;
                // Not blank, and every frame of a strip shows something else.
                EXPECT_TRUE(std::ranges::any_of(FramePixels(s.get(), 0, 1), [](uint32_t p) { return p >> 24; }))
                    << id;
                for (int f = 1; f < e.frames; ++f) {
                    EXPECT_NE(FramePixels(s.get(), f - 1, e.frames), FramePixels(s.get(), f, e.frames))
                        << "id " << id << " frames " << f - 1 << " and " << f;
                }
            }
        }
    }
    const std::span<const int32_t> ids = ResourceIds();
    EXPECT_EQ(std::vector<int32_t>(ids.begin(), ids.end()), expectedIds);
}

TEST(Resources, UnknownIdsAndScalesGiveNothing)
{
    for (const int32_t id : {0, 99, 406, 501, 536, 541, 759, 9999}) EXPECT_TRUE(FindPngResource(id).empty()) << id;
    EXPECT_TRUE(FindPngResource(100, 0).empty());
    EXPECT_TRUE(FindPngResource(100, 3).empty());
    EXPECT_FALSE(FindPngResource(100).empty());
}

TEST(Resources, LedFramesOffThenRedThenOtherColours)
{
    const Surface s = Decode(200, 1);
    constexpr int kFrame = 15, kCentre = 7;
    const Pixel off = At(s.get(), kCentre, kCentre), red = At(s.get(), kCentre, kFrame + kCentre);
    EXPECT_GT(red.Brightness(), off.Brightness() + 150);
    EXPECT_GT(red.r, 2 * red.g);
    EXPECT_GT(red.r, 2 * red.b);
    // Frames 2 to 5 are the green, yellow, blue and orange the panels and
    // the tap tempo show.
    const Pixel green = At(s.get(), kCentre, 2 * kFrame + kCentre), blue = At(s.get(), kCentre, 4 * kFrame + kCentre);
    EXPECT_GT(green.g, green.r + 40);
    EXPECT_GT(blue.b, blue.r + 40);
}

TEST(Resources, KnobHandlesPointUp)
{
    for (const int32_t id : {302, 303}) {
        for (const int scale : {1, 2}) {
            const Surface s = Decode(id, scale);
            const int size = cairo_image_surface_get_width(s.get()), c = size / 2, reach = size * 3 / 10;
            const Pixel top = At(s.get(), c, c - reach), bottom = At(s.get(), c, c + reach);
            const Pixel left = At(s.get(), c - reach, c), right = At(s.get(), c + reach, c);
            // The dark pointer line runs from the centre to the top only.
            EXPECT_EQ(top.a, 255) << id;
            EXPECT_LT(top.Brightness() + 200, bottom.Brightness()) << id;
            EXPECT_LT(top.Brightness() + 200, left.Brightness()) << id;
            EXPECT_LT(top.Brightness() + 200, right.Brightness()) << id;
            // Outside the round cap the handle is transparent.
            EXPECT_EQ(At(s.get(), 0, 0).a, 0) << id;
        }
    }
}

TEST(Resources, FootSwitchSinksWhenPressed)
{
    const Surface s = Decode(100, 1);
    constexpr int kFrame = 38;
    // Pressed, the plate sits lower and turns out of the light.
    auto faceBrightness = [&](int frame) {
        int sum = 0;
        for (int y = 10; y < 27; ++y) {
            for (int x = 20; x < 140; x += 4) sum += At(s.get(), x, frame * kFrame + y).Brightness();
        }
        return sum;
    };
    EXPECT_LT(faceBrightness(1), faceBrightness(0));
    EXPECT_NE(FramePixels(s.get(), 0, 2), FramePixels(s.get(), 1, 2));
}

}  // namespace
