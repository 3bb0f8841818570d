#include "tools/lilvhost/LilvHost.h"

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>

#include <algorithm>
#include <utility>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace lilvhost {

UridMap::UridMap() : map_{this, &UridMap::MapUri}, unmap_{this, &UridMap::UnmapUrid} {}

LV2_URID UridMap::Map(const char* uri)
{
    const auto [entry, added] = urids_.emplace(uri, LV2_URID(urids_.size() + 1));
    if (added)
        uris_.push_back(entry->first.c_str());
    return entry->second;
}

const char* UridMap::Unmap(LV2_URID urid) const
{
    return urid >= 1 && urid <= uris_.size() ? uris_[urid - 1] : nullptr;
}

LV2_URID UridMap::MapUri(LV2_URID_Map_Handle handle, const char* uri)
{
    return static_cast<UridMap*>(handle)->Map(uri);
}

const char* UridMap::UnmapUrid(LV2_URID_Unmap_Handle handle, LV2_URID urid)
{
    return static_cast<const UridMap*>(handle)->Unmap(urid);
}

LilvNode* NewBundleUri(LilvWorld* world, std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return lilv_new_file_uri(world, nullptr, folder.c_str());
}

const LilvPlugin* FindPlugin(LilvWorld* world, const std::string& uri)
{
    LilvNode* node = lilv_new_uri(world, uri.c_str());
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), node);
    lilv_node_free(node);
    return plugin;
}

LV2_Options_Option Option(UridMap& urids, const char* key, const char* type, const void* value)
{
    return LV2_Options_Option{LV2_OPTIONS_INSTANCE, 0, urids.Map(key), sizeof(int32_t), urids.Map(type), value};
}

namespace {
constexpr size_t kAtomBytes = 8192;
} // namespace

Instance::Instance(LilvWorld* world, UridMap& urids, const LilvPlugin* plugin, double sampleRate, uint32_t maxBlock,
                   const LV2_Feature* const* features)
    : world_(world), urids_(urids), features_(features), chunk_(urids.Map(LV2_ATOM__Chunk)),
      position_(urids.Map(LV2_TIME__Position)), beatsPerMinute_(urids.Map(LV2_TIME__beatsPerMinute))
{
    for (int i = 0; features && features[i]; ++i)
        allFeatures_.push_back(features[i]);
    allFeatures_.push_back(&scheduleFeature_);
    allFeatures_.push_back(nullptr);
    instance_ = lilv_plugin_instantiate(plugin, sampleRate, allFeatures_.data());
    if (!instance_)
        return;
    worker_ = static_cast<const LV2_Worker_Interface*>(lilv_instance_get_extension_data(instance_, LV2_WORKER__interface));
    lv2_atom_forge_init(&forge_, urids.MapFeature());
    const auto uri = [world](const char* text) { return lilv_new_uri(world, text); };
    LilvNode* audio = uri(LV2_CORE__AudioPort);
    LilvNode* control = uri(LV2_CORE__ControlPort);
    LilvNode* input = uri(LV2_CORE__InputPort);
    LilvNode* atom = uri(LV2_ATOM__AtomPort);
    LilvNode* integer = uri(LV2_CORE__integer);
    LilvNode* enabled = uri(LV2_CORE__enabled);
    LilvNode* designation = uri(LV2_CORE__designation);
    const uint32_t count = lilv_plugin_get_num_ports(plugin);
    std::vector<float> minimum(count), maximum(count), defaults(count);
    lilv_plugin_get_port_ranges_float(plugin, minimum.data(), maximum.data(), defaults.data());
    values_.assign(count, 0.0f);
    idle_.assign(2 * size_t(maxBlock), 0.0f); // inputs read the first half, outputs write the second
    // Two passes: the buffers are connected once none of them moves any more.
    for (int pass = 0; pass < 2; ++pass) {
        size_t audioIns = 0, audioOuts = 0, atoms = 0;
        for (uint32_t i = 0; i < count; ++i) {
            const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
            const bool isInput = lilv_port_is_a(plugin, port, input);
            if (lilv_port_is_a(plugin, port, audio)) {
                Channels& buffers = isInput ? audioIn_ : audioOut_;
                if (pass == 0)
                    buffers.emplace_back(maxBlock, 0.0f);
                else
                    lilv_instance_connect_port(instance_, i, buffers[isInput ? audioIns++ : audioOuts++].data());
            } else if (lilv_port_is_a(plugin, port, atom)) {
                if (pass == 0)
                    atoms_.emplace_back(isInput, std::vector<uint64_t>(kAtomBytes / sizeof(uint64_t)));
                else
                    lilv_instance_connect_port(instance_, i, atoms_[atoms++].second.data());
            } else if (pass == 1) {
                lilv_instance_connect_port(instance_, i, idle_.data() + (isInput ? 0 : maxBlock));
            } else if (lilv_port_is_a(plugin, port, control)) {
                values_[i] = std::isnan(defaults[i]) ? (std::isnan(minimum[i]) ? 0.0f : minimum[i]) : defaults[i];
                LilvNode* role = lilv_port_get(plugin, port, designation);
                controls_.push_back({i, lilv_node_as_string(lilv_port_get_symbol(plugin, port)), isInput,
                                     role && lilv_node_equals(role, enabled),
                                     lilv_port_has_property(plugin, port, integer), minimum[i], maximum[i]});
                lilv_node_free(role);
            }
        }
    }
    for (const ControlPort& port : controls_)
        lilv_instance_connect_port(instance_, port.index, &values_[port.index]);
    for (LilvNode* node : {audio, control, input, atom, integer, enabled, designation})
        lilv_node_free(node);
    Activate();
}

