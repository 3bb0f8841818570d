#include "dsp/CORVBPMParRelations.h"

CORVBPMParRelations::CORVBPMParRelations(double sampleRate_, uint32_t maxFrames_)
    : CORVParRelations(sampleRate_, maxFrames_)
{
}

DisplayText CORVBPMParRelations::OnParameterChange(int32_t index, float normValue)
{
    switch (index) {
    case 1:
        if (GetParameter(kDecay)->normValue == 1.0f) {
            const int32_t mode = GetHoldMode();
            SetHoldMode(float(mode < 3 ? mode + 1 : 1));
        } else if (GetParameter(kTap)->normValue == 1.0f) {
            HandleTap();
        } else {
            bypassed = savedBypass = (normValue != 0.0f);
        }
        return {};
    case kEffectLevel:
    case kStereo:
    case kMode:
    case kSyncCoeff:
        GetParameter(index)->SetNormalized(normValue);
        return {};
    case kTempo:
        GetParameter(kTempo)->SetNormalized(normValue);
        return SyncNotice(*GetParameter(kTempo), GetParameter(kSyncCoeff));
    case kDecay:
        GetParameter(kDecay)->SetNormalized(normValue);
        SetHoldMode(normValue == 1.0f ? 1.0f : 0.0f);
        // While holding, the foot switch belongs to the hold cycle.
        if (GetHoldMode() != 0)
            GetParameter(kTap)->SetNormalized(0.0f);
        return {};
    case kTap:
        if (GetHoldMode() == 0)
            GetParameter(kTap)->SetNormalized(normValue);
        ApplyTapMode(*GetParameter(kTap));
        return {};
    default:
        return {};
    }
}
