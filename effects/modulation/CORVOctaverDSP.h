#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/modulation/CORVPitchShifter.h"

#include <memory>
#include <vector>

// "OT - Octaver": the dry signal mixed with the mono sum of both channels
// shifted an octave down and an octave up, each voice at its own level.  The
// dry path is not delayed; the octave voices lag by the shifters' latency.
// The shifters and voice buffers hold maxFrames samples: the common frame
// never hands a longer slice to ProcessBlock.
class CORVOctaverDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kCleanLevel = 2,
        kLowerLevel = 3,
        kUpperLevel = 4,
    };

    CORVOctaverDSP(double sampleRate, uint32_t maxFrames);
    ~CORVOctaverDSP() override;

    void UpdateParameters(bool reinitialise) override;
    // Only marks the shifters for clearing at the start of the next block.
    void Reset() override;

    const CORVPitchShifter& LowerShifter() const { return *lowerShifter; }
    const CORVPitchShifter& UpperShifter() const { return *upperShifter; }

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    std::unique_ptr<CORVPitchShifter> lowerShifter;
    std::unique_ptr<CORVPitchShifter> upperShifter;
    float cleanGain = 0.0f;
    float upperGain = 0.0f;
    float lowerGain = 0.0f;
    std::vector<float> lowerBuffer;
    std::vector<float> upperBuffer;
    std::vector<float> monoBuffer;
    bool shifterResetPending = false;
};