Instance::~Instance()
{
    if (!instance_)
        return;
    Deactivate();
    lilv_instance_free(instance_);
}

std::vector<ControlPort> Instance::Parameters() const
{
    std::vector<ControlPort> parameters;
    for (const ControlPort& port : controls_)
        if (port.input && !port.enable)
            parameters.push_back(port);
    return parameters;
}

bool Instance::SetControl(const std::string& symbol, float value)
{
    for (const ControlPort& port : controls_)
        if (port.symbol == symbol)
            return values_[port.index] = value, true;
    return false;
}

float Instance::GetControl(const std::string& symbol) const
{
    for (const ControlPort& port : controls_)
        if (port.symbol == symbol)
            return values_[port.index];
    return std::numeric_limits<float>::quiet_NaN();
}

int Instance::LoadPreset(const std::string& presetUri)
{
    LilvNode* preset = lilv_new_uri(world_, presetUri.c_str());
    LilvState* state = lilv_world_load_resource(world_, preset) < 0
                           ? nullptr
                           : lilv_state_new_from_world(world_, urids_.MapFeature(), preset);
    lilv_node_free(preset);
    if (!state)
        return -1;
    struct Setting {
        Instance* instance;
        LV2_URID floatType;
        int count;
    } setting{this, urids_.Map(LV2_ATOM__Float), 0};
    const auto set = [](const char* symbol, void* data, const void* value, uint32_t size, uint32_t type) {
        auto* s = static_cast<Setting*>(data);
        const auto* number = static_cast<const float*>(value);
        if (type == s->floatType && size == sizeof(float) && s->instance->SetControl(symbol, *number))
            ++s->count;
    };
    lilv_state_emit_port_values(state, set, &setting);
    lilv_state_free(state);
    return setting.count;
}

void Instance::Activate()
{
    if (!active_)
        lilv_instance_activate(instance_);
    active_ = true;
}

void Instance::Deactivate()
{
    if (active_)
        lilv_instance_deactivate(instance_);
    active_ = false;
}

// Every atom input gets a sequence holding the pending tempo, if any, and
// every atom output its whole room.
void Instance::WriteAtomPorts()
{
    for (auto& [input, buffer] : atoms_) {
        if (!input) {
            reinterpret_cast<LV2_Atom*>(buffer.data())->size = uint32_t(kAtomBytes - sizeof(LV2_Atom));
            reinterpret_cast<LV2_Atom*>(buffer.data())->type = chunk_;
            continue;
        }
        LV2_Atom_Forge& forge = forge_;
        lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(buffer.data()), kAtomBytes);
        LV2_Atom_Forge_Frame sequence, object;
        lv2_atom_forge_sequence_head(&forge, &sequence, 0);
        if (pendingTempo_ > 0.0f) {
            lv2_atom_forge_frame_time(&forge, 0);
            lv2_atom_forge_object(&forge, &object, 0, position_);
            lv2_atom_forge_key(&forge, beatsPerMinute_);
            lv2_atom_forge_float(&forge, pendingTempo_);
            lv2_atom_forge_pop(&forge, &object);
        }
        for (const std::vector<uint8_t>& event : pendingEvents_) {
            lv2_atom_forge_frame_time(&forge, 0);
            lv2_atom_forge_write(&forge, event.data(), uint32_t(event.size()));
        }
        lv2_atom_forge_pop(&forge, &sequence);
    }
    pendingTempo_ = 0.0f;
    pendingEvents_.clear();
}

