// Bitmaps: the layer's loading and drawing, and the editor's own images.
#include "resources/Resources.h"
#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace ui_test;

namespace {

const CColor kRed{200, 0, 0, 255};
const CColor kGreen{0, 200, 0, 255};
const CColor kBlue{0, 0, 200, 255};
const CColor kGrey{90, 90, 90, 255};

} // namespace

TEST(CBitmap, LoadsThroughTheRegisteredLoaderAndDrawsTheRequestedPartOfAFilmStrip)
{
    ResourceTable table;
    table.add(300, StripPng(45, 15, {kRed, kGreen, kBlue}));
    CBitmap strip(300);
    EXPECT_TRUE(strip.isLoaded());
    EXPECT_EQ(strip.getWidth(), 45);
    EXPECT_EQ(strip.getHeight(), 45);

    CBitmap missing(999);
    EXPECT_FALSE(missing.isLoaded());
    COffscreenContext context(20, 20, kGrey);
    missing.draw(&context, CRect(0, 0, 20, 20));
    EXPECT_TRUE(SameColour(context.getPixel(5, 5), kGrey));
    const std::vector<unsigned char> garbage{1, 2, 3, 4};
    EXPECT_FALSE(CBitmap(std::span<const unsigned char>(garbage)).isLoaded());

    // The requested part of a film strip, exactly.
    CBitmap small{std::span<const unsigned char>(StripPng(8, 4, {kRed, kGreen, kBlue}))};
    small.draw(&context, CRect(5, 5, 13, 9), CPoint(0, 8));
    for (const auto& [x, y, colour] : {std::tuple{5, 5, kBlue}, {12, 8, kBlue}, {13, 8, kGrey}, {5, 9, kGrey},
                                       {4, 5, kGrey}})
        EXPECT_TRUE(SameColour(context.getPixel(x, y), colour)) << x << "," << y;
}

TEST(CBitmap, DoubledContextsDrawTheDoubledImageOrScaleTheSingleOne)
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
}

// Text keeps to its rectangle, and a longer string measures wider.
TEST(CDrawContext, TextStaysInsideItsRectangle)
{
    COffscreenContext context(40, 30, kBlackCColor);
    const CRect textBox(0, 15, 40, 30);
    context.setFontColor(kWhiteCColor);
    context.setFont(kNormalFont);
    context.drawString("Hi", textBox, false, kLeftText);
    const auto lit = [](CCoord, CCoord, CColor c) { return c.green > 100; };
    EXPECT_EQ(CountPixels(context, CRect(0, 0, 40, 15), lit), 0);
    EXPECT_GT(CountPixels(context, textBox, lit), 5);
    EXPECT_GT(context.getStringWidth("Hi there"), context.getStringWidth("Hi"));
}

namespace {

// One of the program's own images as the layer draws it, at its own size.
struct Image {
    Image(int32_t id, int32_t scale) : bitmap(FindPngResource(id, scale)), pixels(bitmap.getWidth(), bitmap.getHeight())
    {
        bitmap.draw(&pixels, CRect(0, 0, bitmap.getWidth(), bitmap.getHeight()));
    }
    int width() const { return int(bitmap.getWidth()); }
    int height() const { return int(bitmap.getHeight()); }
    std::vector<uint32_t> frame(int index, int frames) const
    {
        std::vector<uint32_t> out;
        for (int y = index * height() / frames; y < (index + 1) * height() / frames; ++y)
            for (int x = 0; x < width(); ++x) {
                const CColor c = pixels.getPixel(x, y);
                out.push_back(uint32_t(c.alpha) << 24 | uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue);
            }
        return out;
    }
    CBitmap bitmap;
    COffscreenContext pixels;
};

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
        const Image one(id, 1), two(id, 2);
        ASSERT_TRUE(one.bitmap.isLoaded() && two.bitmap.isLoaded()) << id;
        ASSERT_EQ(two.width(), 2 * one.width()) << id;
        ASSERT_EQ(two.height(), 2 * one.height()) << id;
        const int frames = strips.contains(id) ? strips.at(id) : 1;
        for (const Image* image : {&one, &two}) {
            ASSERT_EQ(image->height() % frames, 0) << id;
            EXPECT_TRUE(std::ranges::any_of(image->frame(0, 1), [](uint32_t p) { return p >> 24; })) << id;
            for (int f = 1; f < frames; ++f)
                EXPECT_NE(image->frame(f - 1, frames), image->frame(f, frames)) << id << " frame " << f;
        }
    }
}

// The 36 pedal faces and the five alternative ones: 185 x 320 (370 x 640 at
// scale 2), and no two alike.
TEST(Resources, PedalFacesAreAllDifferent)
{
    std::set<std::vector<uint32_t>> faces;
    for (int32_t id = 501; id <= 541; ++id) {
        const Image one(id, 1), two(id, 2);
        EXPECT_EQ(CPoint(one.width(), one.height()), CPoint(185, 320)) << id;
        EXPECT_EQ(CPoint(two.width(), two.height()), CPoint(370, 640)) << id;
        faces.insert(one.frame(0, 1));
    }
    EXPECT_EQ(faces.size(), 41u);
}
