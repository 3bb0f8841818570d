#pragma once
#include "core/CORVEffectProcess.h"
#include "lv2/PortLayout.h"

namespace lv2 {

// Sets a parameter from the plain value its port carries, the same way in
// the plug-in and in its UI: within the knob's travel as a control change;
// beyond it (where only a factory preset goes) the value as it stands, the
// way the preset itself sets it, with the control resting at the end.
void ApplyParameterPort(CORVEffectProcess& instance, const PortInfo& port, float value);

// The foot switch as the enable port shows it: on for any value above zero.
void ApplyEnabledPort(CORVEffectProcess& instance, float value);

} // namespace lv2
