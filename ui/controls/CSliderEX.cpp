#include "ui/controls/CSliderEX.h"

#include "ui/controls/KeyReset.h"

namespace VSTGUI {

template <class Base>
void CSliderEXFeatures<Base>::draw(CDrawContext* context)
{
    if (this->pBackground)
        this->pBackground->draw(context, this->size, this->offset);
    if (this->handleBitmap)
        this->handleBitmap->draw(context, this->handleRect());
    this->setDirty(false);
}

template <class Base>
CMouseEventResult CSliderEXFeatures<Base>::onMouseMoved(CPoint& where, const int32_t& buttons)
{
    if (!(buttons & kLButton) || !this->isEditing())
        return kMouseEventNotHandled;
    // Fine movement works relative to where the handle was when the control
    // key changed, so pressing or releasing it never makes the value jump.
    if ((buttons & kControl) != (this->oldButton & kControl)) {
        this->fineBase = this->normalizedValue();
        this->oldButton = buttons;
    }
    float fraction = this->fractionAt(where);
    if (buttons & kControl)
        fraction = this->fineBase + (fraction - this->fineBase) / this->zoomFactor;
    this->value = fraction;
    if (this->vmin != 0.0f || this->vmax != 1.0f)
        this->value = this->vmin + fraction * (this->vmax - this->vmin);
    this->bounceValue();
    this->notifyIfDirty();
    this->invalid();
    return kMouseEventHandled;
}

template <class Base>
int32_t CSliderEXFeatures<Base>::onKeyDown(VstKeyCode& key)
{
    return ResetToDefaultOnKey(*this, key);
}

template class CSliderEXFeatures<CHorizontalSlider>;
template class CSliderEXFeatures<CVerticalSlider>;

} // namespace VSTGUI
