#include "effects/modulation/SweepLfo.h"

#include "dsp/SyncCoeff.h"

#include <algorithm>

namespace {

// A full ramp cycle covers the distance -1 .. +1 .. -1, that is 4.
constexpr double kRampTravelPerCycle = 4.0;
constexpr double kSecondsPerMinute = 60.0;
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
