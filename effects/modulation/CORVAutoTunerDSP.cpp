#include "effects/modulation/CORVAutoTunerDSP.h"

#include "dsp/FourCC.h"

#include <algorithm>

namespace {

// The extra sample of a frame is the analyser's.
constexpr int32_t kFrameLength = CORVAutoTunerDSP::kSamplesPerReading + 1;
constexpr int32_t kSemitones = 12;

// What the tuner shows: the note, the frequency and how far off it is.
constexpr ReadingSpec kTunerReadings[] = {
    // kind                        symbol       name         min    max     idle   integer unit  comment
    {ReadingKind::TunerNote,      "note",      "Note",      -1.0f, 131.0f, -1.0f, true,   nullptr,
     "Semitones from C0 (A4 is 57); -1 while nothing is heard"},
    {ReadingKind::TunerFrequency, "frequency", "Frequency", 0.0f,  5000.0f, 0.0f, false,  "Hz", nullptr},
    {ReadingKind::TunerDeviation, "deviation", "Deviation", -50.0f, 50.0f, 0.0f,  false,  nullptr,
     "Distance from the note, 50 to the neighbouring note"},
};

} // namespace

CORVAutoTunerDSP::CORVAutoTunerDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVParRelations(sampleRate_, maxFrames_)
{
    longName = "AT - Auto Tuner";
    shortName = "AT";
    fourCC = FourCC("atu1");

    AddParameters({
        // index         name              texts   min     max       step  default  scale
        {kA4,            "A4",             {"Hz"}, 340.0f, 500.0f,   1.0f, 440.0f,  ScaleLinear},
        {kToneFrequency, "Tone Frequency", {"Hz"}, 20.0f,  20000.0f, 1.0f, 440.0f,  ScaleLinear},
    });
    AddPresets({
        // preset     A4      Tone Frequency
        {"Default", {440.0f, 440.0f}},
    });
    DeclareReadings(kTunerReadings);
    ApplyPreset("Default");
    UpdateParameters(true);
}

CORVAutoTunerDSP::~CORVAutoTunerDSP() = default;

int32_t CORVAutoTunerDSP::Octave() const { return noteIndex >= 0 ? noteIndex / kSemitones : 0; }

void CORVAutoTunerDSP::UpdateParameters(bool reinitialise)
{
    const float a4 = Value(kA4);
    if (reinitialise) {
        frameLength = kFrameLength;
        writePosition = 0;
        frame.assign(size_t(frameLength), 0.0f);
        analyser.reset();
        analyser = std::make_unique<CPitchAnalyser>(frameLength, int32_t(sampleRate));
        Reset();
        needsReinit = false;
    }
    analyser->SetReference(a4);
    parametersChanged = false;
}

void CORVAutoTunerDSP::Reset()
{
    std::fill(frame.begin(), frame.end(), 0.0f);
    analyser->Reset();
    detectedFrequency = 0.0f;
    deviation = 0.0f;
    noteName = {};
    noteIndex = -1;
}

void CORVAutoTunerDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    const int32_t collected = frameLength - 1;
    for (int32_t start = 0; start < frameCount;) {
        const int32_t count = std::min(frameCount - start, collected - writePosition);
        const float* inLeft = inputs[0] + start;
        const float* inRight = inputs[1] + start;
        float* outLeft = outputs[0] + start;
        float* outRight = outputs[1] + start;
        float* target = &frame[size_t(writePosition)];
        for (int32_t i = 0; i < count; ++i) {
            const float left = inLeft[i];
            const float right = inRight[i];
            target[i] = left + right;
            outLeft[i] = left;
            outRight[i] = right;
        }
        start += count;
        writePosition += count;
        if (writePosition >= collected) {
            AnalyseFrame();
            writePosition = 0;
        }
    }
}

void CORVAutoTunerDSP::AnalyseFrame()
{
    detectedFrequency = analyser->Analyse(frame.data());
    GetParameter(kToneFrequency)->SetValue(detectedFrequency);
    noteName = analyser->NoteNameText();
    noteIndex = analyser->NoteIndex();
    deviation = analyser->Deviation();
}

float CORVAutoTunerDSP::Read(ReadingKind kind) const
{
    const bool heard = HasReading();
    switch (kind) {
    case ReadingKind::TunerNote: return heard ? float(noteIndex) : -1.0f;
    case ReadingKind::TunerFrequency: return heard ? detectedFrequency : 0.0f;
    case ReadingKind::TunerDeviation: return heard ? deviation : 0.0f;
    default: return 0.0f;
    }
}
