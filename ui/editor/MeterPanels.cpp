// The level control's meters and the power amplifier's picture.
#include "dsp/CORVDSPAlgInterface.h"
#include "ui/editor/CORVPanels.h"
#include "ui/editor/EditorTags.h"

#include <algorithm>
#include <cmath>

float MeterValue(float level)
{
    if (!(level > 0.0f))
        return 0.0f;
    return std::clamp((20.0f * std::log10(level) + 60.0f) / 60.0f, 0.0f, 1.0f);
}

void CORVLevelControlGUI::idle()
{
    // Meters 1 and 2 show the input pair, 3 and 4 the output pair.
    constexpr int32_t kFirstMeter = 27;
    const float* in = dspAlgorithm->inputPeaks;
    const float* out = dspAlgorithm->outputPeaks;
    if (!in || !out)
        return;
    const float levels[] = {in[0], in[1], out[0], out[1]};
    for (int32_t i = 0; i < 4; ++i)
        setControlValue(kFirstMeter + i, MeterValue(levels[i]));
}

void CORVPowerAmpGuitarGUI::parameterText(int32_t tag, float /*value*/)
{
    constexpr int32_t kPicture = 14;
    if (tag != tags::kFootSwitch)
        return;
    const VSTGUI::CControl* led = control(tags::kStatusLed);
    setControlValue(kPicture, led && led->getValue() != 0.0f ? 1.0f : 0.0f);
}
