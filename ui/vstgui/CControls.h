#pragma once
// The standard controls: knobs, sliders, buttons, switches, film strips,
// meters and the splash screen.
#include "ui/vstgui/CControl.h"

namespace VSTGUI {

class CKnob : public CControl {
public:
    CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background, CBitmap* handle,
          const CPoint& offset = CPoint());
    ~CKnob() override;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int32_t& buttons) override;
    int32_t onKeyDown(VstKeyCode& key) override;

    // Angles in radians, counter-clockwise from three o'clock; the value
    // runs clockwise from the start angle through the range angle.
    void setStartAngle(float angle) { startAngle = angle; }
    float getStartAngle() const { return startAngle; }
    void setRangeAngle(float angle) { rangeAngle = angle; }
    float getRangeAngle() const { return rangeAngle; }
    void setInsetValue(CCoord inset) { insetValue = inset; }
    void setHandleBitmap(CBitmap* handle);
    CBitmap* getHandleBitmap() const { return handleBitmap; }
    void setColorHandle(const CColor& color) { colorHandle = color; }
    void setColorShadowHandle(const CColor& color) { colorShadowHandle = color; }
    // Fine movement: with the control key the mouse travels this many
    // times further for the same change.
    void setZoomFactor(float factor) { zoomFactor = factor; }
    float getZoomFactor() const { return zoomFactor; }

    // Between values and points relative to the knob's top-left corner.
    void valueToPoint(CPoint& point) const;
    float valueFromPoint(const CPoint& point) const;

    const char* getClassName() const override { return "CKnob"; }

protected:
    int32_t knobMode() const;
    void drawHandle(CDrawContext* context);
    // The drag rules every knob shares: in linear mode the distance the
    // mouse travelled up and to the right, slower by the zoom factor with
    // control held; in circular mode the angle under the mouse.
    void dragLinear(const CPoint& where, int32_t buttons);
    void dragCircular(const CPoint& where);

    CBitmap* handleBitmap = nullptr;
    CPoint offset;
    float startAngle;
    float rangeAngle;
    CCoord insetValue = 3;
    CColor colorHandle = kWhiteCColor;
    CColor colorShadowHandle = kGreyCColor;
    float zoomFactor = 1.5f;
    // Drag state.
    CPoint firstPoint;
    CPoint lastPoint;
    float startValue = 0;
    float entryValue = 0;
    float coef = 0;
    CCoord range = 200;
    int32_t oldButton = 0;
};

class CAnimKnob : public CKnob, public IMultiBitmapControl {
public:
    CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
              CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint());
    // Square frames: the count follows from the bitmap's height.
    CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
              const CPoint& offset = CPoint());
    void draw(CDrawContext* context) override;
    void setInverseBitmap(bool inverse) { inverseBitmap = inverse; }
    const char* getClassName() const override { return "CAnimKnob"; }

protected:
    bool inverseBitmap = false;
};

// Common ground of the two sliders: a handle moving along a track.
class CSlider : public CControl {
public:
    CSlider(const CRect& size, CControlListener* listener, int32_t tag, int32_t iMinPos, int32_t iMaxPos,
            CBitmap* handle, CBitmap* background, const CPoint& offset, int32_t style);
    ~CSlider() override;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int32_t& buttons) override;
    int32_t onKeyDown(VstKeyCode& key) override;

    // Where the handle sits across the travel, relative to the control.
    void setOffsetHandle(const CPoint& handleOffset) { offsetHandle = handleOffset; }
    const CPoint& getOffsetHandle() const { return offsetHandle; }
    void setZoomFactor(float factor) { zoomFactor = factor; }
    float getZoomFactor() const { return zoomFactor; }
    void setFreeClick(bool free) { freeClick = free; }
    void setHandle(CBitmap* handle);
    CBitmap* getHandle() const { return handleBitmap; }
    int32_t getStyle() const { return style; }
    bool isHorizontal() const { return (style & kHorizontal) != 0; }
    // Whether the value grows against the axis: bottom to top, right to left.
    bool isInverse() const { return (style & (kBottom | kRight)) != 0; }
    // Handle travel: first position (relative to the control) and length.
    CCoord getMinPos() const { return minPos; }
    CCoord getRangeHandle() const { return rangeHandle; }
    CCoord getHandleWidth() const { return widthOfSlider; }
    CCoord getHandleHeight() const { return heightOfSlider; }

    const char* getClassName() const override { return "CSlider"; }

protected:
    // The handle's rectangle for the current value, in container coordinates.
    CRect handleRect() const;
    // The fraction of travel that a point (container coordinates) stands for.
    float fractionAt(const CPoint& where) const;

    CBitmap* handleBitmap = nullptr;
    CPoint offset;
    CPoint offsetHandle;
    int32_t style;
    CCoord minPos;
    CCoord rangeHandle;
    CCoord widthOfSlider = 0;
    CCoord heightOfSlider = 0;
    float zoomFactor = 10.0f;
    bool freeClick = true;
    // Drag state: where in the handle the mouse took it, fine-mode base.
    CCoord grabDelta = 0;
    float fineBase = 0;
    int32_t oldButton = 0;
};

