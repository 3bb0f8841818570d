#include "tools/gallery/GalleryScene.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>
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
    // Both decoded to the same 32-bit format, so equal sizes mean equal strides.
    const int height = cairo_image_surface_get_height(golden);
    ASSERT_EQ(cairo_image_surface_get_width(actual), cairo_image_surface_get_width(golden));
    ASSERT_EQ(cairo_image_surface_get_height(actual), height);
    const size_t bytes = size_t(cairo_image_surface_get_stride(golden)) * size_t(height);
    const bool same =
        std::memcmp(cairo_image_surface_get_data(golden), cairo_image_surface_get_data(actual), bytes) == 0;
    EXPECT_TRUE(same) << "the drawn picture differs; kept at " << drawn;
    cairo_surface_destroy(golden);
    cairo_surface_destroy(actual);
    VSTGUI::SetResourceLoader(nullptr);
    if (same)
        std::filesystem::remove(drawn);
}
