#pragma once
// The value-carrying view all controls derive from, its listener, and the
// film-strip interface of the controls drawn from stacked frames.
#include "ui/vstgui/CView.h"

#include <limits>

namespace VSTGUI {

class CControl;

class CControlListener {
public:
    virtual ~CControlListener() = default;
    virtual void valueChanged(CControl* control) = 0;
    virtual int32_t controlModifierClicked(CControl* /*control*/, int32_t /*button*/) { return 0; }
    virtual void controlBeginEdit(CControl* /*control*/) {}
    virtual void controlEndEdit(CControl* /*control*/) {}
};

class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener = nullptr, int32_t tag = 0,
             CBitmap* background = nullptr);

    virtual void setValue(float newValue) { value = newValue; }
    virtual float getValue() const { return value; }
    virtual void setMin(float v) { vmin = v; }
    virtual float getMin() const { return vmin; }
    virtual void setMax(float v) { vmax = v; }
    virtual float getMax() const { return vmax; }
    float getRange() const { return vmax - vmin; }
    virtual void setOldValue(float v) { oldValue = v; }
    virtual float getOldValue() const { return oldValue; }
    virtual void setDefaultValue(float v) { defaultValue = v; }
    virtual float getDefaultValue() const { return defaultValue; }
    virtual void setTag(int32_t t) { tag = t; }
    int32_t getTag() const { return tag; }
    virtual void setListener(CControlListener* l) { listener = l; }
    CControlListener* getListener() const { return listener; }
    void setWheelInc(float inc) { wheelInc = inc; }
    float getWheelInc() const { return wheelInc; }

    // Limits the value to the range.
    virtual void bounceValue();
    // Control with the left button resets to the default value.
    virtual bool checkDefaultValue(int32_t button);

    // Dirty while the value differs from the one last drawn.
    bool isDirty() const override;
    void setDirty(bool dirty = true) override;

    // Touch notifications: the listener and the editor (which tells the
    // host) hear when a gesture starts and ends.
    virtual void beginEdit();
    virtual void endEdit();
    bool isEditing() const { return editing > 0; }

    // Tells the listener; a dirty control also asks to be redrawn.
    void notifyIfDirty();

    const char* getClassName() const override { return "CControl"; }

protected:
    // Value mapped to 0..1 over the range.
    float normalizedValue() const;
    // The wheel and the arrow keys of the continuous controls: a step of the
    // wheel increment over the range, a tenth of it with control held (shift
    // on the keyboard).  The key step returns -1 for keys that are not arrows.
    bool stepByWheel(float distance, int32_t buttons);
    int32_t stepByArrowKey(const VstKeyCode& key);

    CControlListener* listener;
    int32_t tag;
    float value = 0.0f;
    float vmin = 0.0f;
    float vmax = 1.0f;
    float oldValue = 1.0f;
    float heardValue = std::numeric_limits<float>::quiet_NaN(); // last value the listener was told, if any
    float defaultValue = 0.5f;
    float wheelInc = 0.1f;
    int32_t editing = 0;
};

// Controls whose bitmap is a film strip of frames stacked vertically.
class IMultiBitmapControl {
public:
    virtual ~IMultiBitmapControl() = default;
    virtual void setHeightOfOneImage(const CCoord& height) { heightOfOneImage = height; }
    virtual CCoord getHeightOfOneImage() const { return heightOfOneImage; }
    virtual void setNumSubPixmaps(int32_t count) { subPixmaps = count; }
    virtual int32_t getNumSubPixmaps() const { return subPixmaps; }
    // Frames as high as the view: the count follows from the bitmap.
    void autoComputeHeightOfOneImage(const CBitmap* bitmap, CCoord viewHeight);

protected:
    // The frame that shows a value of 0..1: the nearest of the strip.
    int32_t frameForValue(float normalized) const;

    CCoord heightOfOneImage = 0;
    int32_t subPixmaps = 0;
};

} // namespace VSTGUI
