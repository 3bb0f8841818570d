#pragma once
#include <array>
#include <cstdint>

// Five-times oversampling of one channel around a memoryless nonlinearity:
// Upsample turns one sample into five at the higher rate, the caller shapes
// them, and Downsample turns the five back into one.
//
// Both directions use the same linear-phase low-pass, a Kaiser-windowed sinc
// with its cut-off at the base rate's Nyquist frequency.  It passes up to
// 0.45 of the base rate flat and stops from 0.55 of it by about 90 dB, so
// the images of an upsampled signal and the harmonics a nonlinearity
// generates above the base Nyquist frequency fold back only into the
// transition band.  A polynomial of degree five on a signal band-limited to
// the base Nyquist frequency stays within the higher rate's own Nyquist
// frequency, so no aliasing happens at the higher rate either.
//
// Being linear phase, the pair delays the signal by a whole number of base
// samples, Latency(), so a dry path can be aligned with it exactly.  Taps
// and state live in the object: it never allocates.
class Oversampler5 {
public:
    static constexpr int32_t kFactor = 5;
    // Filter length in high-rate samples is kFactor·kSpan + 1; each of the
    // two filters delays by kFactor·kSpan/2 of them, so the pair delays by
    // kSpan base samples.
    static constexpr int32_t kSpan = 60;
    static constexpr int32_t kTaps = kFactor * kSpan + 1;
    // Taps per polyphase branch of the interpolator, padded with zeros to a
    // multiple of eight so the dot products run in eight independent lanes.
    static constexpr int32_t kBranchTaps = 64;
    // The decimator's window over the high-rate history: the filter, offset
    // by the four samples of a frame that come after its output instant, and
    // padded to a multiple of eight.
    static constexpr int32_t kDecimatorTaps = 312;

    Oversampler5();

    // Delay of Downsample(shape(Upsample(x))) for the identity shape, in
    // base-rate samples.
    static constexpr int32_t Latency() { return kSpan; }

    void Upsample(float x, float* high);
    float Downsample(const float* high);
    void Reset();

    // The prototype low-pass at the high rate (unity gain at DC), for
    // analysis.
    const std::array<double, kTaps>& Prototype() const { return prototype; }

private:
    std::array<double, kTaps> prototype{};
    // Branch p holds the taps 5·k + p in reverse order, times kFactor to make
    // up for the four zeros inserted between samples.
    std::array<std::array<float, kBranchTaps>, kFactor> branches{};
    std::array<float, kDecimatorTaps> decimator{};

    // Histories stored twice over (at i and i + length), so the latest
    // samples are always one contiguous run ending at the write position.
    std::array<float, 2 * kBranchTaps> lowHistory{};
    std::array<float, 2 * kDecimatorTaps> highHistory{};
    int32_t lowPosition = 0;
    int32_t highPosition = 0;
};
