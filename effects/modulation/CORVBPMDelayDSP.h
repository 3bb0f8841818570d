#pragma once
#include "dsp/CORVBPMParRelations.h"

#include <array>
#include <memory>

// "BD - BPM Delay": an echo one beat long, of its own tempo or of the host's
// times a division.  Odd repeats (one, three, ... beats) run through a pair
// of one-beat lines, even repeats through a two-beat line, so that in stereo
// mode the two sets can sit on opposite sides.  The repeats fall by 60 dB
// over the "Decay" time; at the top of that range the delay turns into a
// looper whose foot switch steps through bypassing, sampling and playing.
class CORVBPMDelayDSP : public CORVBPMParRelations {
public:
    enum HoldState : int32_t {
        kNormal = 0,
        kBypassing = 1,
        kSampling = 2,
        kPlaying = 3,
    };

    CORVBPMDelayDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;
    // Empties the lines before the next block.
    void Reset() override;
    float Read(ReadingKind kind) const override;

    int32_t GetHoldMode() const override { return holdState; }
    void SetHoldMode(float mode) override;
    // "Normal", "Bypassing", "Sampling", "Playing".
    static const char* HoldStateName(int32_t state);

    int32_t Delay1() const { return delay1; }
    int32_t Delay2() const { return delay2; }
    int32_t Capacity() const { return capacity; }
    int32_t LowerBound() const { return lowerBound; }
    bool SyncedClass() const { return syncedClass; }
    bool AllocationFailed() const { return allocationFailed; }
    float Feedback() const { return feedback; }
    // g1..g4 as index 0..3, wet level included.
    float TapGain(int index) const { return tapGains[size_t(index)]; }

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;
    void ProcessBypassed(const float* const* inputs, float* const* outputs, float* inputPeaks,
                         float* outputPeaks, int32_t frameCount) override;

private:
    // One channel's three lines: odd and return hold one beat each and pass
    // the odd repeats back and forth, even holds two beats.
    struct Lines {
        std::unique_ptr<float[]> odd;
        std::unique_ptr<float[]> ret;
        std::unique_ptr<float[]> even;
    };

    double BeatRate() const;
    int32_t BeatInSamples(double beatRate) const;
    // The fixed 20 ms of the top tempo.
    int32_t DoublingInSamples() const;
    void AllocateLines();
    void RebuildLines(int32_t beat, bool synced);
    void ClearLines(bool withReturn);
    void ClearPendingLines();
    void UpdateFeedback();
    void UpdateTapGains();
    // A bypassed block: the next live block starts from empty lines.
    void StopRunning();
    void PassThrough(const float* const* inputs, float* const* outputs, int32_t frameCount);

    bool wasRunning = false;
    bool allocationFailed = false;
    bool syncedClass = false;
    bool clearPending = false;
    // Set by the foot switch on the control thread; the audio thread empties
    // the recording lines before its next block.
    bool clearInputLinesPending = false;
    float dryGain = 1.0f;
    float wetLevel = 0.0f;
    std::array<float, 4> tapGains{};
    float feedback = 0.0f;
    std::array<Lines, 2> lines;
    int32_t index1 = 0;
    int32_t index2 = 0;
    int32_t delay1 = 1;
    int32_t delay2 = 2;
    int32_t capacity = 0;
    int32_t lowerBound = 0;
    int32_t holdState = kNormal;
    bool stereoMode = false;
    // Samples actually held by an odd or return line: the longest beat the
    // clamped tempo can ask for.  The capacity above only decides when the
    // lines are rebuilt, so rebuilding never allocates on the audio thread.
    int32_t storage = 0;
    // The tap gains as the loop applies them: odd and even repeats to the
    // left, odd and even repeats to the right.
    float oddToLeft = 0.0f;
    float evenToLeft = 0.0f;
    float oddToRight = 0.0f;
    float evenToRight = 0.0f;
};
