#include "effects/modulation/CPitchPreFilter.h"

#include "effects/common/BiquadDesigners.h"

#include <cmath>
#include <initializer_list>

CPitchPreFilter::CPitchPreFilter(int32_t sampleRate_) : sampleRate(double(sampleRate_)) {}

void CPitchPreFilter::Design(float lowestHz, float highestHz)
{
    DesignButterworthHighPass(lowestHz, sampleRate, highPass);
    DesignButterworthLowPass(highestHz, sampleRate, lowPass);
    designedLowest = lowestHz;
    designedHighest = highestHz;
}

void CPitchPreFilter::Run(float* frame, int32_t count, float lowestHz, float highestHz)
{
    if (lowestHz != designedLowest || highestHz != designedHighest)
        Design(lowestHz, highestHz);
    for (int32_t i = 0; i < count; ++i) {
        const float high = ProcessBiquad(highPass, highPassState, frame[i]);
        frame[i] = ProcessBiquad(lowPass, lowPassStates[1], ProcessBiquad(lowPass, lowPassStates[0], high));
    }
    // A frame loud enough to overflow the sections would leave them
    // infinite or NaN, and every later frame without a pitch.
    for (const BiquadState& s : {highPassState, lowPassStates[0], lowPassStates[1]})
        if (!std::isfinite(s.state1) || !std::isfinite(s.state2))
            Reset();
}

void CPitchPreFilter::Reset()
{
    highPassState.Reset();
    lowPassStates[0].Reset();
    lowPassStates[1].Reset();
}
