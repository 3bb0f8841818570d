// The parametric equaliser's texts and the speaker simulators' type menu.
#include "dsp/CORVDSPAlgInterface.h"
#include "ui/controls/CORVOptionMenu.h"
#include "ui/editor/CORVPanels.h"

#include <algorithm>
#include <cstdio>

void CORVParametricEQGUI::parameterText(int32_t tag, float /*value*/)
{
    enum : int32_t { kGain = 2, kFrequency = 3, kWidth = 4, kFilterType = 5 };
    // The filter types in the order of the type parameter's list.
    enum : int32_t { kLowShelf, kHighShelf, kPeak, kLowPass, kHighPass, kNotch };
    const CORVDSPParameter* parameter = dspAlgorithm->GetParameter(tag);
    if (!parameter)
        return;
    char text[128];
    if (tag == kWidth) {
        const auto type = int32_t(units(kFilterType));
        const double width = parameter->value;
        // The band filters read the control as half their octave width.
        if (type == kPeak || type == kNotch)
            std::snprintf(text, sizeof text, " Bandwidth: %.2f octaves", 2.0 * width);
        else if (type == kLowShelf || type == kHighShelf)
            std::snprintf(text, sizeof text, " Slope: %.2f", width);
        else
            std::snprintf(text, sizeof text, " Q: %.2f", width);
    } else if (tag == kGain || tag == kFrequency) {
        std::snprintf(text, sizeof text, "%s: %.2f", parameter->name.c_str(), double(parameter->value));
    } else {
        return; // the type keeps the list text the editor shows
    }
    showText(text);
}

namespace {
constexpr int32_t kSpeakerType = 3;
}

void CORVSpeakerSimulatorPanel::controlChanged(VSTGUI::CControl* changed)
{
    const CORVDSPParameter* type = dspAlgorithm->GetParameter(kSpeakerType);
    if (!changed || changed->getTag() != kSpeakerType || !type || type->maxValue <= 0.0f)
        return;
    // The menu reports a position; the effect takes a normalised value.
    changed->setValue(changed->getValue() / type->maxValue);
}

void CORVSpeakerSimulatorPanel::parameterText(int32_t tag, float /*value*/)
{
    const CORVDSPParameter* type = dspAlgorithm->GetParameter(kSpeakerType);
    auto* menu = dynamic_cast<VSTGUI::CORVOptionMenu*>(control(kSpeakerType));
    if (tag != kSpeakerType || !type || !menu)
        return;
    menu->setCurrent(int32_t(type->value));
    // The formatted value comes padded for a name in front of it.
    const std::string formatted = type->GetText(false, true).str();
    const size_t start = std::min(formatted.find_first_not_of(' '), formatted.size());
    showText(("Type: " + formatted.substr(start)).c_str());
}
