#include "cli/Arguments.h"
#include "cli/CORVProgressBar.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/Demo.h"
#include "cli/EffectLookup.h"
#include "cli/Pedalboard.h"
#include "cli/TextMatch.h"

const char* const kDemoHelp = R"(Usage: stompset demo [--out DIR]

Needs no input: synthesises a ten-second electric-guitar riff (plucked
strings with a pick position and a body and pickup tone, power chords and
single notes at 120 BPM, the same every time), writes it as a stereo 48 kHz
32-bit float WAV file, demo-dry.wav, and renders it through the default
pedalboard into demo-wet.wav; draws the pedalboard's pedals as they are set
into demo-pedalboard.png.  Prints the three paths and the render summary.

The pedalboard, in signal order: noise gate, overdrive, chorus, tremolo, auto
pan, BPM delay, reverb, guitar speaker simulator.

Options:
      --out DIR        the folder for the three files, created when missing
                       (default: the current folder)
  -h, --help           this text
)";

namespace {

constexpr const char* kDefaultFolder = ".";

std::string StageList()
{
    std::string list;
    for (const EffectSpec& request : PedalboardRequests())
        list += (list.empty() ? "" : ", ") + std::string(FindEffect(request.effect).shortName);
    return list;
}

} // namespace

int RunDemoCommand(const std::vector<std::string>& args, const CommandContext& context)
{
    const ParsedArguments parsed = ParseArguments(args, {{nullptr, "--out", true}}, "demo");
    if (parsed.help) {
        context.out << kDemoHelp;
        return 0;
    }
    if (!parsed.positionals.empty())
        throw UsageError("unexpected argument " + text_match::Shown(parsed.positionals.front()) +
                         " (see 'stompset demo --help')");
    CORVProgressBar bar(context.err, "rendering the demo", context.progress);
    const DemoResult result = RunDemo(parsed.Value("--out", kDefaultFolder),
                                      [&bar](int64_t done, int64_t total) { bar.Update(done, total); });
    bar.Finish();

    context.out << "dry: " << result.dryPath << "\n"
                << "wet: " << result.wetPath << " (through " << StageList() << ")\n"
                << "pedals: " << result.sheetPath << "\n"
                << FormatSummary(result.summary) << "\n";
    return 0;
}
