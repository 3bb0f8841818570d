#pragma once
#include "dsp/CORVDSPAlgInterface.h"
#include "core/CORVEffectCatalogue.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lv2 {

// Where every plug-in of the bundle lives, and the one extra property its
// saved state carries.
inline constexpr const char* kBundleName = "orvanta-stompset.lv2";
inline constexpr const char* kBinaryName = "orvanta_stompset.so";
inline constexpr const char* kUiBinaryName = "orvanta_stompset_ui.so";
inline constexpr const char* kUriBase = "https://orvanta.audio/lv2/stompset/";
inline constexpr const char* kProjectUri = "https://orvanta.audio/lv2/stompset";
inline constexpr const char* kChunkPropertyUri = "https://orvanta.audio/lv2/stompset#chunk";

// The plug-in URI of an effect in its stereo or mono form, and of its UI.
std::string PluginUri(const CatalogueEntry& entry, bool mono);
std::string UiUri(const CatalogueEntry& entry, bool mono);

enum class PortKind {
    AudioIn,
    AudioOut,
    AtomIn,
    Enabled,
    Parameter,
    LevelOut,
    ReadingOut,
    TempoOut,   // the host tempo a tempo-synced effect follows, for its display
    TapOut,     // the tap-tempo state of an effect that taps
    LatencyOut, // the delay of the whole output, in samples
};

// One port of a plug-in.  The TTL generator and the plug-in itself both take
// the layout from here, so the description can never drift from the code.
struct PortInfo {
    uint32_t index = 0;
    PortKind kind = PortKind::Parameter;
    std::string symbol;
    std::string name;
    int channel = 0;             // audio and level ports
    bool inputLevel = false;     // level ports: input (true) or output (false)
    int32_t parameterIndex = 0;  // parameter ports
    // Parameter ports: the declared range, the parameter's own range widened
    // to take every factory preset value as published.
    float minimum = 0.0f;
    float maximum = 0.0f;
    const ReadingSpec* reading = nullptr; // reading ports: what the effect declared
};

// The ports of a plug-in for an algorithm's parameter table: audio in, audio
// out, the time-position input, the enable switch, one control per
// parameter, the level meters, and one output per reading the effect offers.
std::vector<PortInfo> DescribePorts(const CORVDSPAlgInterface& algorithm, bool mono);

// A port symbol made from a parameter name: lower case, runs of anything
// but letters and digits turned into one underscore.
std::string SymbolForName(const std::string& name);

} // namespace lv2
