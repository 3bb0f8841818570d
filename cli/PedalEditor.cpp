#include "cli/PedalEditor.h"

#include "cli/CliError.h"
#include "cli/TextMatch.h"
#include "ui/editor/CORVEffectCustomUI.h"

namespace {

// The pedal never plays; its instance only needs a rate and a tempo.
constexpr double kPedalRate = 48000.0;
constexpr StageSettings kPedalStageSettings{120.0, 2048};

} // namespace

PedalEditor::PedalEditor(const EffectSpec& pedal, int scale) : stage(pedal, kPedalRate, kPedalStageSettings)
{
    RegisterStompBoxEditor();
    view = dynamic_cast<CORVEffectCustomUI*>(stage.Instance().CreateView());
    if (!view)
        throw CliError("the editor of " + std::string(stage.Entry().longName) + " could not be made");
    view->SetScale(scale);
}

int ParseScale(const std::string& text)
{
    if (text == "1" || text == "2")
        return text == "1" ? 1 : 2;
    throw UsageError("--scale takes 1 or 2, not " + text_match::Shown(text));
}
