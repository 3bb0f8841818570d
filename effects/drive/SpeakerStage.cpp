#include "effects/drive/SpeakerStage.h"

#include "effects/common/BiquadDesigners.h"
#include "effects/common/BiquadResponse.h"
#include "effects/common/Decibels.h"
#include "effects/drive/ThirdOrderButterworth.h"

namespace {

// Designs one table row into its slot (two slots for a third-order
// low-pass).  A row tuned at or above half the sample rate stays flat: the
// band it shapes does not exist at that rate, and the bilinear designs
// would fold it back as an unstable section.
void DesignRow(const SpeakerSection& row, double sampleRate, BiquadCoefs* slot)
{
    if (row.frequency >= sampleRate / 2.0)
        return;
    switch (row.kind) {
    case SpeakerSectionKind::Peak: DesignPeak(row.gainDb, row.frequency, row.q, sampleRate, *slot); break;
    case SpeakerSectionKind::LowPass: DesignButterworthLowPass(row.frequency, sampleRate, *slot); break;
    case SpeakerSectionKind::HighPass: DesignButterworthHighPass(row.frequency, sampleRate, *slot); break;
    case SpeakerSectionKind::ResonantHighPass:
        DesignResonantHighPass(row.frequency, row.damping, sampleRate, *slot);
        break;
    case SpeakerSectionKind::ThirdOrderLowPass: {
        const ThirdOrderSections pair = DesignThirdOrderLowPass(row.frequency, row.highPass, sampleRate);
        slot[0] = pair.lowPassPair;
        slot[1] = pair.realPoleWithHighPass;
        break;
    }
    }
}

void DesignRows(std::span<const SpeakerSection> rows, double sampleRate, BiquadCoefs* slot)
{
    for (const SpeakerSection& row : rows) {
        DesignRow(row, sampleRate, slot);
        slot += SlotsOf(row);
    }
}

std::complex<double> CascadeResponse(std::span<const BiquadCoefs> sections, double frequency, double sampleRate)
{
    std::complex<double> response = 1.0;
    for (const BiquadCoefs& c : sections)
        response *= BiquadResponse(c, frequency, sampleRate);
    return response;
}

} // namespace

SpeakerStage::SpeakerStage(std::span<const SpeakerModel> models_, size_t slots_)
    : models(models_), slots(slots_), model(int32_t(models_.size()))
{
    SetModel(kStartModel);
}

void SpeakerStage::SetSampleRate(float rate)
{
    if (!(rate > 0.0f) || rate == sampleRate)
        return;
    sampleRate = rate;
    Design();
}

void SpeakerStage::SetModel(int32_t index)
{
    if (index < 0 || size_t(index) > models.size() || index == model)
        return;
    model = index;
    states.fill({});
    Design();
}

void SpeakerStage::Design()
{
    coefs.fill({});
    hasHorn = false;
    if (size_t(model) == models.size())
        return;
    const SpeakerModel& m = models[size_t(model)];
    DesignRows(m.woofer, sampleRate, coefs.data());
    if (!m.horn.empty() && slots > kWooferSlots) {
        DesignRows(m.horn, sampleRate, coefs.data() + kWooferSlots);
        hasHorn = true;
    }
}

void UpdateStages(std::array<SpeakerStage, 2>& stages, double sampleRate, float speakerType, float volumeDb)
{
    for (SpeakerStage& stage : stages) {
        stage.SetSampleRate(float(sampleRate));
        stage.SetModel(int32_t(speakerType));
        stage.SetVolumeGain(DecibelsToGain(volumeDb));
    }
}

std::complex<double> SpeakerResponse(const SpeakerStage& stage, double frequency)
{
    const std::span<const BiquadCoefs> coefs = stage.Coefs();
    const double fs = stage.SampleRate();
    const std::complex<double> woofer = CascadeResponse(coefs.first(kWooferSlots), frequency, fs);
    const std::complex<double> horn =
        stage.HasHorn() ? 1.0 + double(SpeakerStage::kHornMix) * CascadeResponse(coefs.subspan(kWooferSlots), frequency, fs) : 1.0;
    return double(stage.VolumeGain()) * woofer * horn;
}
