#include "ui/vstgui/CControl.h"

#include <cmath>

namespace VSTGUI {

CControl::CControl(const CRect& r, CControlListener* l, int32_t t, CBitmap* background)
    : CView(r), listener(l), tag(t)
{
    setBackground(background);
}

void CControl::bounceValue() { value = std::clamp(value, std::min(vmin, vmax), std::max(vmin, vmax)); }

bool CControl::checkDefaultValue(int32_t button)
{
    if (button != (kControl | kLButton))
        return false;
    beginEdit();
    value = defaultValue;
    notifyIfDirty();
    endEdit();
    return true;
}

bool CControl::isDirty() const { return oldValue != value || CView::isDirty(); }

void CControl::setDirty(bool dirty)
{
    CView::setDirty(dirty);
    // A dirty control must differ from its last drawn value whatever the
    // value is.
    if (dirty)
        oldValue = value != -1.0f ? -1.0f : 0.0f;
    else
        oldValue = value;
}

void CControl::beginEdit()
{
    if (editing++ > 0)
        return;
    if (listener)
        listener->controlBeginEdit(this);
    if (VSTGUIEditorInterface* editor = getEditor())
        editor->beginEdit(tag);
}

void CControl::endEdit()
{
    if (editing == 0 || --editing > 0)
        return;
    if (VSTGUIEditorInterface* editor = getEditor())
        editor->endEdit(tag);
    if (listener)
        listener->controlEndEdit(this);
}

// Drawing and telling the listener are kept apart: a value that moves away
// and comes back to the drawn one before the next redraw needs no drawing,
// but the listener heard it leave and must hear it return, or the host would
// stay where the control no longer is.
void CControl::notifyIfDirty()
{
    const bool unheard = !std::isnan(heardValue) && value != heardValue;
    if (!unheard && !isDirty())
        return;
    heardValue = value;
    invalid();
    if (listener)
        listener->valueChanged(this);
}

float CControl::normalizedValue() const { return vmax == vmin ? 0.0f : (value - vmin) / (vmax - vmin); }

bool CControl::stepByWheel(float distance, int32_t buttons)
{
    constexpr float kFineStepDivisor = 10.0f;
    const float step = (buttons & kControl) ? wheelInc / kFineStepDivisor : wheelInc;
    beginEdit();
    value += distance * step * (vmax - vmin);
    bounceValue();
    notifyIfDirty();
    endEdit();
    return true;
}

int32_t CControl::stepByArrowKey(const VstKeyCode& key)
{
    float direction = 0;
    if (key.virt == VKEY_UP || key.virt == VKEY_RIGHT)
        direction = 1;
    else if (key.virt == VKEY_DOWN || key.virt == VKEY_LEFT)
        direction = -1;
    else
        return -1;
    stepByWheel(direction, (key.modifier & MODIFIER_SHIFT) ? kControl : 0);
    return 1;
}

void IMultiBitmapControl::autoComputeHeightOfOneImage(const CBitmap* bitmap, CCoord viewHeight)
{
    heightOfOneImage = viewHeight;
    subPixmaps = bitmap && viewHeight > 0 ? static_cast<int32_t>(bitmap->getHeight() / viewHeight) : 0;
}

int32_t IMultiBitmapControl::frameForValue(float normalized) const
{
    if (subPixmaps <= 1)
        return 0;
    const float clamped = std::clamp(normalized, 0.0f, 1.0f);
    return static_cast<int32_t>(clamped * static_cast<float>(subPixmaps - 1) + 0.5f);
}

} // namespace VSTGUI
