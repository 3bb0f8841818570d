#include "lv2/StompsetPlugin.h"

#include "core/CORVPresetDocument.h"
#include "core/CORVPresetFile.h"
#include "lv2/PortValues.h"
#include "platform/AtomicFile.h"

#include "core/CORVEffectGroupSpecific.h"
#include "host/ControlValue.h"
#include "host/PlugInLibrary.h"

#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2_util.h>
#include <lv2/options/options.h>
#include <lv2/time/time.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>

namespace lv2 {
namespace {

constexpr float kLevelCeiling = 1.5f; // +30 dBFS on the meter scale

const CEffectGroup* LoadedGroup()
{
    static std::once_flag loaded;
    std::call_once(loaded, [] { NewPlugIn(); });
    return GetPlugInGroup();
}

// The longest block the host promises to run, from its options: the
// maximum where it gives one, else the nominal length; 0 when it says
// neither.
uint32_t AnnouncedBlockLength(const LV2_Feature* const* features, const LV2_URID_Map* map)
{
    const auto* options = static_cast<const LV2_Options_Option*>(lv2_features_data(features, LV2_OPTIONS__options));
    if (!options || !map)
        return 0;
    const LV2_URID atomInt = map->map(map->handle, LV2_ATOM__Int);
    const LV2_URID maximum = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
    const LV2_URID nominal = map->map(map->handle, LV2_BUF_SIZE__nominalBlockLength);
    uint32_t maximumLength = 0;
    uint32_t nominalLength = 0;
    for (const LV2_Options_Option* option = options; option->key != 0; ++option) {
        if (option->type != atomInt || option->size != sizeof(int32_t) || !option->value)
            continue;
        const int32_t length = *static_cast<const int32_t*>(option->value);
        if (length <= 0)
            continue;
        if (option->key == maximum)
            maximumLength = uint32_t(length);
        else if (option->key == nominal)
            nominalLength = uint32_t(length);
    }
    return maximumLength ? maximumLength : nominalLength;
}

// The meter scale is -inf for silence; hosts get a floor at -60 dBFS.
float MeterPortValue(float level)
{
    return std::isfinite(level) ? std::clamp(level, 0.0f, kLevelCeiling) : (level > 0 ? kLevelCeiling : 0.0f);
}

} // namespace

std::unique_ptr<StompsetPlugin> StompsetPlugin::Create(const CatalogueEntry& entry, bool mono, double sampleRate,
                                                       const LV2_Feature* const* features)
{
    const CEffectGroup* group = LoadedGroup();
    if (!group)
        return nullptr;
    std::unique_ptr<CEffectProcess> process =
        group->CreateProcess(mono ? entry.RealTimeMonoId() : entry.realTimeStereoId, sampleRate);
    auto* instance = dynamic_cast<CORVEffectProcessRTAS*>(process.get());
    if (!instance)
        return nullptr;
    const auto* map = static_cast<const LV2_URID_Map*>(lv2_features_data(features, LV2_URID__map));
    const uint32_t length = AnnouncedBlockLength(features, map);
    instance->Prepare(length ? length : CORVEffectProcess::kAlgorithmMaxFrames);
    const auto* log = static_cast<const LV2_Log_Log*>(lv2_features_data(features, LV2_LOG__log));
    const auto* schedule = static_cast<const LV2_Worker_Schedule*>(lv2_features_data(features, LV2_WORKER__schedule));
    return std::unique_ptr<StompsetPlugin>(new StompsetPlugin(std::move(process), mono, map, log, schedule));
}

StompsetPlugin::StompsetPlugin(std::unique_ptr<CEffectProcess> process, bool mono, const LV2_URID_Map* map,
                               const LV2_Log_Log* log, const LV2_Worker_Schedule* schedule)
    : process_(std::move(process)), instance_(dynamic_cast<CORVEffectProcessRTAS*>(process_.get())), mono_(mono),
      log_(log), schedule_(schedule)
{
    auto names = std::make_unique<std::vector<std::string>>();
    for (const auto& [index, preset] : instance_->GetAlgorithm()->presets)
        if (preset->isFactory == 0)
            names->push_back(preset->name);
    userPresetNames_.store(names.get());
    userPresetLists_.push_back(std::move(names));
    CORVDSPAlgInterface& algorithm = *instance_->GetAlgorithm();
    layout_ = DescribePorts(algorithm, mono);
    for (const PortInfo& port : layout_) {
        if (port.kind == PortKind::Parameter) {
            CORVDSPParameter* parameter = algorithm.GetParameter(port.parameterIndex);
            parameters_.push_back(
                ParameterPort{nullptr, parameter->value, parameter, &port});
        } else if (port.kind == PortKind::LevelOut) {
            levelPorts_.push_back(nullptr);
        } else if (port.kind == PortKind::ReadingOut) {
            readingPorts_.push_back(ReadingPort{nullptr, port.reading->kind});
        }
    }
    if (map) {
        haveMap_ = true;
        auto urid = [map](const char* uri) { return map->map(map->handle, uri); };
        uris_.atomBlank = urid(LV2_ATOM__Blank);
        uris_.atomObject = urid(LV2_ATOM__Object);
        uris_.atomFloat = urid(LV2_ATOM__Float);
        uris_.atomDouble = urid(LV2_ATOM__Double);
        uris_.atomInt = urid(LV2_ATOM__Int);
        uris_.atomLong = urid(LV2_ATOM__Long);
        uris_.atomChunk = urid(LV2_ATOM__Chunk);
        uris_.timePosition = urid(LV2_TIME__Position);
        uris_.timeBeatsPerMinute = urid(LV2_TIME__beatsPerMinute);
        uris_.chunkProperty = urid(kChunkPropertyUri);
        uris_.logTrace = urid(LV2_LOG__Trace);
        uris_.preset = PresetMessageUris::Map(*map);
    }
}

void StompsetPlugin::ConnectPort(uint32_t index, void* data)
{
    if (index >= layout_.size())
        return;
    const PortInfo& port = layout_[index];
    switch (port.kind) {
    case PortKind::AudioIn: audioIn_[port.channel] = static_cast<const float*>(data); break;
    case PortKind::AudioOut: audioOut_[port.channel] = static_cast<float*>(data); break;
    case PortKind::AtomIn: atomIn_ = static_cast<const LV2_Atom_Sequence*>(data); break;
    case PortKind::Enabled: enabled_ = static_cast<const float*>(data); break;
    case PortKind::Parameter:
        for (ParameterPort& parameter : parameters_)
            if (parameter.layout == &port)
                parameter.data = static_cast<const float*>(data);
        break;
    case PortKind::LevelOut:
        levelPorts_[size_t((port.inputLevel ? 0 : 1) * (mono_ ? 1 : 2) + port.channel)] = static_cast<float*>(data);
        break;
    case PortKind::ReadingOut:
        for (ReadingPort& reading : readingPorts_)
            if (reading.kind == port.reading->kind)
                reading.data = static_cast<float*>(data);
        break;
    case PortKind::TempoOut: tempoPort_ = static_cast<float*>(data); break;
    case PortKind::TapOut: tapPort_ = static_cast<float*>(data); break;
    case PortKind::LatencyOut: latencyPort_ = static_cast<float*>(data); break;
    }
}

// A host activates before the first run and again after every deactivate,
// and expects no trace of the audio it sent before.
void StompsetPlugin::Activate() { instance_->Reset(); }

void StompsetPlugin::ReadEvents()
{
    if (!atomIn_ || !haveMap_)
        return;
    LV2_ATOM_SEQUENCE_FOREACH (atomIn_, event) {
        const LV2_Atom& body = event->body;
        if (body.type != uris_.atomObject && body.type != uris_.atomBlank)
            continue;
        const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&event->body);
        if (object->body.otype == uris_.timePosition) {
            ReadTimePosition(*object);
        } else if (const std::optional<PresetMessageView> preset = ReadPresetMessage(uris_.preset, body)) {
            ApplyPresetMessage(*preset);
        } else if (IsPresetsChangedMessage(uris_.preset, body)) {
            // The file is read on the worker's thread, never on this one.
            const uint8_t request = 0;
            if (schedule_)
                schedule_->schedule_work(schedule_->handle, sizeof request, &request);
        } else {
            Trace("Orvanta Stompset: a message of an unknown kind, ignored\n");
        }
    }
}

