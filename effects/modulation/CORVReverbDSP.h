#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/common/BiquadSection.h"
#include "effects/modulation/ReverbLines.h"
#include "effects/modulation/ReverbModes.h"

#include <array>

// "RV - Reverb": a room, hall, spring, plate or tunnel.  Each channel's input
// runs through a tapped line of early reflections (and, for spring and
// tunnel, a recirculation of them).  The mono sum, with part of the
// reflections, is high-passed and delayed by the mode's pre-delay and feeds a
// Freeverb-style tail per channel: eight damped combs in parallel, then four
// all-passes in series, which also smear part of the reflections into a
// dense burst.  Reflections and tail are mixed, tilted by the "Color" and
// mode shelves, and blended with the dry signal at equal power.
class CORVReverbDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kMix = 2,
        kDecay = 3,
        kColor = 4,
        kMode = 5,
    };
    static constexpr int kCombCount = 8;
    static constexpr int kAllPassCount = 4;

    CORVReverbDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;

    int32_t PreDelayLength() const { return preDelay.Capacity(); }
    int32_t CombLength(int channel, int comb) const;
    int32_t AllPassLength(int channel, int stage) const;
    int32_t EarlyLength() const { return channels[0].early.Length(); }
    // The time the tail takes to fall by 60 dB, in seconds.
    float DecayTime() const { return decayTime; }
    bool Running() const { return running; }

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;
    // The first bypassed block empties the reverb, so switching it on again
    // starts from silence rather than from a tail frozen when it went off.
    void ProcessBypassed(const float* const* inputs, float* const* outputs, float* inputPeaks,
                         float* outputPeaks, int32_t frameCount) override;

private:
    struct Channel {
        DelayLine early;
        DelayLine echo;
        float echoStore = 0.0f;
        std::array<CombFilter, kCombCount> combs;
        std::array<AllPassFilter, kAllPassCount> allPasses;
        BiquadSection colorShelf;
        BiquadSection toneShelf;
    };

    void AllocateLines();
    void UpdateEarlyReflections(const ReverbMode& mode);
    void UpdateTail(const ReverbMode& mode, float decay);
    void UpdateTone(const ReverbMode& mode, float color);
    int32_t Scaled(int32_t samplesAt44100) const;

    // One channel's reflections for its input sample, recirculated.
    float EarlyReflections(Channel& channel, int parity, float x);
    // One channel's tail for the delayed feed, with its reflections smeared.
    float Tail(Channel& channel, float feed, float early);
    // The wet sound through the channel's shelves, at the wet level.
    float Shaped(Channel& channel, float wet);

    std::array<Channel, 2> channels;
    DelayLine preDelay;
    BiquadSection highPass;
    std::array<int32_t, kEarlyTapCount> tapDelays{};
    std::array<float, kEarlyTapCount> tapGains{};
    int32_t preDelaySamples = 1;
    float echoFeedback = 0.0f;
    float echoDamping = 0.0f;
    float earlyToTail = 0.0f;
    float discreteEarly = 0.0f;
    float diffuseEarly = 0.0f;
    float combGain = 0.0f;
    float widthDirect = 1.0f;
    float widthCross = 0.0f;
    float dryGain = 1.0f;
    float wetGain = 0.0f;
    float decayTime = 0.0f;
    bool running = false;
};