class CHorizontalSlider : public CSlider {
public:
    CHorizontalSlider(const CRect& size, CControlListener* listener, int32_t tag, int32_t iMinPos, int32_t iMaxPos,
                      CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint(), int32_t style = kLeft);
    const char* getClassName() const override { return "CHorizontalSlider"; }
};

class CVerticalSlider : public CSlider {
public:
    CVerticalSlider(const CRect& size, CControlListener* listener, int32_t tag, int32_t iMinPos, int32_t iMaxPos,
                    CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint(), int32_t style = kBottom);
    const char* getClassName() const override { return "CVerticalSlider"; }
};

// At the maximum while pressed with the pointer inside, at the minimum
// otherwise: the listener hears the press and the release once each.
class CKickButton : public CControl, public IMultiBitmapControl {
public:
    CKickButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                const CPoint& offset = CPoint());
    CKickButton(const CRect& size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
                CBitmap* background, const CPoint& offset = CPoint());
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    const char* getClassName() const override { return "CKickButton"; }

protected:
    CPoint offset;
};

// Toggles between minimum and maximum at each press; two frames.
class COnOffButton : public CControl {
public:
    COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                 int32_t style = 0);
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    const char* getClassName() const override { return "COnOffButton"; }

protected:
    int32_t style;
};

class CMovieButton : public CControl, public IMultiBitmapControl {
public:
    CMovieButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                 const CPoint& offset = CPoint());
    CMovieButton(const CRect& size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
                 CBitmap* background, const CPoint& offset = CPoint());
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    const char* getClassName() const override { return "CMovieButton"; }

protected:
    CPoint offset;
};

// Shows the frame of its value; takes no input.
class CMovieBitmap : public CControl, public IMultiBitmapControl {
public:
    CMovieBitmap(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                 CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint());
    CMovieBitmap(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                 const CPoint& offset = CPoint());
    void draw(CDrawContext* context) override;
    const char* getClassName() const override { return "CMovieBitmap"; }

protected:
    CPoint offset;
};

// A row (or column) of positions; the press picks the one under the mouse.
class CSwitchBase : public CControl, public IMultiBitmapControl {
public:
    CSwitchBase(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                CCoord heightOfOneImage, int32_t maxPositions, CBitmap* background, const CPoint& offset,
                bool horizontal);
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    int32_t getMaxPositions() const { return maxPositions; }

protected:
    float valueAt(const CPoint& where) const;
    CPoint offset;
    int32_t maxPositions;
    bool horizontal;
};

class CHorizontalSwitch : public CSwitchBase {
public:
    CHorizontalSwitch(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                      CCoord heightOfOneImage, int32_t maxPositions, CBitmap* background,
                      const CPoint& offset = CPoint())
        : CSwitchBase(size, listener, tag, subPixmaps, heightOfOneImage, maxPositions, background, offset, true)
    {
    }
    const char* getClassName() const override { return "CHorizontalSwitch"; }
};

class CVerticalSwitch : public CSwitchBase {
public:
    CVerticalSwitch(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                    CCoord heightOfOneImage, int32_t maxPositions, CBitmap* background,
                    const CPoint& offset = CPoint())
        : CSwitchBase(size, listener, tag, subPixmaps, heightOfOneImage, maxPositions, background, offset, false)
    {
    }
    const char* getClassName() const override { return "CVerticalSwitch"; }
};

// A level meter: the off picture whole, the on picture over it up to the
// shown value, which falls back by the decrease step per redraw.
class CVuMeter : public CControl {
public:
    CVuMeter(const CRect& size, CBitmap* onBitmap, CBitmap* offBitmap, int32_t nbLed, int32_t style = kVertical);
    ~CVuMeter() override;
    void draw(CDrawContext* context) override;
    void setDecreaseStepValue(float step) { decreaseValue = step; }
    float getDecreaseStepValue() const { return decreaseValue; }
    void setOnBitmap(CBitmap* bitmap);
    void setOffBitmap(CBitmap* bitmap);
    int32_t getNbLed() const { return nbLed; }
    const char* getClassName() const override { return "CVuMeter"; }

protected:
    CBitmap* onBitmap = nullptr;
    CBitmap* offBitmap = nullptr;
    int32_t nbLed;
    int32_t style;
    float decreaseValue = 0.1f;
    float shownValue = 0.0f;
};

// A click shows a picture (or a view) over the whole frame; a click on it
// hides it again and reports the minimum.
class CSplashScreen : public CControl {
public:
    CSplashScreen(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                  const CRect& toDisplay, const CPoint& offset = CPoint());
    CSplashScreen(const CRect& size, CControlListener* listener, int32_t tag, CView* splashView);
    ~CSplashScreen() override;
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    virtual void splash();
    virtual void unSplash();
    bool isSplashing() const { return splashing; }
    const char* getClassName() const override { return "CSplashScreen"; }

private:
    CView* splashView = nullptr;
    bool splashing = false;
};

} // namespace VSTGUI
