#pragma once
#include "dsp/CORVParRelations.h"

// "LC - Level Control": a master gain and a routing stage.  Each input channel
// is placed between the two outputs; "Wide" widens the image by subtracting
// part of the opposite channel.  The stage has no memory.
class CORVLevelControlDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kGain = 2,
        kLeft = 3,
        kRight = 4,
        kStereoMode = 5,
    };

    CORVLevelControlDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    // out = gain x (fromLeft x left input + fromRight x right input), per output.
    struct Mix {
        float fromLeft;
        float fromRight;
    };

    float leftKeep = 1.0f;
    float rightShare = 1.0f;
    bool wide = false;
    float gain = 1.0f;
    Mix toLeft{1.0f, 0.0f};
    Mix toRight{0.0f, 1.0f};
};
