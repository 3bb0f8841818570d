#include "ui/controls/CKnobEX.h"

#include "ui/controls/KeyReset.h"

#include <cmath>

namespace VSTGUI {

namespace {
// Pixels of linear travel for the whole range at normal speed.
constexpr CCoord kLinearRangePixels = 200;
} // namespace

void CKnobEX::draw(CDrawContext* context)
{
    if (pBackground)
        pBackground->draw(context, size, offset);
    if (!handleBitmap) {
        drawHandle(context);
        setDirty(false);
        return;
    }
    // The handle's centre runs on the largest circle that keeps the whole
    // handle on the body: the view clips everything outside its rectangle.
    const CCoord w = handleBitmap->getWidth();
    const CCoord h = handleBitmap->getHeight();
    const float angle = startAngle - normalizedValue() * rangeAngle;
    const CCoord radius = std::max<CCoord>(0, std::min(size.width() - w, size.height() - h) / 2);
    const CCoord x = size.left + size.width() / 2 + radius * std::cos(angle) - w / 2;
    const CCoord y = size.top + size.height() / 2 - radius * std::sin(angle) - h / 2;
    CRect handle(0, 0, w, h);
    handle.offset(std::round(x), std::round(y));
    handleBitmap->draw(context, handle);
    setDirty(false);
}

CMouseEventResult CKnobEX::onMouseMoved(CPoint& where, const int32_t& buttons)
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
    if (value != oldValue && listener)
        listener->valueChanged(this);
    if (isDirty())
        invalid();
    return kMouseEventHandled;
}

void CKnobEX::dragLinear(const CPoint& where, int32_t buttons)
{
    const auto distance = static_cast<float>((firstPoint.y - where.y) + (where.x - firstPoint.x));
    if (buttons != oldButton) {
        range = kLinearRangePixels * ((buttons & kControl) ? zoomFactor : 1.0f);
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

void CKnobEX::dragCircular(const CPoint& where)
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

int32_t CKnobEX::onKeyDown(VstKeyCode& key) { return ResetToDefaultOnKey(*this, key); }

int32_t CAnimKnobEX::onKeyDown(VstKeyCode& key) { return ResetToDefaultOnKey(*this, key); }

} // namespace VSTGUI
