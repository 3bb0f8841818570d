#pragma once
// The panels' sliders: a track bitmap with a handle, a fine mode on the
// control key that slows the handle from where it was when the key went
// down (both from the VSTGUI slider), and the B-key reset.
#include "ui/vstgui/CControls.h"

namespace VSTGUI {

// What both orientations add to their VSTGUI base.
template <class Base>
class CSliderEXFeatures : public Base {
public:
    using Base::Base;
    int32_t onKeyDown(VstKeyCode& key) override;
};

class CHorizontalSliderEX : public CSliderEXFeatures<CHorizontalSlider> {
public:
    using CSliderEXFeatures::CSliderEXFeatures;
};

class CVerticalSliderEX : public CSliderEXFeatures<CVerticalSlider> {
public:
    using CSliderEXFeatures::CSliderEXFeatures;
};

extern template class CSliderEXFeatures<CHorizontalSlider>;
extern template class CSliderEXFeatures<CVerticalSlider>;

} // namespace VSTGUI
