#include "cli/Arguments.h"
#include "cli/CORVEffectChain.h"
#include "cli/CORVProgressBar.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/ParameterValues.h"
#include "cli/TextMatch.h"
#include "cli/Tune.h"

const char* const kTuneHelp = R"(Usage: stompset tune -i FILE [--a4 HZ]

Listens to an audio file with the tuner effect (AT - Auto Tuner) and prints
what its display would show after every analysis frame of 4096 samples:
the nearest note, the detected frequency and the deviation from the note.

Options:
  -i, --input FILE   the audio file (WAV, AIFF, FLAC or any other format
                     libsndfile reads); mono or stereo, 22050 .. 192000 Hz;
                     the tuner hears the sum of both channels
      --a4 HZ        the reference pitch of A4, 340 .. 500 (default 440)
  -h, --help         this text

Output, one line per frame:
  time        the end of the frame, in seconds from the start of the file
  note        the note's letter and octave, a sharp after the octave ("C 4#")
  frequency   the smoothed fundamental in Hz
  deviation   from the note, 50 units to a neighbouring note: -25 .. +25
              between the midpoints to the neighbours
A frame in which no pitch has been found yet shows "-" in every column.

Example:
  stompset tune -i low-e-string.wav --a4 442
)";

namespace {

// clang-format off
const std::vector<OptionSpec> kTuneOptions = {
    {"-i",    "--input", true},
    {nullptr, "--a4",    true},
};
// clang-format on

double ParseReference(const std::string& text)
{
    double a4 = 0.0;
    if (text.empty() || ParseDecimal(text, a4) != text.size())
        throw UsageError("--a4 takes a frequency in Hz, 340 .. 500, not " + text_match::Shown(text));
    return a4;
}

TuneRequest MakeTuneRequest(const ParsedArguments& parsed)
{
    if (!parsed.positionals.empty())
        throw UsageError("unexpected argument " + text_match::Shown(parsed.positionals.front()) +
                         " (see 'stompset tune --help')");
    if (!parsed.Has("--input"))
        throw UsageError("tune needs --input (see 'stompset tune --help')");
    TuneRequest request;
    request.inputPath = parsed.Value("--input");
    if (parsed.Has("--a4"))
        request.a4 = ParseReference(parsed.Value("--a4"));
    return request;
}

} // namespace

int RunTuneCommand(const std::vector<std::string>& args, const CommandContext& context)
{
    const ParsedArguments parsed = ParseArguments(args, kTuneOptions, "tune");
    if (parsed.help) {
        context.out << kTuneHelp;
        return 0;
    }
    const TuneRequest request = MakeTuneRequest(parsed);
    CORVProgressBar bar(context.err, "tuning", context.progress);
    bool headed = false;
    const auto print = [&](const TunerFrameReading& reading) {
        // The bar shares the terminal: clear it before each line.
        bar.Finish();
        if (!headed)
            context.out << TuneHeading() << "\n";
        headed = true;
        context.out << FormatReading(reading) << "\n";
    };
    const int64_t frames = TuneFile(request, print, [&bar](int64_t done, int64_t total) { bar.Update(done, total); });
    bar.Finish();
    if (!headed)
        context.out << "no analysis frame: the file is shorter than 4096 samples (" << frames << ")\n";
    return 0;
}
