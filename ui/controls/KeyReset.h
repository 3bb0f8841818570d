#pragma once
// The keyboard reset the panels' knobs and sliders share.
#include "ui/vstgui/CControl.h"

namespace VSTGUI {

// The letter B, either case, returns a control to its default value (the
// value it had when the window opened) as one complete edit gesture.
// Returns 1 when the key was the reset key, -1 otherwise.
int32_t ResetToDefaultOnKey(CControl& control, const VstKeyCode& key);

} // namespace VSTGUI
