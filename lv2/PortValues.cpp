#include "lv2/PortValues.h"

#include "host/ControlValue.h"

#include <algorithm>

namespace lv2 {

void ApplyParameterPort(CORVEffectProcess& instance, const PortInfo& port, float value)
{
    CORVDSPParameter* parameter = instance.GetAlgorithm()->GetParameter(port.parameterIndex);
    if (!parameter)
        return;
    value = std::clamp(value, port.minimum, port.maximum);
    const int32_t control = CORVEffectProcess::ToControlValue(parameter->NormalizedFromPlain(value));
    if (value >= parameter->minValue && value <= parameter->maxValue) {
        instance.SetControlValue(port.parameterIndex, control);
    } else {
        parameter->SetValue(value);
        instance.StoreHostControlValue(port.parameterIndex, control);
    }
}

void ApplyEnabledPort(CORVEffectProcess& instance, float value)
{
    instance.SetControlValue(CORVEffectProcess::kFootSwitch, value > 0.0f ? kControlOff : kControlOn);
}

} // namespace lv2
