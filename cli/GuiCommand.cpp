#include "cli/Arguments.h"
#include "cli/PedalEditor.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "platform/TickCount.h"
#include "ui/editor/CORVEffectCustomUI.h"
#include "ui/editor/CORVIdleTimer.h"

#include <chrono>
#include <cstdlib>
#include <thread>

const char* const kGuiHelp = R"(Usage: stompset gui EFFECT [--scale 2]

Opens a pedal's editor in a window on the desktop, over an effect instance in
this program: the knobs, switches, menus and display work as in a host, and
the preset menu reads and writes your real user preset file.  No audio runs.
Close the window to end the program.

EFFECT is an effect argument as 'stompset render -e' takes it, for example
OD, "CH - Chorus" or OD:preset=Crunch:Drive=70.

Options:
      --scale N   1, or 2 for a high-density screen (twice the pixels)
  -h, --help      this text

Needs an X display (the DISPLAY environment variable).
)";

namespace {

// How often the window's events are looked at; the editor's own timers run
// at their own pace on top.
constexpr auto kEventPoll = std::chrono::milliseconds(10);

} // namespace

int RunGuiCommand(const std::vector<std::string>& args, const CommandContext& context)
{
    const ParsedArguments parsed = ParseArguments(args, {{nullptr, "--scale", true}}, "gui");
    if (parsed.help) {
        context.out << kGuiHelp;
        return 0;
    }
    if (parsed.positionals.size() != 1)
        throw UsageError("gui takes one effect (see 'stompset gui --help')");
    const int scale = ParseScale(parsed.Value("--scale", "1"));
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        throw CliError("no X display to open a window on (DISPLAY is not set)");

    PedalEditor editor(ParseEffectSpec(parsed.positionals.front()), scale);
    CORVEffectCustomUI& view = editor.View();
    if (!view.OpenWindow(VSTGUI::CFrame::kTopLevelWindow))
        throw CliError(std::string("could not open a window on display ") + display);
    VSTGUI::CFrame* frame = view.Editor().getFrame();
    while (frame && !frame->isCloseRequested()) {
        frame->handleEvents();
        CORVIdleTimer::fireDue(platform::TickCount());
        std::this_thread::sleep_for(kEventPoll);
        frame = view.Editor().getFrame();
    }
    view.CloseWindow();
    return 0;
}
