#pragma once
#include "core/CORVEffectCatalogue.h"

#include <string>
#include <string_view>

// Finds an effect of the catalogue by what a user types: its short name
// ("OD"), its long name ("OD - Overdrive"), the name part of the long name
// ("Overdrive") or its identifier ("110"), case ignored.  Throws a CliError
// that names the close matches when nothing fits.
const CatalogueEntry& FindEffect(std::string_view text);

// The host category bits as words: "modulation", "sound field", "none".
std::string CategoryName(uint32_t category);
