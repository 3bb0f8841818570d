#include "effects/modulation/CPitchPreFilter.h"

#include "effects/common/BiquadDesigners.h"

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
}
