#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

using namespace ui_test;

namespace {

struct Field {
    Recorder recorder;
    CFrame frame{CRect(0, 0, 160, 40), nullptr, &recorder};
    CTextEdit* edit = new CTextEdit(CRect(10, 10, 150, 27), &recorder, 22, "Crunch");
    Field() { frame.addView(edit); }
};

int LitPixels(CFrame& frame, const CRect& area)
{
    int lit = 0;
    for (CCoord y = area.top; y < area.bottom; ++y)
        for (CCoord x = area.left; x < area.right; ++x)
            lit += frame.getPixel(x, y).red > 128 ? 1 : 0;
    return lit;
}

} // namespace

TEST(CTextEdit, TypingBackspaceAndReturnKeepTheNewText)
{
    Field field;
    char text[64];
    field.edit->getText(text);
    EXPECT_STREQ(text, "Crunch");
    const int before = LitPixels(field.frame, field.edit->getViewSize());

    Click(field.frame, CPoint(20, 15));
    ASSERT_TRUE(field.edit->isEditing());
    PressKey(field.frame, VKEY_BACK);
    PressKey(field.frame, VKEY_BACK);
    Type(field.frame, "cher 2");
    PressKey(field.frame, VKEY_LEFT);
    PressKey(field.frame, VKEY_BACK);
    EXPECT_EQ(field.edit->getEditText(), "Cruncher2");
    EXPECT_TRUE(field.recorder.changes.empty()) << "nothing reported while typing";
    EXPECT_GT(LitPixels(field.frame, field.edit->getViewSize()), before);

    PressKey(field.frame, VKEY_RETURN);
    EXPECT_FALSE(field.edit->isEditing());
    EXPECT_STREQ(field.edit->getText(), "Cruncher2");
    ASSERT_EQ(field.recorder.changes.size(), 1u);
    EXPECT_EQ(field.recorder.changes[0].tag, 22);
    EXPECT_EQ(field.frame.getFocusView(), nullptr);
}

TEST(CTextEdit, EscapeRestoresAndAClickElsewhereKeeps)
{
    Field field;
    Click(field.frame, CPoint(20, 15));
    Type(field.frame, "xyz");
    PressKey(field.frame, VKEY_ESCAPE);
    EXPECT_STREQ(field.edit->getText(), "Crunch");
    EXPECT_TRUE(field.recorder.changes.empty());

    Click(field.frame, CPoint(20, 15));
    PressKey(field.frame, VKEY_HOME);
    Type(field.frame, "A ");
    Click(field.frame, CPoint(5, 35));
    EXPECT_FALSE(field.edit->isEditing());
    EXPECT_STREQ(field.edit->getText(), "A Crunch");
    EXPECT_EQ(field.recorder.changes.size(), 1u);

    // Keys reach the field only while it edits.
    Type(field.frame, "q");
    EXPECT_STREQ(field.edit->getText(), "A Crunch");
}
