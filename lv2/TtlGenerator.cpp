#include "lv2/TtlGenerator.h"

#include "lv2/PortLayout.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace lv2 {
namespace {

constexpr const char* kPrefixes =
    "@prefix atom:  <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix opts:  <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix time:  <http://lv2plug.in/ns/ext/time#> .\n"
    "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix log:   <http://lv2plug.in/ns/ext/log#> .\n"
    "@prefix work:  <http://lv2plug.in/ns/ext/worker#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n\n";

constexpr int kMinorVersion = 0;
constexpr int kMicroVersion = 6;
constexpr int32_t kTunerEffectId = 10;
constexpr float kLevelMaximum = 1.5f;
constexpr int kLatencyMaximum = 4096;

// A decimal literal: the shortest text that reads back as the same float.
std::string Number(float value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    std::string number(text, result.ptr);
    if (number.find('.') == std::string::npos)
        number += ".0";
    return number;
}

std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string PluginClass(const CatalogueEntry& entry)
{
    if (entry.effectId == kTunerEffectId)
        return "lv2:AnalyserPlugin";
    switch (entry.category) {
    case kCategoryEQ: return "lv2:EQPlugin";
    case kCategoryDynamics: return "lv2:DynamicsPlugin";
    case kCategoryPitchShift: return "lv2:PitchPlugin";
    case kCategoryReverb: return "lv2:ReverbPlugin";
    case kCategoryDelay: return "lv2:DelayPlugin";
    case kCategoryModulation: return "lv2:ModulatorPlugin";
    case kCategoryHarmonic: return "lv2:DistortionPlugin";
    case kCategorySoundField: return "lv2:SpatialPlugin";
    default: return "lv2:UtilityPlugin";
    }
}

std::string UnitFor(const std::string& unit)
{
    if (unit == "dB") return "units:db";
    if (unit == "Hz") return "units:hz";
    if (unit == "ms") return "units:ms";
    if (unit == "s") return "units:s";
    if (unit == "%") return "units:pc";
    if (unit == "BPM") return "units:bpm";
    return {};
}

void WriteParameterPort(std::ostream& out, const PortInfo& port, const CORVDSPParameter& parameter)
{
    const float defaultValue = std::clamp(parameter.defaultValue, parameter.minValue, parameter.maxValue);
    out << "        lv2:default " << Number(defaultValue) << " ;\n"
        << "        lv2:minimum " << Number(port.minimum) << " ;\n"
        << "        lv2:maximum " << Number(port.maximum);
    if (parameter.role == ParameterRole::Tempo)
        out << " ;\n        lv2:designation time:beatsPerMinute";
    // A logarithmic scale cannot reach a declared minimum of zero.
    if (parameter.scaleType == ScaleLog && port.minimum > 0.0f)
        out << " ;\n        lv2:portProperty pprops:logarithmic";
    if (parameter.scaleType == ScaleList) {
        out << " ;\n        lv2:portProperty lv2:integer, lv2:enumeration";
        for (size_t k = 0; k < parameter.valueTexts.size(); ++k)
            out << " ;\n        lv2:scalePoint [ rdfs:label " << Quoted(parameter.valueTexts[k])
                << " ; rdf:value " << Number(float(k)) << " ]";
    } else if (parameter.scaleType != ScaleTwoSided && !parameter.valueTexts.empty()) {
        if (const std::string unit = UnitFor(parameter.valueTexts[0]); !unit.empty())
            out << " ;\n        units:unit " << unit;
    }
}

void WriteReadingPort(std::ostream& out, const ReadingSpec& reading)
{
    out << "        a lv2:ControlPort, lv2:OutputPort ;\n";
    if (reading.integer)
        out << "        lv2:portProperty lv2:integer ;\n";
    if (reading.unit)
        out << "        units:unit units:" << (std::string(reading.unit) == "Hz" ? "hz" : reading.unit) << " ;\n";
    if (reading.comment)
        out << "        rdfs:comment " << Quoted(reading.comment) << " ;\n";
    out << "        lv2:default " << Number(reading.idle) << " ; lv2:minimum " << Number(reading.minimum)
        << " ; lv2:maximum " << Number(reading.maximum) << " ;\n";
}

void WritePort(std::ostream& out, const PortInfo& port, const CORVDSPAlgInterface& algorithm)
{
    out << "    [\n";
    switch (port.kind) {
    case PortKind::AudioIn: out << "        a lv2:AudioPort, lv2:InputPort ;\n"; break;
    case PortKind::AudioOut: out << "        a lv2:AudioPort, lv2:OutputPort ;\n"; break;
    case PortKind::AtomIn:
        out << "        a atom:AtomPort, lv2:InputPort ;\n"
            << "        atom:bufferType atom:Sequence ;\n"
            << "        atom:supports time:Position ;\n"
            << "        lv2:designation lv2:control ;\n"
            << "        lv2:portProperty lv2:connectionOptional ;\n";
        break;
    case PortKind::Enabled:
        out << "        a lv2:ControlPort, lv2:InputPort ;\n"
            << "        lv2:designation lv2:enabled ;\n"
            << "        lv2:portProperty lv2:toggled, lv2:integer ;\n"
            << "        lv2:default 1 ; lv2:minimum 0 ; lv2:maximum 1 ;\n";
        break;
    case PortKind::Parameter: out << "        a lv2:ControlPort, lv2:InputPort ;\n"; break;
    case PortKind::ReadingOut: WriteReadingPort(out, *port.reading); break;
    case PortKind::LevelOut:
        out << "        a lv2:ControlPort, lv2:OutputPort ;\n"
            << "        lv2:default 0.0 ; lv2:minimum 0.0 ; lv2:maximum " << Number(kLevelMaximum) << " ;\n";
        break;
    case PortKind::TempoOut:
        out << "        a lv2:ControlPort, lv2:OutputPort ;\n"
            << "        lv2:default 120.0 ; lv2:minimum 1.0 ; lv2:maximum 1000.0 ;\n"
            << "        units:unit units:bpm ;\n";
        break;
    case PortKind::TapOut:
        out << "        a lv2:ControlPort, lv2:OutputPort ;\n"
            << "        lv2:portProperty lv2:integer ;\n"
            << "        lv2:default 0 ; lv2:minimum 0 ; lv2:maximum 1 ;\n";
        break;
    case PortKind::LatencyOut:
        out << "        a lv2:ControlPort, lv2:OutputPort ;\n"
            << "        lv2:designation lv2:latency ;\n"
            << "        lv2:portProperty lv2:reportsLatency, lv2:integer ;\n"
            << "        units:unit units:frame ;\n"
            << "        lv2:default 0 ; lv2:minimum 0 ; lv2:maximum " << kLatencyMaximum << " ;\n";
        break;
    }
    out << "        lv2:index " << port.index << " ;\n"
        << "        lv2:symbol " << Quoted(port.symbol) << " ;\n"
        << "        lv2:name " << Quoted(port.name);
    if (port.kind == PortKind::Parameter)
        WriteParameterPort(out << " ;\n", port, *algorithm.GetParameter(port.parameterIndex));
    out << "\n    ]";
}

void WritePlugin(std::ostream& out, const CatalogueEntry& entry, bool mono, const CORVDSPAlgInterface& algorithm)
{
    out << "<" << PluginUri(entry, mono) << ">\n"
        << "    a lv2:Plugin, " << PluginClass(entry) << " ;\n"
        << "    doap:name " << Quoted(std::string(entry.longName) + (mono ? " (Mono)" : "")) << " ;\n"
        << "    lv2:project <" << kProjectUri << "> ;\n"
        << "    doap:license <" << kProjectUri << "#license> ;\n"
        << "    lv2:minorVersion " << kMinorVersion << " ;\n"
        << "    lv2:microVersion " << kMicroVersion << " ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable, urid:map, opts:options, bufsz:boundedBlockLength, log:log, work:schedule ;\n"
        << "    opts:supportedOption bufsz:maxBlockLength, bufsz:nominalBlockLength ;\n"
        << "    lv2:extensionData state:interface, work:interface ;\n"
        << "    lv2:port\n";
    const std::vector<PortInfo> ports = DescribePorts(algorithm, mono);
    for (size_t i = 0; i < ports.size(); ++i) {
        WritePort(out, ports[i], algorithm);
        out << (i + 1 < ports.size() ? " ,\n" : " .\n\n");
    }
}

std::string PresetUri(const CatalogueEntry& entry, bool mono, size_t index)
{
    return PluginUri(entry, mono) + "/preset/" + std::to_string(index);
}

void WritePresets(std::ostream& out, const CatalogueEntry& entry, bool mono, const CORVDSPAlgInterface& algorithm)
{
    const std::vector<PortInfo> ports = DescribePorts(algorithm, mono);
    for (const auto& [index, preset] : algorithm.presets) {
        if (preset->values.size() != algorithm.parameters.size())
            continue;
        out << "<" << PresetUri(entry, mono, size_t(index)) << ">\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo <" << PluginUri(entry, mono) << "> ;\n"
            << "    rdfs:label " << Quoted(preset->name);
        size_t value = 0;
        for (const PortInfo& port : ports) {
            if (port.kind != PortKind::Parameter)
                continue;
            out << " ;\n    lv2:port [ lv2:symbol " << Quoted(port.symbol) << " ; pset:value "
                << Number(preset->values[value++]) << " ]";
        }
        out << " .\n\n";
    }
}

// The pedal's face: an X11 UI in a binary of its own, which the host feeds
// the meters' and readings' output ports.
void WriteUi(std::ostream& out, const CatalogueEntry& entry, bool mono, const CORVDSPAlgInterface& algorithm)
{
    out << "<" << UiUri(entry, mono) << ">\n"
        << "    a ui:X11UI ;\n"
        << "    ui:binary <" << kUiBinaryName << "> ;\n"
        << "    lv2:requiredFeature urid:map, ui:idleInterface ;\n"
        << "    lv2:optionalFeature ui:parent, ui:resize, ui:fixedSize, opts:options, log:log ;\n"
        << "    opts:supportedOption ui:scaleFactor ;\n"
        << "    lv2:extensionData ui:idleInterface, ui:showInterface";
    for (const PortInfo& port : DescribePorts(algorithm, mono)) {
        if (port.kind != PortKind::LevelOut && port.kind != PortKind::ReadingOut && port.kind != PortKind::TempoOut &&
            port.kind != PortKind::TapOut)
            continue;
        out << " ;\n    ui:portNotification [ ui:plugin <" << PluginUri(entry, mono) << "> ; lv2:symbol "
            << Quoted(port.symbol) << " ; ui:protocol ui:floatProtocol ]";
    }
    out << " .\n\n";
}

void WriteManifestEntries(std::ostream& out, const CatalogueEntry& entry, bool mono,
                          const CORVDSPAlgInterface& algorithm)
{
    out << "<" << PluginUri(entry, mono) << ">\n"
        << "    a lv2:Plugin ;\n"
        << "    lv2:binary <" << kBinaryName << "> ;\n"
        << "    ui:ui <" << UiUri(entry, mono) << "> ;\n"
        << "    rdfs:seeAlso <orvanta-stompset.ttl> .\n\n";
    WriteUi(out, entry, mono, algorithm);
    for (const auto& [index, preset] : algorithm.presets) {
        if (preset->values.size() != algorithm.parameters.size())
            continue;
        out << "<" << PresetUri(entry, mono, size_t(index)) << ">\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo <" << PluginUri(entry, mono) << "> ;\n"
            << "    rdfs:seeAlso <presets.ttl> .\n\n";
    }
}

bool WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    return bool(file.flush());
}

} // namespace

bool WriteBundleDescription(const std::string& folder)
{
    std::ostringstream manifest;
    std::ostringstream plugins;
    std::ostringstream presets;
    manifest << kPrefixes;
    plugins << kPrefixes << "<" << kProjectUri << ">\n    a doap:Project ;\n    doap:name \"Orvanta Stompset\" ;\n"
            << "    doap:maintainer [ foaf:name \"Orvanta\" ] .\n\n";
    presets << kPrefixes;
    for (const CatalogueEntry& entry : kCatalogue) {
        std::unique_ptr<CORVDSPAlgInterface> algorithm = CreateAlgorithm(entry.effectId, 48000.0, 256);
        if (!algorithm)
            continue;
        for (bool mono : {false, true}) {
            WriteManifestEntries(manifest, entry, mono, *algorithm);
            WritePlugin(plugins, entry, mono, *algorithm);
            WritePresets(presets, entry, mono, *algorithm);
        }
    }
    return WriteFile(folder + "/manifest.ttl", manifest.str()) &&
           WriteFile(folder + "/orvanta-stompset.ttl", plugins.str()) &&
           WriteFile(folder + "/presets.ttl", presets.str());
}

} // namespace lv2
