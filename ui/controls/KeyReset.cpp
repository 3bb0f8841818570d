#include "ui/controls/KeyReset.h"

namespace VSTGUI {

namespace {
constexpr int32_t kResetKeyUpper = 66; // 'B'
constexpr int32_t kResetKeyLower = 98; // 'b'
} // namespace

int32_t ResetToDefaultOnKey(CControl& control, const VstKeyCode& key)
{
    if (key.character != kResetKeyUpper && key.character != kResetKeyLower)
        return -1;
    // Bracketed as an edit so the host records the reset as one automation
    // gesture, like a drag.
    control.beginEdit();
    control.setValue(control.getDefaultValue());
    control.notifyIfDirty();
    control.endEdit();
    return 1;
}

} // namespace VSTGUI
