#include "ui/vstgui/CControls.h"

#include <cmath>
#include <numbers>

namespace VSTGUI {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
// Seven o'clock to five o'clock, clockwise.
constexpr float kKnobStartAngle = 1.25f * kPi;
constexpr float kKnobRangeAngle = 1.5f * kPi;
// Pixels of linear travel for the whole range.
constexpr CCoord kLinearKnobRange = 200;

void Retain(CBitmap*& slot, CBitmap* bitmap)
{
    if (bitmap)
        bitmap->remember();
    if (slot)
        slot->forget();
    slot = bitmap;
}

// Draws frame `index` of a vertical film strip into rect.
void DrawFrame(CDrawContext* context, CBitmap* strip, const CRect& rect, const CPoint& offset, CCoord frameHeight,
               int32_t index)
{
    if (strip)
        strip->draw(context, rect, CPoint(offset.x, offset.y + frameHeight * index));
}

} // namespace

// ---- CKnob ----

CKnob::CKnob(const CRect& r, CControlListener* l, int32_t t, CBitmap* background, CBitmap* handle,
             const CPoint& o)
    : CControl(r, l, t, background), offset(o), startAngle(kKnobStartAngle), rangeAngle(kKnobRangeAngle)
{
    setHandleBitmap(handle);
}

CKnob::~CKnob() { Retain(handleBitmap, nullptr); }

void CKnob::setHandleBitmap(CBitmap* handle) { Retain(handleBitmap, handle); }

void CKnob::valueToPoint(CPoint& point) const
{
    const float angle = startAngle - normalizedValue() * rangeAngle;
    const CCoord radiusX = size.width() / 2 - insetValue;
    const CCoord radiusY = size.height() / 2 - insetValue;
    point.x = size.width() / 2 + radiusX * std::cos(angle);
    point.y = size.height() / 2 - radiusY * std::sin(angle);
}

float CKnob::valueFromPoint(const CPoint& point) const
{
    const double angle = std::atan2(size.height() / 2 - point.y, point.x - size.width() / 2);
    const double twoPi = 2.0 * std::numbers::pi;
    double travel = std::fmod(startAngle - angle + 2.0 * twoPi, twoPi);
    float fraction = static_cast<float>(travel / rangeAngle);
    if (travel > rangeAngle) {
        // In the dead zone between the end stops: the nearer stop.
        fraction = travel - rangeAngle < (twoPi - rangeAngle) / 2 ? 1.0f : 0.0f;
    }
    return vmin + fraction * (vmax - vmin);
}

int32_t CKnob::knobMode() const
{
    VSTGUIEditorInterface* editor = getEditor();
    return editor ? editor->getKnobMode() : kCircularMode;
}

void CKnob::draw(CDrawContext* context)
{
    if (pBackground)
        pBackground->draw(context, size, offset);
    drawHandle(context);
    setDirty(false);
}

void CKnob::drawHandle(CDrawContext* context)
{
    CPoint where;
    valueToPoint(where);
    if (handleBitmap) {
        const CCoord w = handleBitmap->getWidth();
        const CCoord h = handleBitmap->getHeight();
        CRect handleRect(0, 0, w, h);
        handleRect.offset(size.left + std::round(where.x - w / 2), size.top + std::round(where.y - h / 2));
        handleBitmap->draw(context, handleRect);
        return;
    }
    const CPoint centre(size.left + size.width() / 2, size.top + size.height() / 2);
    const CPoint tip(size.left + where.x, size.top + where.y);
    context->setLineWidth(1);
    context->setFrameColor(colorShadowHandle);
    context->drawLine(CPoint(centre.x + 1, centre.y + 1), CPoint(tip.x + 1, tip.y + 1));
    context->setFrameColor(colorHandle);
    context->drawLine(centre, tip);
}

