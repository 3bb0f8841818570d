#include "cli/Tune.h"

#include "cli/CORVEffectChain.h"
#include "cli/CORVEffectStage.h"
#include "cli/CORVSoundFileReader.h"
#include "cli/CliError.h"
#include "cli/TextMatch.h"
#include "effects/modulation/CORVAutoTunerDSP.h"

#include <cstdio>

namespace {

constexpr int32_t kReadingFrames = CORVAutoTunerDSP::kSamplesPerReading;

EffectSpec TunerSpec(double a4)
{
    char value[32];
    std::snprintf(value, sizeof value, "%g", a4);
    return EffectSpec{"AT", {}, {{"A4", value}}, false};
}

void CheckInput(const CORVSoundFileReader& reader, const std::string& path)
{
    if (reader.Channels() < 1 || reader.Channels() > 2)
        throw CliError(text_match::ShownPath(path) + " has " + std::to_string(reader.Channels()) +
                       " channels; the tuner listens to mono or stereo");
    if (reader.SampleRate() < kMinSampleRate || reader.SampleRate() > kMaxSampleRate)
        throw CliError(text_match::ShownPath(path) + " has a sample rate of " + std::to_string(reader.SampleRate()) +
                       " Hz; the tuner runs at " + std::to_string(kMinSampleRate) + " .. " +
                       std::to_string(kMaxSampleRate) + " Hz");
}

TunerFrameReading ReadingOf(const CORVAutoTunerDSP& tuner, int64_t framesHeard, int32_t sampleRate)
{
    TunerFrameReading reading;
    reading.seconds = double(framesHeard) / sampleRate;
    reading.heard = tuner.HasReading();
    if (reading.heard) {
        reading.note = std::string(tuner.NoteName());
        reading.frequency = tuner.DetectedFrequency();
        reading.deviation = tuner.Deviation();
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
    CORVEffectStage stage(TunerSpec(request.a4), double(reader.SampleRate()),
                          StageSettings{CORVEffectChain::kDefaultTempo, CORVEffectChain::kMaxSliceFrames});
    const auto& tuner = dynamic_cast<const CORVAutoTunerDSP&>(stage.Algorithm());

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
