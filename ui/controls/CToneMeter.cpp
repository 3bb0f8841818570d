#include "ui/controls/CToneMeter.h"

#include <cmath>

namespace VSTGUI {

CToneMeter::CToneMeter(const CRect& r, CBitmap* onBitmap, CBitmap* offBitmap, int32_t steps)
    : CVuMeter(r, onBitmap, offBitmap, steps, kVertical)
{
    setMouseEnabled(false);
}

void CToneMeter::setValue(float newValue)
{
    // The tuner feeds the meter at every idle: a redraw is needed for a new
    // value, or while the bar is still falling back to the one it has.
    const bool falling = shownValue > normalizedValue();
    if (newValue == value && !falling)
        return;
    value = newValue;
    setDirty();
}

void CToneMeter::draw(CDrawContext* context)
{
    // The bar falls back slowly so that a short dip in the detected
    // deviation stays readable.
    float shown = std::clamp(std::max(normalizedValue(), shownValue - decreaseValue), 0.0f, 1.0f);
    if (nbLed > 0)
        shown = std::round(shown * static_cast<float>(nbLed)) / static_cast<float>(nbLed);
    shownValue = shown;
    if (offBitmap)
        offBitmap->draw(context, size);
    const CCoord height = std::round(size.height() * shown);
    if (onBitmap && height > 0) {
        CRect lit = size;
        lit.top = lit.bottom - height;
        onBitmap->draw(context, lit, CPoint(0, size.height() - height));
    }
    setDirty(false);
}

CMouseEventResult CToneMeter::onMouseDown(CPoint&, const int32_t&) { return kMouseEventNotHandled; }

} // namespace VSTGUI