void StompsetPlugin::Trace(const char* text) const
{
    if (log_)
        log_->printf(log_->handle, uris_.logTrace, "%s", text);
}

const CORVDSPPreset* StompsetPlugin::TablePreset(const PresetMessageView& message, bool factoryOnly) const
{
    const CORVDSPPreset* found = nullptr;
    for (const auto& [index, preset] : instance_->GetAlgorithm()->presets)
        if ((!factoryOnly || preset->isFactory != 0) && message.name == preset->name &&
            std::equal(preset->values.begin(), preset->values.end(), message.values, message.values + message.count))
            found = preset.get();
    return found;
}

bool StompsetPlugin::KnowsPreset(const PresetMessageView& message) const
{
    // The table's user presets may be older than the file: only its factory
    // presets count, the user presets by the names last read.
    if (TablePreset(message, true))
        return true;
    const std::vector<std::string>& names = *userPresetNames_.load(std::memory_order_acquire);
    return std::find(names.begin(), names.end(), message.name) != names.end();
}

StompsetPlugin::~StompsetPlugin() = default;

LV2_Worker_Status StompsetPlugin::Work(LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle handle)
{
    const std::vector<std::string>* adopted = userPresetNames_.load(std::memory_order_acquire);
    const auto inUse = std::find_if(userPresetLists_.begin(), userPresetLists_.end(),
                                    [adopted](const auto& list) { return list.get() == adopted; });
    if (inUse != userPresetLists_.end())
        userPresetLists_.erase(userPresetLists_.begin(), inUse);
    auto names = std::make_unique<std::vector<std::string>>();
    std::string text;
    if (platform::ReadWholeFile(CORVPresetFile::DefaultPath(), text) == platform::ReadResult::Read)
        if (const std::optional<CORVPresetDocument> document = CORVPresetDocument::Parse(text))
            for (const CORVDSPPreset& preset : document->ReadPresets(instance_->GetAlgorithm()->fourCC))
                names->push_back(preset.name);
    const std::vector<std::string>* list = names.get();
    if (respond(handle, sizeof list, &list) != LV2_WORKER_SUCCESS)
        return LV2_WORKER_ERR_UNKNOWN;
    userPresetLists_.push_back(std::move(names));
    return LV2_WORKER_SUCCESS;
}

