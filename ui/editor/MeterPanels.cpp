// The level control's meters and the power amplifier's picture.
#include "dsp/CORVDSPAlgInterface.h"
#include "ui/editor/CORVPanels.h"
#include "ui/editor/EditorTags.h"

#include <algorithm>
#include <cmath>

void CORVLevelControlGUI::idle()
{
    // Meters 1 and 2 show the input pair, 3 and 4 the output pair.
    constexpr int32_t kFirstMeter = 27;
    for (int32_t i = 0; i < 4; ++i)
        setControlValue(kFirstMeter + i, std::clamp(readings().level(i < 2, i % 2), 0.0f, 1.0f));
}

void CORVPowerAmpGuitarGUI::parameterText(int32_t tag, float /*value*/)
{
    constexpr int32_t kPicture = 14;
    if (tag != tags::kFootSwitch)
        return;
    const VSTGUI::CControl* led = control(tags::kStatusLed);
    setControlValue(kPicture, led && led->getValue() != 0.0f ? 1.0f : 0.0f);
}
