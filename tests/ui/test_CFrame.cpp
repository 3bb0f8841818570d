#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

using namespace ui_test;

namespace {

const CColor kRed{200, 0, 0, 255};
const CColor kGreen{0, 200, 0, 255};

// A view that paints itself one colour and remembers the points it got.
class Patch : public CView {
public:
    Patch(const CRect& r, CColor c) : CView(r), colour(c) {}
    void draw(CDrawContext* context) override
    {
        context->setFillColor(colour);
        context->fillRect(size);
    }
    CMouseEventResult onMouseDown(CPoint& where, const int32_t&) override
    {
        pressedAt = where;
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t&) override
    {
        movedTo = where;
        return kMouseEventHandled;
    }
    CColor colour;
    CPoint pressedAt{-1, -1};
    CPoint movedTo{-1, -1};
};

} // namespace

TEST(CFrame, NestedViewsDrawAndReceiveEventsInTheirContainersCoordinates)
{
    CFrame frame(CRect(0, 0, 100, 80), nullptr, nullptr);
    auto* box = new CViewContainer(CRect(20, 10, 80, 70), &frame);
    box->setBackgroundColor(kGreen);
    auto* patch = new Patch(CRect(5, 5, 15, 15), kRed);
    box->addView(patch);
    frame.addView(box);

    EXPECT_TRUE(SameColour(frame.getPixel(25, 15), kRed));
    EXPECT_TRUE(SameColour(frame.getPixel(34, 24), kRed));
    EXPECT_TRUE(SameColour(frame.getPixel(35, 25), kGreen));
    EXPECT_TRUE(SameColour(frame.getPixel(10, 10), kBlackCColor));

    CPoint where(27, 18);
    frame.onMouseDown(where, kLButton);
    EXPECT_EQ(patch->pressedAt, CPoint(7, 8));
    // Moves go to the pressed view even outside it, until the release.
    CPoint outside(90, 75);
    frame.onMouseMoved(outside, kLButton);
    EXPECT_EQ(patch->movedTo, CPoint(70, 65));
    frame.onMouseUp(outside, kLButton);

    CPoint origin(0, 0);
    EXPECT_EQ(patch->localToFrame(origin), CPoint(20, 10));
}

TEST(CFrame, RedrawsOnlyWhatChangedAndForgetsHiddenViews)
{
    CFrame frame(CRect(0, 0, 50, 50), nullptr, nullptr);
    auto* patch = new Patch(CRect(10, 10, 20, 20), kRed);
    frame.addView(patch);
    EXPECT_TRUE(SameColour(frame.getPixel(12, 12), kRed));

    patch->colour = kGreen;
    EXPECT_TRUE(SameColour(frame.getPixel(12, 12), kRed)) << "nothing invalidated yet";
    patch->invalid();
    EXPECT_TRUE(SameColour(frame.getPixel(12, 12), kGreen));

    patch->setVisible(false);
    EXPECT_TRUE(SameColour(frame.getPixel(12, 12), kBlackCColor));
    CPoint where(12, 12);
    frame.onMouseDown(where, kLButton);
    EXPECT_EQ(patch->pressedAt, CPoint(-1, -1));
}

TEST(CFrame, RemovingWithoutForgetKeepsTheViewForTheNextFrame)
{
    auto* patch = new Patch(CRect(0, 0, 10, 10), kRed);
    {
        CFrame first(CRect(0, 0, 20, 20), nullptr, nullptr);
        patch->remember();
        first.addView(patch);
        EXPECT_EQ(patch->getFrame(), &first);
        first.removeAll(false);
        EXPECT_EQ(patch->getFrame(), nullptr);
    }
    CFrame second(CRect(0, 0, 20, 20), nullptr, nullptr);
    second.addView(patch);
    EXPECT_EQ(patch->getNbReference(), 2);
    EXPECT_TRUE(SameColour(second.getPixel(5, 5), kRed));
    second.removeView(patch, true);
    EXPECT_EQ(patch->getNbReference(), 1);
    patch->forget();
}

