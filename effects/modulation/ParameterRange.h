#pragma once
#include "dsp/CORVDSPAlgInterface.h"

// The plain value of parameter index, held inside its published range.  Host
// controls cannot leave the range, but a stored preset is applied as written,
// and a modulated delay must neither read outside its lines nor run its
// feedback past unity because of one bad value.  A value that is not a number
// reads as the minimum.
inline float ValueInRange(const CORVDSPAlgInterface& algorithm, int32_t index)
{
    const CORVDSPParameter* parameter = algorithm.GetParameter(index);
    if (!parameter)
        return 0.0f;
    const float v = parameter->value;
    if (!(v >= parameter->minValue))
        return parameter->minValue;
    return v <= parameter->maxValue ? v : parameter->maxValue;
}
