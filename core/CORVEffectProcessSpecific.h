#pragma once
#include "core/CORVEffectProcess.h"

// The effect instance that knows the catalogue: it makes the algorithm of its
// effect identifier, prepares it for the host's sample rate, adds the effect's
// user presets after the factory ones and applies the "Default" preset.
class CORVEffectProcessSpecific : public CORVEffectProcess {
protected:
    // Throws std::invalid_argument for an effect that is unknown; the
    // creation functions never ask for one.
    explicit CORVEffectProcessSpecific(int32_t effectId);
};
