#include "effects/common/CLfo.h"
#include "effects/common/Units.h"

#include "dsp/SyncCoeff.h"

#include <algorithm>

namespace {

// A full ramp cycle covers the distance -1 .. +1 .. -1, that is 4.  Both
// constants are exact in either precision.
constexpr float kRampTravelPerCycle = 4.0f;
// Beyond a quarter of the sample rate the ramp would jump past its ends and
// the arc could swing further than the delay lines were sized for.  Only a
// host tempo far outside music gets here.
constexpr double kFastestSweepPerSample = 0.25;

} // namespace

SweepSpeed SweepSpeedAt(float rateHz, float syncCoeff, double hostTempo, double sampleRate)
{
    // The sync table works in beats per minute; scaling the rate there and
    // back is exact, so with sync off the rate comes through unchanged.
    double frequency = SyncedTempo(syncCoeff, double(rateHz) * kSecondsPerMinute, hostTempo) / kSecondsPerMinute;
    // A tempo that is not a number stops the sweep instead of poisoning it.
    if (!(frequency >= 0.0))
        frequency = 0.0;
    frequency = std::min(frequency, sampleRate * kFastestSweepPerSample);
    const float increment = float(kRampTravelPerCycle * frequency / sampleRate);
    // Twice the step makes the arc peak at magnitude 1 whatever the speed.
    return {increment, 2.0f * increment};
}

CLfo::CLfo(float startRamp, int16_t startDirection)
    : ramp(startRamp), signedIncrement(float(startDirection) * increment), direction(startDirection)
{
}

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
    direction = -1;
}

void CLfo::SetFrequencyHz(float hz)
{
    if (!(hz >= 0.0f && hz < sampleRate / 2.0f) || hz == frequency)
        return;
    frequency = hz;
    RecomputeIncrement();
}

void CLfo::SetFrequencyBpm(float beatsPerMinute) { SetFrequencyHz(beatsPerMinute / float(kSecondsPerMinute)); }

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
    direction = -1;
}

void CLfo::SetSpeed(const SweepSpeed& speed)
{
    increment = speed.increment;
    arcGain = speed.arcGain;
    // By the remembered direction rather than the sign of the step: a sweep
    // stopped at zero speed resumes the way it was heading.
    signedIncrement = float(direction) * speed.increment;
}

std::vector<std::string> WaveShapeEntries()
{
    return {"Triangular", "Logarithmic", "Rectangular", "Exponential", "Sinusoidal"};
}
