#include "ui/controls/CKnobEX.h"

#include "ui/controls/KeyReset.h"

#include <cmath>

namespace VSTGUI {

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

int32_t CKnobEX::onKeyDown(VstKeyCode& key) { return ResetToDefaultOnKey(*this, key); }

int32_t CAnimKnobEX::onKeyDown(VstKeyCode& key) { return ResetToDefaultOnKey(*this, key); }

} // namespace VSTGUI
