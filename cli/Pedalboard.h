#pragma once
#include "cli/EffectSpec.h"

#include <vector>

// The demo's pedalboard in signal order: gate, drive, modulation, delay,
// reverb, cabinet.  Each stage is an effect argument as `render -e` takes it.
struct PedalboardStage {
    const char* effectArgument;
};

const std::vector<PedalboardStage>& DefaultPedalboard();

// The stages, parsed.
std::vector<EffectSpec> PedalboardRequests();
