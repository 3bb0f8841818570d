#include "ui/controls/CSliderEX.h"

#include "ui/controls/KeyReset.h"

namespace VSTGUI {

template <class Base>
int32_t CSliderEXFeatures<Base>::onKeyDown(VstKeyCode& key)
{
    return ResetToDefaultOnKey(*this, key);
}

template class CSliderEXFeatures<CHorizontalSlider>;
template class CSliderEXFeatures<CVerticalSlider>;

} // namespace VSTGUI
