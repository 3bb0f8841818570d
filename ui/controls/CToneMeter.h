#pragma once
// The tuner panel's bar display: a vertical level meter that falls back by
// a fixed step per redraw and shows only whole steps.
#include "ui/vstgui/CControls.h"

namespace VSTGUI {

class CToneMeter : public CVuMeter {
public:
    CToneMeter(const CRect& size, CBitmap* onBitmap, CBitmap* offBitmap, int32_t steps);

    void draw(CDrawContext* context) override;
    void setValue(float newValue) override;
    // A display only: clicks go to whatever lies beneath.
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    // The value the last redraw showed, 0..1.
    float getShownValue() const { return shownValue; }
    const char* getClassName() const override { return "CToneMeter"; }
};

} // namespace VSTGUI