CMouseEventResult CKnob::onMouseDown(CPoint& where, const int32_t& buttons)
{
    if (!(buttons & kLButton))
        return kMouseEventNotHandled;
    if (checkDefaultValue(buttons))
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    beginEdit();
    firstPoint = where;
    lastPoint = CPoint(-1, -1);
    startValue = value;
    entryValue = value;
    range = kLinearKnobRange;
    coef = (vmax - vmin) / static_cast<float>(range);
    oldButton = buttons;
    // In circular mode the press itself sets the value under the mouse;
    // the drag goes on from there.
    if (knobMode() != kLinearMode) {
        CPoint local = where;
        local.offset(-size.left, -size.top);
        value = startValue = valueFromPoint(local);
        lastPoint = where;
        notifyIfDirty();
    }
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseUp(CPoint&, const int32_t&)
{
    endEdit();
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const int32_t& buttons)
{
    if (!(buttons & kLButton) || !isEditing())
        return kMouseEventNotHandled;
    if (where == lastPoint)
        return kMouseEventHandled;
    lastPoint = where;
    if (knobMode() == kLinearMode)
        dragLinear(where, buttons);
    else
        dragCircular(where);
    notifyIfDirty();
    return kMouseEventHandled;
}

void CKnob::dragLinear(const CPoint& where, int32_t buttons)
{
    const auto distance = static_cast<float>((firstPoint.y - where.y) + (where.x - firstPoint.x));
    if (buttons != oldButton) {
        range = kLinearKnobRange * ((buttons & kControl) ? zoomFactor : 1.0f);
        const float newCoef = (vmax - vmin) / static_cast<float>(range);
        // Rebasing the entry value keeps the knob where it is at the moment
        // fine mode starts or stops; only the speed changes.
        entryValue += distance * (coef - newCoef);
        coef = newCoef;
        oldButton = buttons;
    }
    value = entryValue + distance * coef;
    bounceValue();
}

void CKnob::dragCircular(const CPoint& where)
{
    CPoint local = where;
    local.offset(-size.left, -size.top);
    value = valueFromPoint(local);
    // A jump of more than half the range means the mouse crossed the gap
    // between the end stops: the knob stays at the stop it came from.
    const float halfRange = (vmax - vmin) / 2;
    if (startValue - value > halfRange)
        value = vmax;
    else if (value - startValue > halfRange)
        value = vmin;
    else
        startValue = value;
}

bool CKnob::onWheel(const CPoint&, const float& distance, const int32_t& buttons)
{
    return stepByWheel(distance, buttons);
}

int32_t CKnob::onKeyDown(VstKeyCode& key) { return stepByArrowKey(key); }

// ---- CAnimKnob ----

CAnimKnob::CAnimKnob(const CRect& r, CControlListener* l, int32_t t, int32_t count, CCoord frameHeight,
                     CBitmap* background, const CPoint& o)
    : CKnob(r, l, t, background, nullptr, o)
{
    subPixmaps = count;
    heightOfOneImage = frameHeight;
}

CAnimKnob::CAnimKnob(const CRect& r, CControlListener* l, int32_t t, CBitmap* background, const CPoint& o)
    : CKnob(r, l, t, background, nullptr, o)
{
    autoComputeHeightOfOneImage(background, r.height());
}

void CAnimKnob::draw(CDrawContext* context)
{
    const float shown = inverseBitmap ? 1.0f - normalizedValue() : normalizedValue();
    DrawFrame(context, pBackground, size, offset, heightOfOneImage, frameForValue(shown));
    setDirty(false);
}

// ---- CSlider ----

CSlider::CSlider(const CRect& r, CControlListener* l, int32_t t, int32_t iMinPos, int32_t iMaxPos, CBitmap* handle,
                 CBitmap* background, const CPoint& o, int32_t s)
    : CControl(r, l, t, background), offset(o), style(s)
{
    setHandle(handle);
    // The handle positions are given in the container's coordinates.
    minPos = iMinPos - (isHorizontal() ? r.left : r.top);
    rangeHandle = iMaxPos - iMinPos;
}

CSlider::~CSlider() { Retain(handleBitmap, nullptr); }

void CSlider::setHandle(CBitmap* handle)
{
    Retain(handleBitmap, handle);
    widthOfSlider = handle ? handle->getWidth() : 1;
    heightOfSlider = handle ? handle->getHeight() : 1;
}

CRect CSlider::handleRect() const
{
    float fraction = std::clamp(normalizedValue(), 0.0f, 1.0f);
    if (isInverse())
        fraction = 1.0f - fraction;
    const CCoord along = std::round(minPos + fraction * rangeHandle);
    CRect rect(0, 0, widthOfSlider, heightOfSlider);
    if (isHorizontal())
        rect.offset(size.left + along, size.top + offsetHandle.y);
    else
        rect.offset(size.left + offsetHandle.x, size.top + along);
    return rect;
}

float CSlider::fractionAt(const CPoint& where) const
{
    if (rangeHandle <= 0)
        return 0;
    const CCoord position = isHorizontal() ? where.x - size.left : where.y - size.top;
    float fraction = static_cast<float>((position - grabDelta - minPos) / rangeHandle);
    if (isInverse())
        fraction = 1.0f - fraction;
    return fraction;
}

void CSlider::draw(CDrawContext* context)
{
    if (pBackground)
        pBackground->draw(context, size, offset);
    if (handleBitmap)
        handleBitmap->draw(context, handleRect());
    setDirty(false);
}

CMouseEventResult CSlider::onMouseDown(CPoint& where, const int32_t& buttons)
{
    if (!(buttons & kLButton))
        return kMouseEventNotHandled;
    if (checkDefaultValue(buttons))
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    const CRect handle = handleRect();
    const CCoord handleStart = isHorizontal() ? handle.left - size.left : handle.top - size.top;
    const CCoord handleLength = isHorizontal() ? widthOfSlider : heightOfSlider;
    const CCoord position = isHorizontal() ? where.x - size.left : where.y - size.top;
    // Taken by the handle: it keeps its place under the mouse. Elsewhere
    // (free click) the handle's centre jumps to the mouse.
    if (handle.pointInside(where))
        grabDelta = position - handleStart;
    else if (freeClick)
        grabDelta = handleLength / 2;
    else
        return kMouseEventNotHandled;
    beginEdit();
    fineBase = normalizedValue();
    oldButton = buttons;
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
}

CMouseEventResult CSlider::onMouseUp(CPoint&, const int32_t&)
{
    endEdit();
    return kMouseEventHandled;
}

CMouseEventResult CSlider::onMouseMoved(CPoint& where, const int32_t& buttons)
{
    if (!(buttons & kLButton) || !isEditing())
        return kMouseEventNotHandled;
    // Fine movement works relative to where the handle was when the control
    // key changed, so pressing or releasing it never makes the value jump.
    if ((buttons & kControl) != (oldButton & kControl)) {
        fineBase = normalizedValue();
        oldButton = buttons;
    }
    float fraction = fractionAt(where);
    if (buttons & kControl)
        fraction = fineBase + (fraction - fineBase) / zoomFactor;
    value = vmin + fraction * (vmax - vmin);
    bounceValue();
    notifyIfDirty();
    return kMouseEventHandled;
}

bool CSlider::onWheel(const CPoint&, const float& distance, const int32_t& buttons)
{
    return stepByWheel(distance, buttons);
}

int32_t CSlider::onKeyDown(VstKeyCode& key) { return stepByArrowKey(key); }

CHorizontalSlider::CHorizontalSlider(const CRect& r, CControlListener* l, int32_t t, int32_t iMinPos,
                                     int32_t iMaxPos, CBitmap* handle, CBitmap* background, const CPoint& o,
                                     int32_t s)
    : CSlider(r, l, t, iMinPos, iMaxPos, handle, background, o, s | kHorizontal)
{
}

CVerticalSlider::CVerticalSlider(const CRect& r, CControlListener* l, int32_t t, int32_t iMinPos, int32_t iMaxPos,
                                 CBitmap* handle, CBitmap* background, const CPoint& o, int32_t s)
    : CSlider(r, l, t, iMinPos, iMaxPos, handle, background, o, s | kVertical)
{
}

// ---- CKickButton ----

CKickButton::CKickButton(const CRect& r, CControlListener* l, int32_t t, CBitmap* background, const CPoint& o)
    : CControl(r, l, t, background), offset(o)
{
    autoComputeHeightOfOneImage(background, r.height());
}

CKickButton::CKickButton(const CRect& r, CControlListener* l, int32_t t, CCoord frameHeight, CBitmap* background,
                         const CPoint& o)
    : CControl(r, l, t, background), offset(o)
{
    heightOfOneImage = frameHeight;
    subPixmaps = 2;
}

void CKickButton::draw(CDrawContext* context)
{
    DrawFrame(context, pBackground, size, offset, heightOfOneImage, value == vmax ? 1 : 0);
    setDirty(false);
}

CMouseEventResult CKickButton::onMouseDown(CPoint& where, const int32_t& buttons)
{
    if (!(buttons & kLButton))
        return kMouseEventNotHandled;
    beginEdit();
    return onMouseMoved(where, buttons);
}

CMouseEventResult CKickButton::onMouseMoved(CPoint& where, const int32_t& buttons)
{
    if (!isEditing())
        return kMouseEventNotHandled;
    const float pressed = (buttons & kLButton) && size.pointInside(where) ? vmax : vmin;
    if (pressed != value) {
        value = pressed;
        invalid();
        if (listener)
            listener->valueChanged(this);
    }
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint&, const int32_t&)
{
    if (!isEditing())
        return kMouseEventNotHandled;
    if (value != vmin) {
        value = vmin;
        invalid();
        if (listener)
            listener->valueChanged(this);
    }
    endEdit();
    return kMouseEventHandled;
}

// ---- COnOffButton ----

COnOffButton::COnOffButton(const CRect& r, CControlListener* l, int32_t t, CBitmap* background, int32_t s)
    : CControl(r, l, t, background), style(s)
{
}

void COnOffButton::draw(CDrawContext* context)
{
    DrawFrame(context, pBackground, size, CPoint(), size.height(), value == vmax ? 1 : 0);
    setDirty(false);
}

CMouseEventResult COnOffButton::onMouseDown(CPoint&, const int32_t& buttons)
{
    if (!(buttons & kLButton))
        return kMouseEventNotHandled;
    beginEdit();
    value = value == vmax ? vmin : vmax;
    notifyIfDirty();
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

// ---- CMovieButton ----

CMovieButton::CMovieButton(const CRect& r, CControlListener* l, int32_t t, CBitmap* background, const CPoint& o)
    : CControl(r, l, t, background), offset(o)
{
    autoComputeHeightOfOneImage(background, r.height());
}

CMovieButton::CMovieButton(const CRect& r, CControlListener* l, int32_t t, CCoord frameHeight,
                           CBitmap* background, const CPoint& o)
    : CControl(r, l, t, background), offset(o)
{
    heightOfOneImage = frameHeight;
    subPixmaps = 2;
}

void CMovieButton::draw(CDrawContext* context)
{
    DrawFrame(context, pBackground, size, offset, heightOfOneImage, value == vmax ? 1 : 0);
    setDirty(false);
}

CMouseEventResult CMovieButton::onMouseDown(CPoint&, const int32_t& buttons)
{
    if (!(buttons & kLButton))
        return kMouseEventNotHandled;
    beginEdit();
    value = value == vmax ? vmin : vmax;
    notifyIfDirty();
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

// ---- CMovieBitmap ----

CMovieBitmap::CMovieBitmap(const CRect& r, CControlListener* l, int32_t t, int32_t count, CCoord frameHeight,
                           CBitmap* background, const CPoint& o)
    : CControl(r, l, t, background), offset(o)
{
    subPixmaps = count;
    heightOfOneImage = frameHeight;
}

CMovieBitmap::CMovieBitmap(const CRect& r, CControlListener* l, int32_t t, CBitmap* background, const CPoint& o)
    : CControl(r, l, t, background), offset(o)
{
    autoComputeHeightOfOneImage(background, r.height());
}

void CMovieBitmap::draw(CDrawContext* context)
{
    DrawFrame(context, pBackground, size, offset, heightOfOneImage, frameForValue(normalizedValue()));
    setDirty(false);
}

// ---- switches ----

CSwitchBase::CSwitchBase(const CRect& r, CControlListener* l, int32_t t, int32_t count, CCoord frameHeight,
                         int32_t positions, CBitmap* background, const CPoint& o, bool isHorizontal)
    : CControl(r, l, t, background), offset(o), maxPositions(positions), horizontal(isHorizontal)
{
    subPixmaps = count;
    heightOfOneImage = frameHeight;
}

void CSwitchBase::draw(CDrawContext* context)
{
    DrawFrame(context, pBackground, size, offset, heightOfOneImage, frameForValue(normalizedValue()));
    setDirty(false);
}

float CSwitchBase::valueAt(const CPoint& where) const
{
    if (maxPositions <= 1)
        return vmin;
    const CCoord along = horizontal ? where.x - size.left : where.y - size.top;
    const CCoord length = horizontal ? size.width() : size.height();
    const auto position =
        std::clamp(static_cast<int32_t>(along * maxPositions / length), int32_t{0}, maxPositions - 1);
    return vmin + (vmax - vmin) * static_cast<float>(position) / static_cast<float>(maxPositions - 1);
}

CMouseEventResult CSwitchBase::onMouseDown(CPoint& where, const int32_t& buttons)
{
    if (!(buttons & kLButton))
        return kMouseEventNotHandled;
    beginEdit();
    return onMouseMoved(where, buttons);
}

CMouseEventResult CSwitchBase::onMouseMoved(CPoint& where, const int32_t& buttons)
{
    if (!(buttons & kLButton) || !isEditing())
        return kMouseEventNotHandled;
    value = valueAt(where);
    notifyIfDirty();
    return kMouseEventHandled;
}

CMouseEventResult CSwitchBase::onMouseUp(CPoint&, const int32_t&)
{
    endEdit();
    return kMouseEventHandled;
}

// ---- CVuMeter ----

CVuMeter::CVuMeter(const CRect& r, CBitmap* on, CBitmap* off, int32_t leds, int32_t s)
    : CControl(r), nbLed(leds), style(s)
{
    setOnBitmap(on);
    setOffBitmap(off);
}

CVuMeter::~CVuMeter()
{
    Retain(onBitmap, nullptr);
    Retain(offBitmap, nullptr);
}

void CVuMeter::setOnBitmap(CBitmap* bitmap) { Retain(onBitmap, bitmap); }
void CVuMeter::setOffBitmap(CBitmap* bitmap) { Retain(offBitmap, bitmap); }

void CVuMeter::draw(CDrawContext* context)
{
    float shown = std::max(normalizedValue(), shownValue - decreaseValue);
    shown = std::clamp(shown, 0.0f, 1.0f);
    if (nbLed > 0)
        shown = std::round(shown * static_cast<float>(nbLed)) / static_cast<float>(nbLed);
    shownValue = shown;
    if (offBitmap)
        offBitmap->draw(context, size);
    if (onBitmap) {
        CRect lit = size;
        CPoint source;
        if (style & kHorizontal) {
            lit.right = lit.left + std::round(size.width() * shown);
        } else {
            const CCoord height = std::round(size.height() * shown);
            lit.top = lit.bottom - height;
            source.y = size.height() - height;
        }
        if (!lit.isEmpty())
            onBitmap->draw(context, lit, source);
    }
    setDirty(false);
}

// ---- CSplashScreen ----

namespace {

// What a splash screen shows: it takes every click and hands it to the
// splash screen, which hides it.
class CSplashHolder : public CViewContainer {
public:
    CSplashHolder(const CRect& r, CFrame* frame, CSplashScreen& owner) : CViewContainer(r, frame), owner(owner)
    {
        setTransparency(true);
    }
    CMouseEventResult onMouseDown(CPoint&, const int32_t& buttons) override
    {
        if (!(buttons & (kLButton | kRButton)))
            return kMouseEventNotHandled;
        // The holder is released inside this call; nothing of it is used after.
        owner.unSplash();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }

private:
    CSplashScreen& owner;
};

class CSplashPicture : public CView {
public:
    CSplashPicture(const CRect& r, CBitmap* picture, const CPoint& source) : CView(r), source(source)
    {
        setBackground(picture);
    }
    void draw(CDrawContext* context) override
    {
        if (pBackground)
            pBackground->draw(context, size, source);
        setDirty(false);
    }

private:
    CPoint source;
};

} // namespace

CSplashScreen::CSplashScreen(const CRect& r, CControlListener* l, int32_t t, CBitmap* background,
                             const CRect& toDisplay, const CPoint& o)
    : CControl(r, l, t), splashView(new CSplashPicture(toDisplay, background, o))
{
}

CSplashScreen::CSplashScreen(const CRect& r, CControlListener* l, int32_t t, CView* view)
    : CControl(r, l, t), splashView(view)
{
    if (splashView)
        splashView->remember();
}

CSplashScreen::~CSplashScreen()
{
    if (splashView)
        splashView->forget();
}

void CSplashScreen::draw(CDrawContext*) { setDirty(false); }

CMouseEventResult CSplashScreen::onMouseDown(CPoint&, const int32_t& buttons)
{
    if (!(buttons & kLButton))
        return kMouseEventNotHandled;
    value = value == vmax ? vmin : vmax;
    if (value == vmax)
        splash();
    else
        unSplash();
    if (value == vmax && listener)
        listener->valueChanged(this);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CSplashScreen::splash()
{
    CFrame* frame = getFrame();
    if (!frame || !splashView || splashing)
        return;
    splashing = true;
    value = vmax;
    auto* holder = new CSplashHolder(splashView->getViewSize(), frame, *this);
    CRect inside = splashView->getViewSize();
    inside.moveTo(0, 0);
    splashView->remember();
    splashView->setViewSize(inside, false);
    holder->addView(splashView);
    frame->setModalView(holder);
    holder->forget();
}

void CSplashScreen::unSplash()
{
    if (!splashing)
        return;
    splashing = false;
    value = vmin;
    CFrame* frame = getFrame();
    CRect where = splashView->getViewSize();
    if (CView* holder = splashView->getParentView()) {
        where = holder->getViewSize();
        if (frame)
            frame->setModalView(nullptr);
    }
    splashView->setViewSize(where, false);
    invalid();
    if (listener)
        listener->valueChanged(this);
}

} // namespace VSTGUI
