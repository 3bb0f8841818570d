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
    for (const auto& [x, y, colour] :
         {std::tuple{25, 15, kRed}, {34, 24, kRed}, {35, 25, kGreen}, {10, 10, kBlackCColor}})
        EXPECT_TRUE(SameColour(frame.getPixel(x, y), colour)) << x << "," << y;

    CPoint where(27, 18);
    frame.onMouseDown(where, kLButton);
    EXPECT_EQ(patch->pressedAt, CPoint(7, 8));
    // Moves go to the pressed view even outside it, until the release.
    CPoint outside(90, 75);
    frame.onMouseMoved(outside, kLButton);
    EXPECT_EQ(patch->movedTo, CPoint(70, 65));
    frame.onMouseUp(outside, kLButton);
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

namespace {

// An editor the way the program builds one: the frame on open, gone on close.
class PatchEditor : public PluginGUIEditor {
public:
    PatchEditor() : PluginGUIEditor(nullptr) { rect = {0, 0, 320, 185}; }
    bool open(void* window) override
    {
        PluginGUIEditor::open(window);
        frame = new CFrame(CRect(0, 0, rect.right, rect.bottom), window, this);
        frame->addView(new Patch(CRect(0, 0, 10, 10), kRed));
        return true;
    }
    void close() override
    {
        delete frame;
        frame = nullptr;
        PluginGUIEditor::close();
    }
};

} // namespace

TEST(PluginGUIEditor, OffersItsSizeAndIdleRedrawsTheFrame)
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
    editor.close();
    EXPECT_EQ(editor.getFrame(), nullptr);
}

namespace {

struct Field : Bench {
    CTextEdit* edit = add(new CTextEdit(CRect(10, 10, 150, 27), &recorder, 22, "Crunch"));
    Field() : Bench(160, 40) {}
    int litPixels()
    {
        return CountPixels(frame, edit->getViewSize(), [](CCoord, CCoord, CColor c) { return c.red > 128; });
    }
};

} // namespace

// Typing edits the text without a word to anyone; return keeps it and a
// click elsewhere too, escape restores the old one; keys reach the field
// only while it edits.
TEST(CTextEdit, TypingBackspaceAndReturnOrAClickElsewhereKeepTheNewTextAndEscapeRestores)
{
    Field field;
    const int before = field.litPixels();
    Click(field.frame, CPoint(20, 15));
    ASSERT_TRUE(field.edit->isEditing());
    PressKey(field.frame, VKEY_BACK);
    PressKey(field.frame, VKEY_BACK);
    Type(field.frame, "cher 2");
    PressKey(field.frame, VKEY_LEFT);
    PressKey(field.frame, VKEY_BACK);
    EXPECT_EQ(field.edit->getEditText(), "Cruncher2");
    EXPECT_TRUE(field.recorder.changes.empty());
    EXPECT_GT(field.litPixels(), before);
    PressKey(field.frame, VKEY_RETURN);
    EXPECT_FALSE(field.edit->isEditing());
    EXPECT_STREQ(field.edit->getText(), "Cruncher2");
    ASSERT_EQ(field.recorder.changes.size(), 1u);
    EXPECT_EQ(field.recorder.changes[0].tag, 22);
    EXPECT_EQ(field.frame.getFocusView(), nullptr);

    Click(field.frame, CPoint(20, 15));
    Type(field.frame, "xyz");
    PressKey(field.frame, VKEY_ESCAPE);
    EXPECT_STREQ(field.edit->getText(), "Cruncher2");
    Click(field.frame, CPoint(20, 15));
    PressKey(field.frame, VKEY_HOME);
    Type(field.frame, "A ");
    Click(field.frame, CPoint(5, 35));
    EXPECT_FALSE(field.edit->isEditing());
    EXPECT_STREQ(field.edit->getText(), "A Cruncher2");
    EXPECT_EQ(field.recorder.changes.size(), 2u);
    Type(field.frame, "q");
    EXPECT_STREQ(field.edit->getText(), "A Cruncher2");
}
