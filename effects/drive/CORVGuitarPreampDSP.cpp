#include "effects/drive/CORVGuitarPreampDSP.h"

#include "effects/common/Decibels.h"

namespace {

constexpr float kOutputDbPerPercent = 0.6f;
constexpr float kOutputFloorDb = -40.0f;

} // namespace

float CORVGuitarPreampDSP::OutputGain(float percent)
{
    return DecibelsToGain(kOutputDbPerPercent * percent + kOutputFloorDb);
}

void CORVGuitarPreampDSP::Reset() { ClearStages(); }

void CORVGuitarPreampDSP::UpdateParameters(bool reinitialise)
{
    const float gain = Value(kGainKnob);
    const float tone = Value(kToneKnob);
    const float output = Value(kOutputKnob);

    if (reinitialise) {
        RebuildStages();
        Reset();
        needsReinit = false;
    }
    ApplyKnobs(gain, tone, output);
    parametersChanged = false;
}
