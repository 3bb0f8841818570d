#pragma once
#include "cli/CORVEffectStage.h"
#include "cli/EffectSpec.h"

#include <string>

class CORVEffectCustomUI;

// A pedal as `snapshot` draws it and `gui` shows it: an offline instance
// set up as an effect argument says, with its editor at a scale of 1 or 2.
// The editor is the instance's, so it goes with the instance.
class PedalEditor {
public:
    // Throws a CliError for an unknown effect, preset, parameter or value,
    // and when the effect has no editor.
    PedalEditor(const EffectSpec& pedal, int scale);
    CORVEffectCustomUI& View() { return *view; }
    const CatalogueEntry& Entry() const { return stage.Entry(); }

private:
    CORVEffectStage stage;
    CORVEffectCustomUI* view = nullptr;
};

// The value of --scale: 1 or 2; anything else is a usage error.
int ParseScale(const std::string& text);