void Instance::RunBlock(uint32_t frames) { lilv_instance_run(instance_, frames); }

LV2_Worker_Status Instance::ScheduleWork(LV2_Worker_Schedule_Handle handle, uint32_t size, const void* data)
{
    auto* self = static_cast<Instance*>(handle);
    if (self->workCount_ == self->work_.size() || size > self->work_[0].bytes.size())
        return LV2_WORKER_ERR_NO_SPACE;
    WorkRequest& request = self->work_[self->workCount_++];
    request.size = size;
    std::memcpy(request.bytes.data(), data, size);
    return LV2_WORKER_SUCCESS;
}

LV2_Worker_Status Instance::Respond(LV2_Worker_Respond_Handle handle, uint32_t size, const void* data)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    static_cast<Instance*>(handle)->responses_.emplace_back(bytes, bytes + size);
    return LV2_WORKER_SUCCESS;
}

void Instance::DoScheduledWork()
{
    if (!worker_)
        return;
    LV2_Handle handle = lilv_instance_get_handle(instance_);
    const size_t requests = std::exchange(workCount_, 0);
    for (size_t i = 0; i < requests; ++i)
        worker_->work(handle, Respond, this, work_[i].size, work_[i].bytes.data());
    for (const std::vector<uint8_t>& response : std::exchange(responses_, {}))
        worker_->work_response(handle, uint32_t(response.size()), response.data());
    if (worker_->end_run)
        worker_->end_run(handle);
}

Instance::Channels Instance::Process(const Channels& in, uint32_t block)
{
    const size_t length = in.empty() ? 0 : in[0].size();
    Channels out(audioOut_.size(), std::vector<float>(length));
    for (size_t start = 0; start < length; start += block) {
        const auto frames = uint32_t(std::min<size_t>(block, length - start));
        for (size_t c = 0; c < audioIn_.size(); ++c)
            std::copy_n(in[c].begin() + std::ptrdiff_t(start), frames, audioIn_[c].begin());
        WriteAtomPorts();
        RunBlock(frames);
        DoScheduledWork();
        for (size_t c = 0; c < audioOut_.size(); ++c)
            std::copy_n(audioOut_[c].begin(), frames, out[c].begin() + std::ptrdiff_t(start));
    }
    return out;
}

namespace {

const LV2_State_Interface* StateInterface(LilvInstance* instance)
{
    return static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance, LV2_STATE__interface));
}

LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                       uint32_t flags)
{
    const auto* bytes = static_cast<const uint8_t*>(value);
    static_cast<std::vector<StateProperty>*>(handle)->push_back({key, type, flags, {bytes, bytes + size}});
    return LV2_STATE_SUCCESS;
}

const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags)
{
    for (const StateProperty& property : *static_cast<const std::vector<StateProperty>*>(handle)) {
        if (property.key == key) {
            *size = property.value.size();
            *type = property.type;
            *flags = property.flags;
            return property.value.data();
        }
    }
    return nullptr;
}

} // namespace

std::vector<StateProperty> Instance::SaveState() const
{
    std::vector<StateProperty> properties;
    if (const LV2_State_Interface* state = StateInterface(instance_))
        state->save(lilv_instance_get_handle(instance_), Store, &properties, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE,
                    features_);
    return properties;
}

bool Instance::RestoreState(const std::vector<StateProperty>& properties)
{
    const LV2_State_Interface* state = StateInterface(instance_);
    return state && state->restore(lilv_instance_get_handle(instance_), Retrieve,
                                   const_cast<std::vector<StateProperty>*>(&properties), 0,
                                   allFeatures_.data()) == LV2_STATE_SUCCESS;
}

} // namespace lilvhost
