#pragma once
#include <string>

namespace lv2 {

// Writes the bundle's description (manifest.ttl, orvanta-stompset.ttl and
// presets.ttl) into folder for every available effect, from the catalogue
// and the algorithms' own parameter and preset tables.  False on a write error.
bool WriteBundleDescription(const std::string& folder);

} // namespace lv2