LV2_Worker_Status StompsetPlugin::WorkResponse(uint32_t size, const void* data)
{
    if (size != sizeof(const std::vector<std::string>*))
        return LV2_WORKER_ERR_UNKNOWN;
    const std::vector<std::string>* list = nullptr;
    std::memcpy(&list, data, sizeof list);
    userPresetNames_.store(list, std::memory_order_release);
    return LV2_WORKER_SUCCESS;
}

void StompsetPlugin::ReadTimePosition(const LV2_Atom_Object& object)
{
    const LV2_Atom* bpm = nullptr;
    lv2_atom_object_get(&object, uris_.timeBeatsPerMinute, &bpm, 0);
    if (!bpm)
        return;
    double tempo = 0.0;
    if (bpm->type == uris_.atomFloat)
        tempo = double(reinterpret_cast<const LV2_Atom_Float*>(bpm)->body);
    else if (bpm->type == uris_.atomDouble)
        tempo = reinterpret_cast<const LV2_Atom_Double*>(bpm)->body;
    if (std::isfinite(tempo) && tempo > 0.0)
        instance_->SetHostTempo(tempo);
}

void StompsetPlugin::ApplyPresetMessage(const PresetMessageView& message)
{
    // A preset is taken whole or not at all: one that does not fit this
    // effect, or holds a value its port does not take, changes nothing.
    bool fits = message.count == parameters_.size();
    for (size_t i = 0; fits && i < parameters_.size(); ++i) {
        const float value = message.values[i];
        fits = std::isfinite(value) && value >= parameters_[i].layout->minimum && value <= parameters_[i].layout->maximum;
    }
    if (!fits) {
        Trace("Orvanta Stompset: a preset that does not fit, ignored\n");
        return;
    }
    if (!KnowsPreset(message)) {
        Trace("Orvanta Stompset: a preset it does not know, ignored\n");
        return;
    }
    for (size_t i = 0; i < parameters_.size(); ++i)
        ApplyParameterPort(*instance_, *parameters_[i].layout, message.values[i]);
    if (const CORVDSPPreset* preset = TablePreset(message))
        instance_->GetAlgorithm()->currentPreset = preset;
}