TEST(CFrame, AModalViewTakesEveryClick)
{
    CFrame frame(CRect(0, 0, 50, 50), nullptr, nullptr);
    auto* below = new Patch(CRect(0, 0, 50, 50), kRed);
    frame.addView(below);
    auto* modal = new Patch(CRect(10, 10, 20, 20), kGreen);
    frame.setModalView(modal);
    modal->forget();
    CPoint outside(40, 40);
    frame.onMouseDown(outside, kLButton);
    EXPECT_EQ(below->pressedAt, CPoint(-1, -1));
    CPoint inside(15, 15);
    frame.onMouseDown(inside, kLButton);
    EXPECT_EQ(modal->pressedAt, CPoint(15, 15));
    frame.setModalView(nullptr);
    frame.onMouseDown(outside, kLButton);
    EXPECT_EQ(below->pressedAt, CPoint(40, 40));
}

TEST(CFrame, WritesItsPixelsToAPngAtItsZoom)
{
    CFrame frame(CRect(0, 0, 30, 20), nullptr, nullptr);
    frame.setZoom(2.0);
    frame.addView(new Patch(CRect(0, 0, 15, 20), kRed));
    const std::string path = testing::TempDir() + "orv_frame.png";
    ASSERT_TRUE(frame.writePNG(path.c_str()));
    const auto png = [&] {
        FILE* file = std::fopen(path.c_str(), "rb");
        std::vector<unsigned char> bytes(1 << 16);
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
        std::fclose(file);
        return bytes;
    }();
    CBitmap picture{std::span<const unsigned char>(png)};
    EXPECT_EQ(picture.getWidth(), 60);
    EXPECT_EQ(picture.getHeight(), 40);
    COffscreenContext copy(60, 40);
    picture.draw(&copy, CRect(0, 0, 60, 40));
    EXPECT_TRUE(SameColour(copy.getPixel(29, 39), kRed));
    EXPECT_TRUE(SameColour(copy.getPixel(30, 0), kBlackCColor));
    std::remove(path.c_str());
}

namespace {

// An editor the way the program builds one: the frame on open, gone on close.
class PatchEditor : public PluginGUIEditor {
public:
    PatchEditor() : PluginGUIEditor(nullptr) { rect = {0, 0, 320, 185}; }
    bool open(void* window) override
    {
        PluginGUIEditor::open(window);
        frame = new CFrame(CRect(0, 0, rect.right, rect.bottom), window, this);
        patch = new Patch(CRect(0, 0, 10, 10), kRed);
        frame->addView(patch);
        return true;
    }
    void close() override
    {
        delete frame;
        frame = nullptr;
        PluginGUIEditor::close();
    }
    Patch* patch = nullptr;
};

} // namespace

TEST(PluginGUIEditor, IdleRedrawsTheFrameAndTheKnobModeReachesKnobs)
{
    PatchEditor editor;
    ERect* size = nullptr;
    ASSERT_TRUE(editor.getRect(&size));
    EXPECT_EQ(size->right, 185);
    EXPECT_EQ(size->bottom, 320);
    editor.open(nullptr);
    CFrame& frame = *editor.getFrame();
    EXPECT_EQ(frame.getBackBuffer().getPixel(5, 5).alpha, 0) << "nothing drawn before idle";
    editor.idle();
    EXPECT_TRUE(SameColour(frame.getBackBuffer().getPixel(5, 5), kRed));

    editor.setKnobMode(kLinearMode);
    auto* knob = new CKnob(CRect(20, 20, 60, 60), nullptr, 2, nullptr, nullptr);
    frame.addView(knob);
    knob->setValue(0.5f);
    Drag(frame, CPoint(40, 40), CPoint(40, 20));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.6f) << "linear: 20 pixels up of 200";
    editor.setKnobMode(kCircularMode);
    editor.close();
    EXPECT_EQ(editor.getFrame(), nullptr);
}
