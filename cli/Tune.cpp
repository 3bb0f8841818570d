#include "cli/Tune.h"

#include "cli/CORVEffectChain.h"
#include "cli/CORVEffectStage.h"
#include "cli/CORVSoundFileReader.h"
#include "cli/CliError.h"
#include "cli/ParameterValues.h"
#include "cli/TextMatch.h"
#include "effects/modulation/CORVAutoTunerDSP.h"

#include <cstdio>

namespace {

constexpr int32_t kReadingFrames = CORVAutoTunerDSP::kSamplesPerReading;

const EffectSpec kTunerSpec{"AT", {}, {}, false};

TunerFrameReading ReadingOf(const CORVDSPAlgInterface& tuner, int64_t framesHeard, int32_t sampleRate)
{
    TunerFrameReading reading;
    reading.seconds = double(framesHeard) / sampleRate;
    const float note = tuner.Read(ReadingKind::TunerNote);
    reading.heard = note >= 0.0f;
    if (reading.heard) {
        reading.note = std::string(CPitchAnalyser::NameOf(int32_t(note)).View());
        reading.frequency = tuner.Read(ReadingKind::TunerFrequency);
        reading.deviation = tuner.Read(ReadingKind::TunerDeviation);
    }
    return reading;
}

} // namespace

int64_t TuneFile(const TuneRequest& request, const TunerReadingSink& sink, const RenderProgress& progress)
{
    CORVSoundFileReader reader(request.inputPath);
    CheckInput(reader, request.inputPath);
    // Whole frames at a time: each chunk ends exactly where the tuner
    // finishes a frame, so its reading is fresh after every chunk.
    CORVEffectStage stage(kTunerSpec, double(reader.SampleRate()),
                          StageSettings{CORVEffectChain::kDefaultTempo, CORVEffectChain::kMaxSliceFrames});
    const CORVDSPParameter& a4 = *stage.Algorithm().GetParameter(CORVAutoTunerDSP::kA4);
    if (!(request.a4 >= double(a4.minValue) && request.a4 <= double(a4.maxValue)))
        throw UsageError("A4 of " + FormatNumber(float(request.a4)) + " Hz is outside " + RangeText(a4));
    stage.SetPlainValue(CORVAutoTunerDSP::kA4, float(request.a4));
    const CORVDSPAlgInterface& tuner = stage.Algorithm();

    std::vector<std::vector<float>> channels;
    float* pointers[2] = {};
    int64_t heard = 0;
    while (const int32_t frames = reader.Read(channels, kReadingFrames)) {
        for (int32_t c = 0; c < reader.Channels(); ++c)
            pointers[c] = channels[size_t(c)].data();
        stage.Process(pointers, reader.Channels(), frames);
        heard += frames;
        if (frames == kReadingFrames)
            sink(ReadingOf(tuner, heard, reader.SampleRate()));
        if (progress)
            progress(heard, reader.Frames());
    }
    return heard;
}

std::string TuneHeading() { return "    time  note   frequency  deviation"; }

std::string FormatReading(const TunerFrameReading& reading)
{
    char line[96];
    if (reading.heard)
        std::snprintf(line, sizeof line, "%8.3f  %-4s %9.2f Hz  %+9.1f", reading.seconds, reading.note.c_str(),
                      reading.frequency, reading.deviation);
    else
        std::snprintf(line, sizeof line, "%8.3f  %-4s %12s  %9s", reading.seconds, "-", "-", "-");
    return line;
}
