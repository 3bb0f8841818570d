#pragma once
// The panels' knobs: a body bitmap with a handle bitmap turning on it, and
// the film-strip knob. Both return to their default value on the B key.
#include "ui/vstgui/CControls.h"

namespace VSTGUI {

class CKnobEX : public CKnob {
public:
    using CKnob::CKnob;

    void draw(CDrawContext* context) override;
    int32_t onKeyDown(VstKeyCode& key) override;
};

class CAnimKnobEX : public CAnimKnob {
public:
    using CAnimKnob::CAnimKnob;
    int32_t onKeyDown(VstKeyCode& key) override;
};

} // namespace VSTGUI
