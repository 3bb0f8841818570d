#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/common/DynamicsBlocks.h"

// "NG - Noise Gate": mutes both channels while the smoothed power stays below
// the threshold and opens with an attack glide, closing with a release glide.
// "Learn" measures the input for one second and sets the threshold to the
// peak level it saw.
class CORVNoiseGateDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kThresholdLevel = 2,
        kAttack = 3,
        kRelease = 4,
        kLearn = 5,
    };

    CORVNoiseGateDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;
    float Read(ReadingKind kind) const override;

    // What the panel shows: the gate shut (gain below 0.001) and a learn
    // cycle running, as of the end of the last block.
    bool Closed() const { return closed; }
    bool Measuring() const { return measuring; }
    int32_t LearnCounter() const { return learnCounter; }
    float Envelope() const { return envelope; }
    float Gain() const { return glide.gain; }

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    void Learn(float power);
    void FinishLearning();

    float envelopeCoefficient = 0.0f;
    float envelopeKeep = 1.0f;
    float envelope = 0.0f;
    GainGlide glide;
    float thresholdPower = 0.0f;
    bool closed = false;
    bool measuring = false;
    int32_t learnCounter = 0;
    float learnPeak = 0.0f;
};
