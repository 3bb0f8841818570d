#pragma once
#include "core/CORVEffectCatalogue.h"
#include "core/CORVEffectProcessAS.h"

#include <memory>

// An initialised offline instance of an available effect, made the way a
// host makes one: through the plug-in entry, the group and the effect's
// offline type.  Throws a CliError when the effect is not available.
std::unique_ptr<CORVEffectProcessAS> MakeOfflineInstance(const CatalogueEntry& entry, double sampleRate);
