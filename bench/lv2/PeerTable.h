#pragma once
#include <string>
#include <vector>

namespace lv2bench {

// A control set away from its default for a fair comparison, by port symbol
// (LV2) or port name (LADSPA).
struct PortSetting {
    std::string symbol;
    float value;
};

// A plug-in from another collection that does the same job as one of ours:
// an LV2 URI, or "ladspa:<library file>:<label>" for a LADSPA plug-in.
struct PeerPlugin {
    std::string uri;
    std::vector<PortSetting> settings;
};

// An effect of the stomp set, by its short name, and the installed plug-ins
// it is measured against; ours takes the same kind of fairness settings as
// the peers.
struct EffectComparison {
    const char* shortName;
    std::vector<PeerPlugin> peers;
    std::vector<PortSetting> ours = {};
};

// Every effect of the set with its peers from Debian's plug-in packages; peers
// that are not installed are skipped when the benchmark runs.
const std::vector<EffectComparison>& PeerTable();

} // namespace lv2bench
