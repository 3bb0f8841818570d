#include "cli/Arguments.h"
#include "cli/CORVEffectChain.h"
#include "cli/CORVProgressBar.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/ParameterValues.h"
#include "cli/Render.h"
#include "cli/TextMatch.h"

#include <charconv>

const char* const kRenderHelp = R"(Usage: stompset render -i IN -o OUT -e EFFECT[:SETTING]... [-e ...] [options]

Processes an audio file offline through a chain of effects, in the order the
-e options are given, the way a host's offline (AudioSuite) processing does.

Options:
  -i, --input FILE     the audio file to process (WAV, AIFF, FLAC or any other
                       format libsndfile reads); mono or stereo, 22050 .. 192000 Hz
  -o, --output FILE    the result, with the input's sample rate and channel
                       count; the type follows the extension: .wav (also when
                       there is none), .aiff or .aif, .flac
  -e, --effect STAGE   one effect of the chain with its settings (below);
                       repeat for more
      --tempo BPM      the host tempo tempo-synced effects follow (1 .. 999,
                       default 120)
      --block N        longest slice processed at once, 1 .. 2048 frames
                       (default 2048); the result then matches a real-time
                       host running with blocks of N frames
      --format F       sample format: float (default for WAV and AIFF), pcm16
                       or pcm24 (default for FLAC, which has no float samples)
  -h, --help           this text

Effect settings, separated by colons:
  EFFECT               short name ("TR"), long name ("TR - Tremolo"), the name
                       part ("Tremolo") or the identifier (180)
  preset=NAME          a factory or user preset ('stompset presets') by name
                       or index, applied before the settings
  PARAM=VALUE          a parameter by name (case ignored) or index; VALUE in
                       the parameter's unit ("Tempo=240", "Depth=35%"), an
                       entry of a list ("Sync coeff=1/8", "Wave shape=Sinusoidal"),
                       "-Inf" or "Off" where the parameter shows them
  bypass               the effect's foot switch off: its input passes unchanged
'stompset info EFFECT' lists the parameters, entries and presets.

Output:
  A progress bar on standard error when it is a terminal, and one summary
  line: frames and seconds, each effect's loudest input and output peak in
  dBFS, with the number of non-finite (NaN or infinite) samples that went
  in and came out when there were any, and the processing speed as a
  multiple of real time.
  The output file appears only when complete; on any error nothing is left,
  and an existing file keeps its permissions.  OUT may not be IN.  A link
  is followed and its target replaced; a device or FIFO ("-o /dev/null") is
  written directly.

Example:
  stompset render -i riff.wav -o riff-fx.flac --tempo 96 \
      -e "TR:preset=Fast tremolo:Depth=50" -e "AP:Sync coeff=1/4"
)";

namespace {

// clang-format off
const std::vector<OptionSpec> kRenderOptions = {
    {"-i",    "--input",  true},
    {"-o",    "--output", true},
    {"-e",    "--effect", true, true},
    {nullptr, "--tempo",  true},
    {nullptr, "--block",  true},
    {nullptr, "--format", true},
};
// clang-format on

double ParseTempo(const std::string& text)
{
    double tempo = 0.0;
    if (text.empty() || ParseDecimal(text, tempo) != text.size())
        throw UsageError("--tempo takes a number of beats per minute, not " + text_match::Shown(text));
    return tempo;
}

int32_t ParseBlock(const std::string& text)
{
    int32_t frames = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), frames);
    if (error != std::errc() || end != text.data() + text.size())
        throw UsageError("--block takes a number of frames, 1 .. " + std::to_string(CORVEffectChain::kMaxSliceFrames) +
                         ", not " + text_match::Shown(text));
    return frames;
}

std::string RequiredValue(const ParsedArguments& parsed, const std::string& option)
{
    if (!parsed.Has(option))
        throw UsageError("render needs " + option + " (see 'stompset render --help')");
    return parsed.Value(option);
}

RenderRequest MakeRequest(const ParsedArguments& parsed)
{
    if (!parsed.positionals.empty())
        throw UsageError("unexpected argument " + text_match::Shown(parsed.positionals.front()) +
                         " (see 'stompset render --help')");
    RenderRequest request;
    request.inputPath = RequiredValue(parsed, "--input");
    request.outputPath = RequiredValue(parsed, "--output");
    for (const std::string& effect : parsed.Values("--effect"))
        request.effects.push_back(ParseEffectSpec(effect));
    request.settings.tempo =
        parsed.Has("--tempo") ? ParseTempo(parsed.Value("--tempo")) : CORVEffectChain::kDefaultTempo;
    request.settings.sliceFrames =
        parsed.Has("--block") ? ParseBlock(parsed.Value("--block")) : CORVEffectChain::kMaxSliceFrames;
    if (parsed.Has("--format"))
        request.sampleFormat = ParseSampleFormat(parsed.Value("--format"));
    return request;
}

} // namespace

int RunRenderCommand(const std::vector<std::string>& args, const CommandContext& context)
{
    const ParsedArguments parsed = ParseArguments(args, kRenderOptions, "render");
    if (parsed.help) {
        context.out << kRenderHelp;
        return 0;
    }
    const RenderRequest request = MakeRequest(parsed);
    CORVProgressBar bar(context.err, "rendering", context.progress);
    const RenderSummary summary = RenderFile(request, [&bar](int64_t done, int64_t total) { bar.Update(done, total); });
    bar.Finish();
    context.out << FormatSummary(summary) << "\n";
    return 0;
}
