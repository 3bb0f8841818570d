// Bitmaps: the layer's loading and drawing, and the editor's own images,
// read back with Cairo apart from the layer.
#include "resources/Resources.h"
#include "tests/ui/UiTestSupport.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

using namespace ui_test;

namespace {

const CColor kRed{200, 0, 0, 255};
const CColor kGreen{0, 200, 0, 255};
const CColor kBlue{0, 0, 200, 255};
const CColor kGrey{90, 90, 90, 255};

} // namespace

TEST(CBitmap, LoadsThroughTheRegisteredLoaderAndKeepsItsSize)
{
    ResourceTable table;
    table.add(300, StripPng(45, 15, {kRed, kGreen, kBlue}));
    CBitmap strip(300);
    EXPECT_TRUE(strip.isLoaded());
    EXPECT_EQ(strip.getWidth(), 45);
    EXPECT_EQ(strip.getHeight(), 45);

    CBitmap missing(999);
    EXPECT_FALSE(missing.isLoaded());
    COffscreenContext context(10, 10, kGrey);
    missing.draw(&context, CRect(0, 0, 10, 10));
    EXPECT_TRUE(SameColour(context.getPixel(5, 5), kGrey));
    const std::vector<unsigned char> garbage{1, 2, 3, 4};
    EXPECT_FALSE(CBitmap(std::span<const unsigned char>(garbage)).isLoaded());
}

TEST(CBitmap, DrawsTheRequestedPartOfAFilmStripExactly)
{
    const auto png = StripPng(8, 4, {kRed, kGreen, kBlue});
    CBitmap strip{std::span<const unsigned char>(png)};
    COffscreenContext context(20, 20, kGrey);
    strip.draw(&context, CRect(5, 5, 13, 9), CPoint(0, 8));
    for (const auto& [x, y, colour] : {std::tuple{5, 5, kBlue}, {12, 8, kBlue}, {13, 8, kGrey}, {5, 9, kGrey},
                                       {4, 5, kGrey}})
        EXPECT_TRUE(SameColour(context.getPixel(x, y), colour)) << x << "," << y;
}

TEST(CBitmap, DoubledFramesAskForTheDoubledImageAndFallBackToScaling)
{
    ResourceTable table;
    table.add(1, StripPng(4, 4, {kRed}));
    table.add(1, StripPng(8, 8, {kGreen}), 2);
    table.add(2, StripPng(4, 4, {kBlue}));
    CBitmap withVariant(1);
    CBitmap withoutVariant(2);
    COffscreenContext doubled(10, 10, kGrey, 2.0);
    withVariant.draw(&doubled, CRect(0, 0, 4, 4));
    withoutVariant.draw(&doubled, CRect(5, 5, 9, 9));
    // Logical (3.5, 3.5) is device pixel (7, 7): inside the 8-pixel variant.
    EXPECT_TRUE(SameColour(doubled.getPixel(3.5, 3.5), kGreen));
    EXPECT_TRUE(SameColour(doubled.getPixel(8.5, 8.5), kBlue));
    EXPECT_TRUE(SameColour(doubled.getPixel(4.5, 4.5), kGrey));
    const auto& asked = ResourceTable::requests();
    EXPECT_NE(std::find(asked.begin(), asked.end(), std::make_pair(1, 2)), asked.end());
    EXPECT_NE(std::find(asked.begin(), asked.end(), std::make_pair(2, 2)), asked.end());
}

TEST(CDrawContext, OutlinesFillsAndTextStayInsideTheirRectangles)
{
    COffscreenContext context(40, 30, kBlackCColor);
    context.setFrameColor(kRed);
    context.drawRect(CRect(2, 2, 12, 12));
    context.setOffset(CPoint(20, 0));
    context.setFillColor(kGreen);
    context.fillRect(CRect(0, 0, 5, 5));
    context.setOffset(CPoint());
    for (const auto& [x, y, colour] : {std::tuple{2, 2, kRed}, {11, 11, kRed}, {3, 3, kBlackCColor},
                                       {12, 12, kBlackCColor}, {20, 0, kGreen}, {25, 5, kBlackCColor}})
        EXPECT_TRUE(SameColour(context.getPixel(x, y), colour)) << x << "," << y;

    const CRect textBox(0, 15, 40, 30);
    context.setFontColor(kWhiteCColor);
    context.setFont(kNormalFont);
    context.drawString("Hi", textBox, false, kLeftText);
    int lit = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if (context.getPixel(x, y).green > 100 && context.getPixel(x, y).red > 100) {
                EXPECT_TRUE(textBox.pointInside(CPoint(x, y))) << x << "," << y;
                ++lit;
            }
    EXPECT_GT(lit, 5);
    EXPECT_GT(context.getStringWidth("Hi there"), context.getStringWidth("Hi"));
}

