#include "ui/controls/CAboutView.h"

#include "resources/Resources.h"
#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

using namespace ui_test;

TEST(CAboutView, ShowsItsTextsOverBitmap900UntilAClickReportsZeroForTag37)
{
    SetResourceLoader(FindPngResource);
    Recorder recorder;
    const CRect editor(0, 0, 185, 320);
    CFrame frame(editor, nullptr, &recorder);
    CSplashScreen* splash = MakeAboutSplash(editor, &recorder);
    frame.addView(splash);
    splash->splash();

    // Against a plain drawing of the bitmap: the picture is everywhere
    // except where the texts are, in the black window below the knob.
    COffscreenContext plain(185, 320, kBlackCColor);
    CBitmap picture(kAboutBitmapId);
    ASSERT_EQ(picture.getWidth(), 185);
    ASSERT_EQ(picture.getHeight(), 320);
    picture.draw(&plain, editor);
    int textPixels = 0;
    int outsideDifferences = 0;
    for (int y = 0; y < 320; ++y) {
        for (int x = 0; x < 185; ++x) {
            const bool differs = !SameColour(frame.getPixel(x, y), plain.getPixel(x, y));
            const bool textArea = y >= 160 && y < 260;
            (textArea ? textPixels : outsideDifferences) += differs;
        }
    }
    EXPECT_EQ(outsideDifferences, 0);
    EXPECT_GT(textPixels, 800) << "a title, a version line and two credit lines";

    Click(frame, CPoint(90, 40));
    ASSERT_EQ(recorder.changes.size(), 1u);
    EXPECT_EQ(recorder.changes[0].tag, 37);
    EXPECT_FLOAT_EQ(recorder.changes[0].value, 0.0f);
    EXPECT_FALSE(splash->isSplashing());
    SetResourceLoader(nullptr);
}
