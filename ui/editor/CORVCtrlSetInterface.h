#pragma once
// The three moments at which a pedal may add its own behaviour to what the
// editor does for every pedal alike.
#include <cstdint>

namespace VSTGUI {
class CControl;
}

class CORVCtrlSetInterface {
public:
    virtual ~CORVCtrlSetInterface() = default;
    // Every 100 ms, for meters and lights that follow the audio.
    virtual void idle() {}
    // After the editor showed parameter tag's change: value is normalised
    // when a single change arrives, in the parameter's units when the editor
    // refreshes everything.
    virtual void parameterText(int32_t /*tag*/, float /*value*/) {}
    // After the user moved a control, before its value goes to the effect.
    virtual void controlChanged(VSTGUI::CControl* /*control*/) {}
};
