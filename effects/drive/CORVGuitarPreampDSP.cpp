#include "effects/drive/CORVGuitarPreampDSP.h"

#include <cmath>

namespace {

constexpr double kOutputDbPerPercent = 0.6;
constexpr double kOutputFloorDb = -40.0;

} // namespace

float CORVGuitarPreampDSP::OutputGain(float percent)
{
    return float(std::pow(10.0, (kOutputDbPerPercent * percent + kOutputFloorDb) / 20.0));
}

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
