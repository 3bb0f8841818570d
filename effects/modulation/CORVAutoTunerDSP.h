#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/modulation/CPitchAnalyser.h"

#include <memory>
#include <string_view>
#include <vector>

// "AT - Auto Tuner": passes the audio through unchanged and, every 4096
// samples, analyses the mono sum for its pitch.  The results are read by the
// panel and by the plug-in's output ports; "Tone Frequency" carries the
// detected frequency as its value.
class CORVAutoTunerDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kA4 = 2,
        kToneFrequency = 3,
    };

    // A reading is ready after every this many input samples.
    static constexpr int32_t kSamplesPerReading = 4096;

    CORVAutoTunerDSP(double sampleRate, uint32_t maxFrames);
    ~CORVAutoTunerDSP() override;

    void UpdateParameters(bool reinitialise) override;
    // Forgets what was heard: the frame being collected, the analyser's
    // track and the readings.  The collection goes on where it was.
    void Reset() override;
    float Read(ReadingKind kind) const override;

    // The last frame's results: the nearest note's name ("A 4", empty below
    // C0 or before the first frame), its octave, the smoothed frequency in Hz
    // and the deviation from the note (50 units to a neighbouring note, the
    // panel's cents).  HasReading is false until a frequency has been found.
    std::string_view NoteName() const { return noteName.View(); }
    int32_t Octave() const;
    float DetectedFrequency() const { return detectedFrequency; }
    float Deviation() const { return deviation; }
    bool HasReading() const { return detectedFrequency > 0.0f && noteIndex >= 0; }
    int32_t NoteIndex() const { return noteIndex; }

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    void AnalyseFrame();

    std::vector<float> frame;
    int32_t frameLength = 0;
    int32_t writePosition = 0;
    NoteText noteName;
    int32_t noteIndex = -1;
    float detectedFrequency = 0.0f;
    float deviation = 0.0f;
    std::unique_ptr<CPitchAnalyser> analyser;
};
