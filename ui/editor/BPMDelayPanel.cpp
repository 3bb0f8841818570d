// The delay's texts: its hold cycle on the foot switch, the balance or
// stereo spread, and the room mode.
#include "dsp/CORVDSPAlgInterface.h"
#include "ui/editor/CORVPanels.h"
#include "ui/editor/EditorTags.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

enum : int32_t { kOnOff = 1, kTempo = 3, kDecay = 4, kStereo = 5, kMode = 6, kTap = 8 };
enum : int32_t { kHoldBypassing = 1, kHoldSampling = 2, kHoldPlaying = 3 };

// What each state of the hold cycle shows: the bypass it drives, the LED
// and the display.
struct HoldLook {
    int32_t state;
    bool bypassed;
    float led;
    const char* text;
};
constexpr HoldLook kHoldLooks[] = {
    {kHoldBypassing, true, 0.0f, "Decay: Hold (Bypassing)"},
    {kHoldSampling, false, 3.0f / 9.0f, "Hold Mode: Sampling"},
    {kHoldPlaying, false, 5.0f / 9.0f, "Hold Mode: Playing"},
};

} // namespace

void CORVBPMDelayGUI::showHoldState(bool drivesBypass)
{
    const auto state = int32_t(readings().read(ReadingKind::HoldState));
    const auto look = std::find_if(std::begin(kHoldLooks), std::end(kHoldLooks),
                                   [state](const HoldLook& l) { return l.state == state; });
    if (look == std::end(kHoldLooks)) {
        // The decay knob turned fully up before the cycle starts.
        if (!drivesBypass)
            showText("Decay: Hold");
        return;
    }
    // While the hold cycle bypasses, the foot switch state follows it.
    if (drivesBypass)
        dspAlgorithm->bypassed = look->bypassed;
    setControlValue(tags::kStatusLed, look->led);
    showText(look->text);
}

void CORVBPMDelayGUI::showOnOff() { setControlValue(tags::kStatusLed, dspAlgorithm->bypassed ? 0.0f : 1.0f / 9.0f); }

void CORVBPMDelayGUI::parameterText(int32_t tag, float value)
{
    char text[128];
    switch (tag) {
    case kOnOff: showHoldState(true); break;
    case kTempo:
        if (value == 1.0f)
            showText("Room Effect Mode");
        break;
    case kStereo: {
        const float b = units(kStereo);
        if (units(kMode) == 0.0f) {
            if (b >= 47.0f && b <= 53.0f)
                std::snprintf(text, sizeof text, "Balance: Center");
            else if (b > 53.0f)
                std::snprintf(text, sizeof text, "Balance: %.1f %% Right", double(b));
            else
                std::snprintf(text, sizeof text, "Balance: %.1f %% Left", double(100.0f - b));
        } else if (b <= 0.0f) {
            std::snprintf(text, sizeof text, "Single Delay");
        } else {
            std::snprintf(text, sizeof text, "Stereo: %.f %%", double(normalised(kStereo) * 100.0f));
        }
        showText(text);
        break;
    }
    case kDecay:
        if (normalised(kDecay) >= 1.0f) {
            showHoldState(false);
            setControlValue(kTap, 0.0f);
        } else if (units(kTap) == 0.0f) {
            showOnOff();
        }
        break;
    default: break;
    }
}
