#include "resources/Resources.h"
#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(missing.getWidth(), 0);
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
    EXPECT_TRUE(SameColour(context.getPixel(5, 5), kBlue));
    EXPECT_TRUE(SameColour(context.getPixel(12, 8), kBlue));
    EXPECT_TRUE(SameColour(context.getPixel(13, 8), kGrey));
    EXPECT_TRUE(SameColour(context.getPixel(5, 9), kGrey));
    EXPECT_TRUE(SameColour(context.getPixel(4, 5), kGrey));
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
    EXPECT_TRUE(SameColour(context.getPixel(2, 2), kRed));
    EXPECT_TRUE(SameColour(context.getPixel(11, 11), kRed));
    EXPECT_TRUE(SameColour(context.getPixel(3, 3), kBlackCColor));
    EXPECT_TRUE(SameColour(context.getPixel(12, 12), kBlackCColor));

    context.setOffset(CPoint(20, 0));
    context.setFillColor(kGreen);
    context.fillRect(CRect(0, 0, 5, 5));
    EXPECT_TRUE(SameColour(context.getPixel(20, 0), kGreen));
    EXPECT_TRUE(SameColour(context.getPixel(25, 5), kBlackCColor));
    context.setOffset(CPoint());

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

TEST(CBitmap, TheProgramsOwnImagesServeAsTheLoader)
{
    SetResourceLoader(FindPngResource);
    CBitmap led(200);
    CBitmap unknown(1);
    SetResourceLoader(nullptr);
    EXPECT_EQ(led.getWidth(), 15);
    EXPECT_EQ(led.getHeight(), 150);
    EXPECT_FALSE(unknown.isLoaded());
}
