#pragma once
#include "effects/common/BiquadSection.h"
#include "effects/common/Oversampler5.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

// What both channels of the exciter share: the drive into the normaliser and
// its inverse, the dry/excited mix, the level detector's smoothing, and the
// harmonic bank as one polynomial c1·u + c2·u² + … + c5·u⁵.
struct ExciterSettings {
    static constexpr int32_t kHarmonics = 5;

    float drive = 1.0f;
    float inverseDrive = 1.0f;
    float mix = 0.0f;
    float smoothing = 1.0f;
    std::array<float, kHarmonics> powers{};

    // Sums the Chebyshev polynomials T1..T5 weighted by the harmonic levels
    // (0..1) into the power series.
    void SetHarmonicLevels(const std::array<float, kHarmonics>& levels);

    // The harmonic bank at u.  Outside ±1 the Chebyshev polynomials grow
    // fast, so the normalised signal is held there; it only gets past the
    // limit on the attack of a transient, before the detector has caught up.
    float Shape(float u) const
    {
        const float x = std::clamp(u, -1.0f, 1.0f);
        return x * (powers[0] + x * (powers[1] + x * (powers[2] + x * (powers[3] + x * powers[4]))));
    }
};

// One channel of the exciter.  The band above the corner frequency is
// driven into a normaliser that holds its swing at no more than ±1: a smooth
// level detector divides the driven band by its peak level whenever that
// exceeds one.  On a unit-amplitude sine, T_n(cos θ) = cos nθ, so once the
// drive lifts the band to the limit every level control sets its harmonic
// exactly; below it the polynomials see a smaller swing and generate fewer
// and weaker harmonics, which is what "Drive" varies.  The excited signal is
// scaled back by the level and the drive so it follows the input level,
// high-passed again to remove the DC and the difference tones the even
// polynomials produce, and added to the dry signal.
//
// With oversampling the harmonic bank runs at five times the rate and the dry
// signal is delayed by the oversampler's latency, so the two stay aligned.
class ExciterChannel {
public:
    static constexpr int32_t kOversampledLatency = Oversampler5::Latency();

    void SetSampleRate(double sampleRate);
    void SetFrequency(float frequency);
    void Reset();
    void ResetOversampler() { oversampler.Reset(); }
    // A new drive scales the driven band at once.  The detector's mean
    // squares are scaled with it, so the level divided out and multiplied
    // back in stays that of the signal now passing, and the oversampler's
    // history, normalised under the old drive, is dropped.  Left as they
    // were, a drive cut would multiply the old, high level and the old
    // full-swing history by the new, large inverse drive.
    void ScaleDrive(float ratio)
    {
        meanSquare1 *= ratio * ratio;
        meanSquare2 *= ratio * ratio;
        oversampler.Reset();
    }

    template <bool kOversampled>
    float Process(const ExciterSettings& s, float x)
    {
        const float dry = DelayDry(x, kOversampled ? kOversampledLatency : 0);
        const float driven = s.drive * bandHigh.process(bandLow.process(x));
        const float level = DetectLevel(s, driven);
        const float u = driven / level;
        float shaped;
        if constexpr (kOversampled) {
            float high[Oversampler5::kFactor];
            oversampler.Upsample(u, high);
            for (float& v : high)
                v = s.Shape(v);
            shaped = oversampler.Downsample(high);
        } else {
            shaped = s.Shape(u);
        }
        const float excited = dcBlock.process(shaped * level * s.inverseDrive);
        return FlushToZero(dry + s.mix * excited);
    }

    const BiquadSection& Band() const { return bandLow; }
    const BiquadSection& DcBlock() const { return dcBlock; }

private:
    // The dry signal goes through the delay line in both modes, so switching
    // the oversampling on continues from recent samples instead of silence.
    static constexpr int32_t kDryLength = 64;
    static_assert(kDryLength > kOversampledLatency && (kDryLength & (kDryLength - 1)) == 0);

    float DelayDry(float x, int32_t delay)
    {
        dryLine[size_t(dryPosition)] = x;
        const float delayed = dryLine[size_t((dryPosition - delay) & (kDryLength - 1))];
        dryPosition = (dryPosition + 1) & (kDryLength - 1);
        return delayed;
    }

    // Peak level of the driven band from its mean square, smoothed by two
    // one-pole stages so a steady tone gives a level without ripple; never
    // below one, so quiet signals pass the normaliser unchanged.
    float DetectLevel(const ExciterSettings& s, float driven)
    {
        meanSquare1 = FlushToZero(meanSquare1 + s.smoothing * (driven * driven - meanSquare1));
        meanSquare2 = FlushToZero(meanSquare2 + s.smoothing * (meanSquare1 - meanSquare2));
        return std::sqrt(std::max(2.0f * meanSquare2, 1.0f));
    }

    BiquadSection bandLow;
    BiquadSection bandHigh;
    BiquadSection dcBlock;
    float meanSquare1 = 0.0f;
    float meanSquare2 = 0.0f;
    std::array<float, kDryLength> dryLine{};
    int32_t dryPosition = 0;
    Oversampler5 oversampler;
};
