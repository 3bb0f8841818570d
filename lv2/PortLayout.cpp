#include "lv2/PortLayout.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace lv2 {

std::string PluginUri(const CatalogueEntry& entry, bool mono)
{
    return std::string(kUriBase) + entry.shortName + (mono ? "-mono" : "");
}

std::string UiUri(const CatalogueEntry& entry, bool mono) { return PluginUri(entry, mono) + "#ui"; }

std::string SymbolForName(const std::string& name)
{
    std::string symbol;
    for (unsigned char c : name) {
        if (std::isalnum(c))
            symbol += char(std::tolower(c));
        else if (!symbol.empty() && symbol.back() != '_')
            symbol += '_';
    }
    while (!symbol.empty() && symbol.back() == '_')
        symbol.pop_back();
    if (symbol.empty() || std::isdigit(static_cast<unsigned char>(symbol.front())))
        symbol = "p_" + symbol;
    return symbol;
}

namespace {

// A few factory presets deliberately sit just outside their knob's travel
// (a delay's "Stereo" of -18, a phaser's "Rate" of 0).  The port declares
// the parameter's range widened to every such value, so a host that keeps
// preset values inside the declared range still plays them as published.
void DeclareRange(PortInfo& port, const CORVDSPAlgInterface& algorithm, const CORVDSPParameter& parameter,
                  size_t position)
{
    port.minimum = parameter.minValue;
    port.maximum = parameter.maxValue;
    for (const auto& [index, preset] : algorithm.presets) {
        if (preset->values.size() != algorithm.parameters.size())
            continue;
        port.minimum = std::min(port.minimum, preset->values[position]);
        port.maximum = std::max(port.maximum, preset->values[position]);
    }
}

} // namespace

std::vector<PortInfo> DescribePorts(const CORVDSPAlgInterface& algorithm, bool mono)
{
    std::vector<PortInfo> ports;
    std::set<std::string> used;
    auto add = [&](PortInfo port) {
        // Two parameters whose names reduce alike still get distinct symbols.
        std::string symbol = port.symbol;
        for (int suffix = 2; used.count(symbol); ++suffix)
            symbol = port.symbol + "_" + std::to_string(suffix);
        port.symbol = symbol;
        used.insert(symbol);
        port.index = uint32_t(ports.size());
        ports.push_back(std::move(port));
    };

    const int channels = mono ? 1 : 2;
    const char* sides[2] = {"_l", "_r"};
    const char* sideNames[2] = {" L", " R"};
    for (PortKind kind : {PortKind::AudioIn, PortKind::AudioOut}) {
        const bool in = kind == PortKind::AudioIn;
        for (int c = 0; c < channels; ++c) {
            PortInfo port;
            port.kind = kind;
            port.channel = c;
            port.symbol = std::string(in ? "in" : "out") + (mono ? "" : sides[c]);
            port.name = std::string(in ? "In" : "Out") + (mono ? "" : sideNames[c]);
            add(port);
        }
    }
    add(PortInfo{0, PortKind::AtomIn, "control", "Control", 0, false, 0});
    add(PortInfo{0, PortKind::Enabled, "enabled", "Enabled", 0, false, 1});
    size_t position = 0;
    for (const auto& [index, parameter] : algorithm.parameters) {
        PortInfo port;
        port.kind = PortKind::Parameter;
        port.symbol = SymbolForName(parameter->name);
        port.name = parameter->name;
        port.parameterIndex = index;
        DeclareRange(port, algorithm, *parameter, position++);
        add(port);
    }
    for (bool input : {true, false}) {
        for (int c = 0; c < channels; ++c) {
            PortInfo port;
            port.kind = PortKind::LevelOut;
            port.channel = c;
            port.inputLevel = input;
            port.symbol = std::string(input ? "level_in" : "level_out") + (mono ? "" : sides[c]);
            port.name = std::string(input ? "Input level" : "Output level") + (mono ? "" : sideNames[c]);
            add(port);
        }
    }
    for (const ReadingSpec& reading : algorithm.Readings()) {
        PortInfo port;
        port.kind = PortKind::ReadingOut;
        port.reading = &reading;
        port.symbol = reading.symbol;
        port.name = reading.name;
        add(port);
    }
    // What the pedal's display shows beside its parameters.
    if (algorithm.FindRole(ParameterRole::SyncCoeff))
        add(PortInfo{0, PortKind::TempoOut, "host_tempo", "Host tempo"});
    if (algorithm.FindRole(ParameterRole::Tap))
        add(PortInfo{0, PortKind::TapOut, "tap_state", "Tap state"});
    add(PortInfo{0, PortKind::LatencyOut, "latency", "Latency"});
    return ports;
}

} // namespace lv2
