#pragma once
#include "bench/lv2/PluginMeasurement.h"

#include <cstdio>
#include <string>
#include <vector>

namespace lv2bench {

// One effect: our plug-in (not valid while the effect is not in the bundle)
// and the installed peers that could be measured.
struct ComparisonRow {
    std::string shortName;
    Measurement ours;
    std::vector<Measurement> peers;
};

// Prints Markdown: every plug-in's figures per effect, then per effect our
// figures against the fastest peer's and whether ours keeps up.
void PrintReport(std::FILE* out, const std::vector<ComparisonRow>& rows);

} // namespace lv2bench
