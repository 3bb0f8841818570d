#include "tools/gallery/GalleryScene.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

// The gallery, drawn again, matches the golden picture kept in git pixel
// for pixel. After a deliberate change of the artwork or the controls,
// `cmake --build build --target update_golden` (or `make golden`) writes a
// new one to review and commit.
TEST(Gallery, MatchesTheGoldenPicture)
{
    const auto frame = gallery::BuildGallery();
    const std::filesystem::path drawn = std::filesystem::temp_directory_path() / "orv_gallery_drawn.png";
    ASSERT_TRUE(frame->writePNG(drawn.c_str()));
    cairo_surface_t* golden = cairo_image_surface_create_from_png(ORV_GOLDEN_GALLERY);
    cairo_surface_t* actual = cairo_image_surface_create_from_png(drawn.c_str());
    ASSERT_EQ(cairo_surface_status(golden), CAIRO_STATUS_SUCCESS) << ORV_GOLDEN_GALLERY;
    ASSERT_EQ(cairo_surface_status(actual), CAIRO_STATUS_SUCCESS);
    const int width = cairo_image_surface_get_width(golden);
    const int height = cairo_image_surface_get_height(golden);
    ASSERT_EQ(cairo_image_surface_get_width(actual), width);
    ASSERT_EQ(cairo_image_surface_get_height(actual), height);
    const int stride = cairo_image_surface_get_stride(golden);
    ASSERT_EQ(cairo_image_surface_get_stride(actual), stride);
    const unsigned char* a = cairo_image_surface_get_data(golden);
    const unsigned char* b = cairo_image_surface_get_data(actual);
    int differing = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 4; ++x)
            differing += a[y * stride + x] != b[y * stride + x];
    EXPECT_EQ(differing, 0) << "differing bytes; drawn picture kept at " << drawn;
    cairo_surface_destroy(golden);
    cairo_surface_destroy(actual);
    VSTGUI::SetResourceLoader(nullptr);
    if (differing == 0)
        std::filesystem::remove(drawn);
}
