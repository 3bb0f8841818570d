#pragma once
#include "dsp/CORVDSPAlgInterface.h"

// How control changes relate to each other in a typical effect: the foot
// switch toggles bypass or, with "Tap" on, taps the tempo; turning "Tap" on
// borrows the foot switch and turning it off gives the bypass state back.
class CORVParRelations : public CORVDSPAlgInterface {
public:
    CORVParRelations(double sampleRate, uint32_t maxFrames);

    DisplayText OnParameterChange(int32_t index, float normValue) override;

    // The tap-tempo step: the first press arms, the second sets "Tempo" (BPM)
    // or "Rate" (Hz) from the interval between the two presses.
    void HandleTap();

    bool savedBypass;

protected:
    // Applies a "Tap" change: arms the tap or hands the foot switch back.
    void ApplyTapMode(const CORVDSPParameter& tap);
    // The parameter's text with " (Sync !)" when "Sync coeff" overrides it.
    DisplayText SyncNotice(const CORVDSPParameter& changed, const CORVDSPParameter* syncCoeff) const;
};
