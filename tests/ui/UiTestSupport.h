#pragma once
#include "ui/vstgui/vstgui.h"

#include <string>
#include <vector>

namespace ui_test {

using namespace VSTGUI;

// PNG bytes of a film strip: frame i is a solid block of colours[i].
std::vector<unsigned char> StripPng(int width, int frameHeight, const std::vector<CColor>& colours);
// The same strip as a bitmap; the caller holds its one reference.
CBitmap* Strip(int width, int frameHeight, const std::vector<CColor>& colours);

// Serves PNG images to the layer by resource id and scale while it lives.
class ResourceTable {
public:
    ResourceTable();
    ~ResourceTable();
    void add(int32_t id, std::vector<unsigned char> png, int32_t scale = 1);
};

// Records what controls tell their listener and the editor.
class Recorder : public CControlListener, public VSTGUIEditorInterface {
public:
    struct Change {
        int32_t tag;
        float value;
    };
    void valueChanged(CControl* control) override { changes.push_back({control->getTag(), control->getValue()}); }
    void controlBeginEdit(CControl*) override {}
    void controlEndEdit(CControl*) override { ++listenerEnds; }
    int32_t getKnobMode() const override { return knobMode; }
    void beginEdit(int32_t index) override { editorBegins.push_back(index); }
    void endEdit(int32_t index) override { editorEnds.push_back(index); }
    float last() const { return changes.empty() ? -1.0f : changes.back().value; }

    std::vector<Change> changes;
    std::vector<int32_t> editorBegins;
    std::vector<int32_t> editorEnds;
    int listenerEnds = 0;
    int32_t knobMode = kCircularMode;
};

// A frame in memory whose controls report to one recorder.
struct Bench {
    explicit Bench(CCoord width = 200, CCoord height = 200) : frame(CRect(0, 0, width, height), nullptr, &recorder) {}
    template <class View>
    View* add(View* view)
    {
        frame.addView(view);
        return view;
    }
    CMenuPopup* popup() { return frame.getOpenMenu(); }
    Recorder recorder;
    CFrame frame;
};

// Gestures on a frame in memory, in frame coordinates; a key press returns
// what the frame's key handling did with it (-1: not handled).
void Click(CFrame& frame, CPoint where, int32_t buttons = kLButton);
void Drag(CFrame& frame, CPoint from, CPoint to, int32_t buttons = kLButton);
int32_t PressKey(CFrame& frame, uint8_t virt, int32_t character = 0);
void Type(CFrame& frame, const std::string& text);

// One drag: the press, then each move with its buttons and the value the
// control must hold after it, then the release.
struct Move {
    CPoint to;
    int32_t buttons;
    float value;
};
void Stroke(CFrame& frame, const CControl& control, CPoint press, const std::vector<Move>& moves,
            float tolerance = 1e-6f);

bool SameColour(const CColor& a, const CColor& b);

// Whether any frame of a film strip of the given frame height is not fully
// transparent at (x, y) of the frame; false outside the picture.
bool OpaqueInAnyFrame(CBitmap& bitmap, CCoord frameHeight, CCoord x, CCoord y);

// How many pixels of an area of a frame or a context pass a test of (x, y,
// colour).
template <class Pixels, class Test>
int CountPixels(Pixels& pixels, const CRect& area, Test test)
{
    int count = 0;
    for (CCoord y = area.top; y < area.bottom; ++y)
        for (CCoord x = area.left; x < area.right; ++x)
            count += test(x, y, pixels.getPixel(x, y)) ? 1 : 0;
    return count;
}

} // namespace ui_test