namespace {

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

Surface Decode(int32_t id, int32_t scale)
{
    struct Reader {
        std::span<const unsigned char> data;
    } reader{FindPngResource(id, scale)};
    const auto read = [](void* closure, unsigned char* out, unsigned int length) {
        auto& rest = static_cast<Reader*>(closure)->data;
        if (rest.size() < length)
            return CAIRO_STATUS_READ_ERROR;
        std::memcpy(out, rest.data(), length);
        rest = rest.subspan(length);
        return CAIRO_STATUS_SUCCESS;
    };
    Surface s(cairo_image_surface_create_from_png_stream(read, &reader), cairo_surface_destroy);
    EXPECT_EQ(cairo_surface_status(s.get()), CAIRO_STATUS_SUCCESS) << "id " << id << " scale " << scale;
    return s;
}

int Width(const Surface& s) { return cairo_image_surface_get_width(s.get()); }
int Height(const Surface& s) { return cairo_image_surface_get_height(s.get()); }

// Cairo's native-endian ARGB word of a pixel.
uint32_t Argb(const Surface& s, int x, int y)
{
    uint32_t v;
    std::memcpy(&v, cairo_image_surface_get_data(s.get()) + y * cairo_image_surface_get_stride(s.get()) + 4 * x, 4);
    return v;
}
int Alpha(uint32_t p) { return int(p >> 24); }
int Red(uint32_t p) { return int(p >> 16 & 0xff); }
int Green(uint32_t p) { return int(p >> 8 & 0xff); }
int Blue(uint32_t p) { return int(p & 0xff); }
int Brightness(uint32_t p) { return Red(p) + Green(p) + Blue(p); }

// The pixels of one frame of a film strip.
std::vector<uint32_t> FramePixels(const Surface& s, int frame, int frames)
{
    const int h = Height(s) / frames;
    std::vector<uint32_t> out;
    for (int y = frame * h; y < (frame + 1) * h; ++y)
        for (int x = 0; x < Width(s); ++x)
            out.push_back(Argb(s, x, y));
    return out;
}

} // namespace

// Every image at both scales, the second exactly twice the first, none
// blank, and each frame of a film strip unlike the one before. (The gallery
// holds every image at scale 1 pixel for pixel.)
TEST(Resources, EveryIdAtBothScalesWithDistinctFrames)
{
    // The film strips and their frame counts; every other id is one picture.
    const std::map<int32_t, int> strips = {{100, 2}, {107, 2}, {108, 2}, {109, 2}, {110, 2}, {115, 2}, {116, 2},
                                           {119, 2}, {120, 2}, {200, 10}, {201, 2}, {320, 5}, {321, 7}, {322, 6},
                                           {400, 2}, {401, 2}, {402, 3}, {403, 4}, {404, 5}, {405, 4}};
    for (const int32_t id : ResourceIds()) {
        const Surface one = Decode(id, 1), two = Decode(id, 2);
        ASSERT_EQ(Width(two), 2 * Width(one)) << id;
        ASSERT_EQ(Height(two), 2 * Height(one)) << id;
        const int frames = strips.contains(id) ? strips.at(id) : 1;
        for (const Surface* s : {&one, &two}) {
            ASSERT_EQ(Height(*s) % frames, 0) << id;
            EXPECT_TRUE(std::ranges::any_of(FramePixels(*s, 0, 1), [](uint32_t p) { return Alpha(p) > 0; })) << id;
            for (int f = 1; f < frames; ++f)
                EXPECT_NE(FramePixels(*s, f - 1, frames), FramePixels(*s, f, frames)) << id << " frame " << f;
        }
    }
    for (const int32_t id : {0, 99, 406, 501, 536, 541, 759, 9999})
        EXPECT_TRUE(FindPngResource(id).empty()) << id;
    EXPECT_TRUE(FindPngResource(100, 0).empty());
    EXPECT_TRUE(FindPngResource(100, 3).empty());
}

TEST(Resources, LedFramesOffThenRedThenGreenYellowBlue)
{
    const Surface s = Decode(200, 1);
    const auto centre = [&](int frame) { return Argb(s, 7, 15 * frame + 7); };
    EXPECT_GT(Brightness(centre(1)), Brightness(centre(0)) + 150);
    EXPECT_GT(Red(centre(1)), 2 * Green(centre(1)));
    EXPECT_GT(Red(centre(1)), 2 * Blue(centre(1)));
    EXPECT_GT(Green(centre(2)), Red(centre(2)) + 40);
    EXPECT_GT(Blue(centre(4)), Red(centre(4)) + 40);
}

TEST(Resources, KnobHandlesPointUp)
{
    for (const int32_t id : {302, 303}) {
        for (const int scale : {1, 2}) {
            const Surface s = Decode(id, scale);
            const int c = Width(s) / 2, reach = Width(s) * 3 / 10;
            // The dark pointer line runs from the centre to the top only.
            const uint32_t top = Argb(s, c, c - reach);
            EXPECT_EQ(Alpha(top), 255) << id;
            for (const uint32_t other : {Argb(s, c, c + reach), Argb(s, c - reach, c), Argb(s, c + reach, c)})
                EXPECT_LT(Brightness(top) + 200, Brightness(other)) << id;
            EXPECT_EQ(Alpha(Argb(s, 0, 0)), 0) << "outside the round cap " << id;
        }
    }
}

TEST(Resources, FootSwitchSinksWhenPressed)
{
    const Surface s = Decode(100, 1);
    // Pressed, the plate sits lower and turns out of the light.
    const auto faceBrightness = [&](int frame) {
        int sum = 0;
        for (int y = 10; y < 27; ++y)
            for (int x = 20; x < 140; x += 4)
                sum += Brightness(Argb(s, x, frame * 38 + y));
        return sum;
    };
    EXPECT_LT(faceBrightness(1), faceBrightness(0));
}
