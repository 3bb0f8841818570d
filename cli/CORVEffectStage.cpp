#include "cli/CORVEffectStage.h"

#include "cli/CliError.h"
#include "cli/EffectLookup.h"
#include "cli/OfflineInstance.h"
#include "cli/ParameterValues.h"
#include "cli/PresetTable.h"
#include "host/ControlValue.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kMeterRangeDb = 60.0;
constexpr float kSilenceMeter = -std::numeric_limits<float>::infinity();

// Counted in place, outside the effect, so that neither allocates.
int64_t CountNonFinite(const float* const* channels, int32_t channelCount, int32_t frames)
{
    int64_t count = 0;
    for (int32_t c = 0; c < channelCount; ++c)
        count += std::count_if(channels[c], channels[c] + frames, [](float x) { return !std::isfinite(x); });
    return count;
}

} // namespace

CORVEffectStage::CORVEffectStage(const EffectSpec& request, double sampleRate, const StageSettings& settings)
    : entry_(&FindEffect(request.effect)), instance_(MakeOfflineInstance(*entry_, sampleRate)),
      inputPeakMeter_(kSilenceMeter), outputPeakMeter_(kSilenceMeter)
{
    if (!request.preset.empty())
        ApplyPreset(request.preset);
    for (const ParameterSetting& setting : request.settings)
        ApplySetting(setting);
    if (request.bypass)
        instance_->SetControlValue(CORVEffectProcess::kFootSwitch, kControlOn);
    instance_->SetHostTempo(settings.tempo);
    instance_->SetSliceFrames(settings.sliceFrames);
    instance_->SetProgressFunction([this](int64_t, int64_t) { TakeSlicePeaks(); });
}

void CORVEffectStage::ApplyPreset(const std::string& name)
{
    instance_->ApplyPresetFromEditor(FindPresetByText(Algorithm(), name));
}

void CORVEffectStage::ApplySetting(const ParameterSetting& setting)
{
    const ParameterRef ref = FindParameterByText(Algorithm(), setting.parameter);
    SetPlainValue(ref.index, ParsePlainValue(Algorithm(), *ref.parameter, setting.value));
}

void CORVEffectStage::SetPlainValue(int32_t index, float plain)
{
    if (const CORVDSPParameter* parameter = Algorithm().GetParameter(index))
        instance_->SetControlValue(index, CORVEffectProcess::ToControlValue(parameter->NormalizedFromPlain(plain)));
}

void CORVEffectStage::Process(float* const* channels, int32_t channelCount, int32_t frames)
{
    channelCount_ = std::clamp(channelCount, 1, 2);
    for (int c = 0; c < CEffectProcessAS::kChannels; ++c) {
        // A channel left without buffers tells the adapter the selection is mono.
        const SAudioBuffer buffer = c < channelCount_ ? SAudioBuffer{channels[c], frames} : SAudioBuffer{};
        instance_->SetInputBuffer(c, buffer);
        instance_->SetOutputBuffer(c, buffer);
    }
    inputNonFinite_ += CountNonFinite(channels, channelCount_, frames);
    instance_->Run();
    outputNonFinite_ += CountNonFinite(channels, channelCount_, frames);
}

void CORVEffectStage::TakeSlicePeaks()
{
    for (int c = 0; c < channelCount_; ++c) {
        inputPeakMeter_ = std::max(inputPeakMeter_, instance_->GetInputPeak(c));
        outputPeakMeter_ = std::max(outputPeakMeter_, instance_->GetOutputPeak(c));
    }
}

double CORVEffectStage::MeterToDb(float meter) { return kMeterRangeDb * double(meter) - kMeterRangeDb; }
