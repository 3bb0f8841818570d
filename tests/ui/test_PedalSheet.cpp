// The contact sheet of all 36 pedals, drawn again, matches the picture the
// README shows (docs/pedals.png).  Fonts may be hinted a little differently
// from one machine to the next, so a few pixels may differ slightly; a
// turned knob, a moved control, a wrong face or a missing picture change
// hundreds of pixels or more.
// `make golden` draws the picture again after a deliberate change.
#include "cli/Snapshot.h"
#include "core/CORVEffectCatalogue.h"
#include "tests/PngBytes.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

// A pixel counts as different when one of its channels moved by more than this.
constexpr int kChannelTolerance = 24;
// How many pixels may differ: a ten-thousandth of the sheet, fewer than
// a knob turned by a step changes.
constexpr double kDifferentShare = 0.0001;

} // namespace

TEST(PedalSheet, MatchesThePictureInTheReadme)
{
    SnapshotRequest request;
    for (const CatalogueEntry& entry : kCatalogue)
        request.pedals.push_back({entry.shortName, {}, {}, false});
    request.columns = 9;
    const std::string drawn = DrawSnapshot(request);
    cairo_surface_t* actual = testing_support::DecodePng(drawn);
    cairo_surface_t* golden = cairo_image_surface_create_from_png(ORV_GOLDEN_SHEET);
    ASSERT_EQ(cairo_surface_status(golden), CAIRO_STATUS_SUCCESS) << ORV_GOLDEN_SHEET;
    ASSERT_EQ(cairo_surface_status(actual), CAIRO_STATUS_SUCCESS);
    const int width = cairo_image_surface_get_width(golden);
    const int height = cairo_image_surface_get_height(golden);
    ASSERT_EQ(cairo_image_surface_get_width(actual), width);
    ASSERT_EQ(cairo_image_surface_get_height(actual), height);
    const int stride = cairo_image_surface_get_stride(golden);
    const unsigned char* a = cairo_image_surface_get_data(actual);
    const unsigned char* g = cairo_image_surface_get_data(golden);
    long different = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t at = size_t(y) * size_t(stride) + size_t(x) * 4;
            bool moved = false;
            for (size_t c = 0; c < 4; ++c)
                moved = moved || std::abs(int(a[at + c]) - int(g[at + c])) > kChannelTolerance;
            different += moved ? 1 : 0;
        }
    EXPECT_LE(double(different), kDifferentShare * width * height) << different << " pixels differ";
    cairo_surface_destroy(golden);
    cairo_surface_destroy(actual);
}
