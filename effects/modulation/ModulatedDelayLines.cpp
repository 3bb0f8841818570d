#include "effects/modulation/ModulatedDelayLines.h"

#include "platform/MulDiv.h"

#include <algorithm>

namespace {

constexpr int32_t kTenthsPerSecond = 10000;

} // namespace

int32_t TenthsToSamples(int32_t tenths, double sampleRate)
{
    return platform::MulDiv(tenths, int32_t(sampleRate), kTenthsPerSecond);
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
