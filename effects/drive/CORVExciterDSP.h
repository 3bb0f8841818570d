#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/drive/ExciterChannel.h"

#include <array>

// "EC - Exciter": harmonics one to five of the band above "Frequency", each
// at its own level, added to the dry signal; optionally generated at five
// times the sample rate so that harmonics above the Nyquist frequency do not
// fold back into the audible range.
class CORVExciterDSP : public CORVParRelations {
public:
    // The published order: the fourth and fifth harmonic levels follow
    // "Frequency" and "Exciter Mix" rather than the third harmonic.
    enum ParameterIndex : int32_t {
        kDrive = 2,
        kFirstHarmonic = 3,
        kSecondHarmonic = 4,
        kThirdHarmonic = 5,
        kFrequency = 6,
        kExciterMix = 7,
        kFourthHarmonic = 8,
        kFifthHarmonic = 9,
        kOversampling = 10,
    };

    CORVExciterDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;

    // Delay of the whole effect in samples: the oversampler's, when it is on.
    int32_t Latency() const override { return oversampled ? ExciterChannel::kOversampledLatency : 0; }
    const ExciterSettings& Settings() const { return settings; }
    const ExciterChannel& Channel(int32_t channel) const { return channels[size_t(channel)]; }

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    template <bool kOversampled>
    void Run(const float* const* inputs, float* const* outputs, int32_t frameCount);

    ExciterSettings settings;
    std::array<ExciterChannel, 2> channels;
    bool oversampled = false;
};
