#include "effects/common/CLfo.h"

namespace {

// A full ramp cycle covers the distance -1 .. +1 .. -1, that is 4.
constexpr float kRampTravelPerCycle = 4.0f;
constexpr float kSecondsPerMinute = 60.0f;

} // namespace

void CLfo::RecomputeIncrement()
{
    increment = kRampTravelPerCycle * frequency / sampleRate;
    // The rounded humps of these two shapes come from |arc|, which repeats
    // twice per ramp cycle; running the ramp at half speed keeps one hump
    // per period of the set frequency.
    if (shape == Logarithmic || shape == Exponential)
        increment *= 0.5f;
    // A change of speed must not turn the ramp around mid-sweep.
    signedIncrement = signedIncrement >= 0.0f ? increment : -increment;
    // Twice the step makes the arc peak at magnitude 1 whatever the speed.
    arcGain = 2.0f * increment;
}

void CLfo::SetSampleRate(float hz)
{
    if (!(hz > 0.0f) || hz == sampleRate)
        return;
    sampleRate = hz;
    arcValue = 0.0f;
    ramp = 1.0f;
    RecomputeIncrement();
    signedIncrement = -increment;
}

void CLfo::SetFrequencyHz(float hz)
{
    if (!(hz >= 0.0f && hz < sampleRate / 2.0f) || hz == frequency)
        return;
    frequency = hz;
    RecomputeIncrement();
}

void CLfo::SetFrequencyBpm(float beatsPerMinute) { SetFrequencyHz(beatsPerMinute / kSecondsPerMinute); }

void CLfo::SetShape(int32_t newShape)
{
    if (newShape == shape)
        return;
    shape = newShape;
    RecomputeIncrement();
}

void CLfo::Reset()
{
    arcValue = 0.0f;
    ramp = 1.0f;
    signedIncrement = -1.0f;
}

std::vector<std::string> WaveShapeEntries()
{
    return {"Triangular", "Logarithmic", "Rectangular", "Exponential", "Sinusoidal"};
}
