// The compressor, the expander gate and the noise gate: ratio texts and the
// lights that follow their gain computers.
#include "dsp/CORVDSPAlgInterface.h"
#include "ui/editor/CORVPanels.h"

#include <cstdio>

namespace {

// The gain-reduction LED's film strip: dim, lit and dark frames.
constexpr float kLedDark = 1.0f / 9.0f;
constexpr float kLedIdle = 2.0f / 9.0f;
constexpr float kLedLit = 3.0f / 9.0f;
constexpr int32_t kLedTag = 10;
constexpr int32_t kRatio = 5;

} // namespace

std::string RatioText(const CORVDSPParameter& ratio)
{
    char text[128];
    if (ratio.value < ratio.maxValue)
        std::snprintf(text, sizeof text, " %s: %.2f : 1", ratio.name.c_str(), double(ratio.value));
    else
        std::snprintf(text, sizeof text, " %s: Inf : 1 ", ratio.name.c_str());
    return text;
}

void CORVCompressorGUI::idle() { setControlValue(kLedTag, readings().read(ReadingKind::GainReduced) != 0.0f ? kLedLit : kLedIdle); }

void CORVCompressorGUI::parameterText(int32_t tag, float /*value*/)
{
    if (const CORVDSPParameter* ratio = dspAlgorithm->GetParameter(kRatio); ratio && tag == kRatio)
        showText(RatioText(*ratio).c_str());
}

void CORVExpanderGateGUI::idle()
{
    const float state = readings().read(ReadingKind::GateState);
    setControlValue(kLedTag, state > 0.0f ? kLedLit : state < 0.0f ? kLedDark : kLedIdle);
}

void CORVExpanderGateGUI::parameterText(int32_t tag, float /*value*/)
{
    if (const CORVDSPParameter* ratio = dspAlgorithm->GetParameter(kRatio); ratio && tag == kRatio)
        showText(RatioText(*ratio).c_str());
}

void CORVNoiseGateGUI::idle()
{
    constexpr int32_t kThreshold = 2;
    constexpr int32_t kLearnButton = 5;
    const bool learning = readings().read(ReadingKind::GateLearning) != 0.0f;
    // The learnt threshold arrives when the measurement ends: show it and
    // let the knob and the learn button catch up.
    if (wasLearning && !learning) {
        if (const CORVDSPParameter* threshold = dspAlgorithm->GetParameter(kThreshold))
            showText(threshold->GetText(true, true).c_str());
        setControlValue(kLearnButton, 0.0f);
        setControlValue(kThreshold, normalised(kThreshold));
    }
    wasLearning = learning;
    setControlValue(kLedTag, readings().read(ReadingKind::GateClosed) != 0.0f ? kLedLit : kLedIdle);
}
