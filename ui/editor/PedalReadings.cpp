#include "ui/editor/PedalReadings.h"

#include <algorithm>
#include <cmath>

float MeterValue(float level)
{
    if (!(level > 0.0f))
        return 0.0f;
    return std::clamp((20.0f * std::log10(level) + 60.0f) / 60.0f, 0.0f, 1.0f);
}

float AlgorithmReadings::level(bool input, int channel) const
{
    const float* peaks = input ? effect.inputPeaks : effect.outputPeaks;
    return peaks ? MeterValue(peaks[channel]) : 0.0f;
}