void StompsetPlugin::ApplyControlPorts()
{
    // A toggled port is on for any value above zero; only a change between
    // on and off counts.
    const float enabled = enabled_ ? (*enabled_ > 0.0f ? 1.0f : 0.0f) : lastEnabled_;
    if (enabled != lastEnabled_) {
        // Every change of the enable switch is one press of the foot switch,
        // so tap tempo and the delay's hold cycle work from a host button.
        lastEnabled_ = enabled;
        ApplyEnabledPort(*instance_, enabled);
    }
    for (ParameterPort& port : parameters_) {
        if (!port.data || *port.data == port.last || !std::isfinite(*port.data))
            continue;
        port.last = *port.data;
        ApplyParameterPort(*instance_, *port.layout, port.last);
    }
}

void StompsetPlugin::WriteLevels()
{
    const int channels = mono_ ? 1 : 2;
    for (int c = 0; c < channels; ++c) {
        if (float* port = levelPorts_[size_t(c)])
            *port = MeterPortValue(instance_->GetInputPeak(c));
        if (float* port = levelPorts_[size_t(channels + c)])
            *port = MeterPortValue(instance_->GetOutputPeak(c));
    }
}

void StompsetPlugin::WriteReadings()
{
    const CORVDSPAlgInterface& algorithm = *instance_->GetAlgorithm();
    for (const ReadingPort& reading : readingPorts_)
        if (reading.data)
            *reading.data = algorithm.Read(reading.kind);
    if (tempoPort_)
        *tempoPort_ = float(instance_->GetHostTempo());
    if (tapPort_)
        *tapPort_ = algorithm.GetTapState();
    if (latencyPort_)
        *latencyPort_ = float(algorithm.Latency());
}

void StompsetPlugin::Run(uint32_t frames)
{
    ReadEvents();
    ApplyControlPorts();
    if (frames > 0 && audioIn_[0] && audioOut_[0] && (mono_ || (audioIn_[1] && audioOut_[1]))) {
        float* inputs[2] = {const_cast<float*>(audioIn_[0]), const_cast<float*>(audioIn_[mono_ ? 0 : 1])};
        float* outputs[2] = {audioOut_[0], audioOut_[mono_ ? 0 : 1]};
        instance_->Render(inputs, outputs, int32_t(std::min<uint32_t>(frames, uint32_t(INT32_MAX))));
    }
    WriteLevels();
    WriteReadings();
}

void StompsetPlugin::TakeControlsAsApplied()
{
    for (ParameterPort& port : parameters_)
        port.last = port.parameter->value;
    int32_t footSwitch = 0;
    instance_->GetControlValue(CORVEffectProcess::kFootSwitch, &footSwitch);
    lastEnabled_ = footSwitch >= 0 ? 0.0f : 1.0f;
}

LV2_State_Status StompsetPlugin::Save(LV2_State_Store_Function store, LV2_State_Handle handle)
{
    if (!haveMap_)
        return LV2_STATE_ERR_NO_FEATURE;
    int32_t size = 0;
    if (instance_->GetChunkSize(CORVEffectProcess::kChunkID, &size) != kNoErr || size <= 0)
        return LV2_STATE_ERR_UNKNOWN;
    std::vector<uint8_t> chunk(static_cast<size_t>(size));
    if (instance_->GetChunk(CORVEffectProcess::kChunkID, chunk) != kNoErr)
        return LV2_STATE_ERR_UNKNOWN;
    return store(handle, uris_.chunkProperty, chunk.data(), chunk.size(), uris_.atomChunk,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status StompsetPlugin::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle)
{
    if (!haveMap_)
        return LV2_STATE_ERR_NO_FEATURE;
    size_t size = 0;
    uint32_t type = 0;
    uint32_t flags = 0;
    const void* data = retrieve(handle, uris_.chunkProperty, &size, &type, &flags);
    if (!data)
        return LV2_STATE_ERR_NO_PROPERTY;
    if (type != uris_.atomChunk)
        return LV2_STATE_ERR_BAD_TYPE;
    instance_->SetChunk(CORVEffectProcess::kChunkID, {static_cast<const uint8_t*>(data), size});
    TakeControlsAsApplied();
    return LV2_STATE_SUCCESS;
}

} // namespace lv2
