#include "dsp/CORVParRelations.h"

#include "platform/TickCount.h"

namespace {

constexpr float kTapArmed = 0.5f;
constexpr float kMillisecondsPerMinute = 60000.0f;

} // namespace

CORVParRelations::CORVParRelations(double sampleRate_, uint32_t maxFrames_)
    : CORVDSPAlgInterface(sampleRate_, maxFrames_), savedBypass(bypassed)
{
}

void CORVParRelations::HandleTap()
{
    const uint32_t now = platform::TickCount();
    if (tapState == kTapArmed) {
        tapTime = now;
        tapState = 0.0f;
        parametersChanged = true;
        return;
    }
    // The interval is taken on the unsigned counter, so a pair of taps that
    // straddles the counter's wrap at 2^32 still measures the true interval.
    const float interval = float(uint32_t(now - tapTime));
    tapTime = 0;
    tapState = kTapArmed;
    const float beatsPerMinute = kMillisecondsPerMinute / interval;
    if (CORVDSPParameter* tempoParameter = FindRole(ParameterRole::Tempo))
        tempoParameter->SetValue(beatsPerMinute);
    if (CORVDSPParameter* rate = FindRole(ParameterRole::Rate))
        rate->SetValue(beatsPerMinute / 60.0f);
    parametersChanged = true;
}

void CORVParRelations::ApplyTapMode(const CORVDSPParameter& tap)
{
    if (tap.normValue == 1.0f) {
        SetTapState(kTapArmed);
    } else {
        SetTapState(0.0f);
        bypassed = savedBypass;
    }
}

DisplayText CORVParRelations::SyncNotice(const CORVDSPParameter& changed,
                                         const CORVDSPParameter* syncCoeff) const
{
    if (syncCoeff && syncCoeff->value >= 1.0f)
        return changed.GetText(true, true).Append(" (Sync !)");
    return {};
}

DisplayText CORVParRelations::OnParameterChange(int32_t index, float normValue)
{
    if (index == kFootSwitchIndex) {
        const CORVDSPParameter* tap = FindRole(ParameterRole::Tap);
        if (tap && tap->normValue == 1.0f) {
            HandleTap();
            return {};
        }
        bypassed = savedBypass = (normValue != 0.0f);
        return {};
    }
    if (index < kFootSwitchIndex || index > kLastControlIndex)
        return {};
    CORVDSPParameter* changed = GetParameter(index);
    if (!changed)
        return {};
    changed->SetNormalized(normValue);

    if (changed->role == ParameterRole::Tap)
        ApplyTapMode(*changed);
    if (changed->role == ParameterRole::Tempo || changed->role == ParameterRole::Rate)
        return SyncNotice(*changed, FindRole(ParameterRole::SyncCoeff));
    return {};
}
