#include "effects/modulation/ModulatedDelayLines.h"

#include "effects/modulation/ParameterRange.h"
#include "platform/MulDiv.h"

#include <algorithm>

namespace {

constexpr int32_t kTenthsPerSecond = 10000;

} // namespace

int32_t TenthsToSamples(int32_t tenths, double sampleRate)
{
    return platform::MulDiv(tenths, int32_t(sampleRate), kTenthsPerSecond);
}

SweepSpeed SweepSpeedFromControls(const CORVDSPAlgInterface& effect, int32_t rateIndex, int32_t syncCoeffIndex)
{
    return SweepSpeedAt(ValueInRange(effect, rateIndex), ValueInRange(effect, syncCoeffIndex), effect.tempo,
                        effect.sampleRate);
}

void ModulatedDelayLines::Allocate(int32_t length)
{
    left_ = std::vector<float>(size_t(length), 0.0f);
    right_ = std::vector<float>(size_t(length), 0.0f);
    cursor = DelayCursor{length, 0, 0};
}

void ModulatedDelayLines::Clear()
{
    std::fill(left_.begin(), left_.end(), 0.0f);
    std::fill(right_.begin(), right_.end(), 0.0f);
}
