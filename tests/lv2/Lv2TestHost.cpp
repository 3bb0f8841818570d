#include "tests/lv2/Lv2TestHost.h"

#include "tests/AllocationCounter.h"

#include <lv2/atom/forge.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/time/time.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lv2test {

World::World(const std::string& bundleFolder) : world_(lilv_world_new())
{
    lilv_world_load_specifications(world_);
    lilv_world_load_plugin_classes(world_);
    LilvNode* bundle = lilvhost::NewBundleUri(world_, bundleFolder);
    bundleUri_ = lilv_node_as_uri(bundle);
    lilv_world_load_bundle(world_, bundle);
    lilv_node_free(bundle);

    mapFeature_ = {LV2_URID__map, urids_.MapFeature()};
    options_[0] = lilvhost::Option(urids_, LV2_BUF_SIZE__nominalBlockLength, LV2_ATOM__Int, &nominalBlock_);
    options_[1] = lilvhost::kEndOfOptions;
    optionsFeature_ = {LV2_OPTIONS__options, options_};
    features_ = {&mapFeature_, &optionsFeature_, nullptr};
}

World::~World() { lilv_world_free(world_); }

std::vector<const LilvPlugin*> World::BundlePlugins() const
{
    std::vector<const LilvPlugin*> plugins;
    const LilvPlugins* all = lilv_world_get_all_plugins(world_);
    LILV_FOREACH (plugins, i, all) {
        const LilvPlugin* plugin = lilv_plugins_get(all, i);
        if (bundleUri_ == lilv_node_as_uri(lilv_plugin_get_bundle_uri(plugin)))
            plugins.push_back(plugin);
    }
    return plugins;
}

const LilvPlugin* World::Plugin(const std::string& uri) const { return lilvhost::FindPlugin(world_, uri); }

namespace {
constexpr size_t kAtomCapacity = 4096;
}

Instance::Instance(World& world, const LilvPlugin* plugin, double sampleRate, uint32_t maxBlock)
    : world_(world), plugin_(plugin), maxBlock_(maxBlock)
{
    timePosition_ = world_.Map(LV2_TIME__Position);
    beatsPerMinute_ = world_.Map(LV2_TIME__beatsPerMinute);
    instance_ = lilv_plugin_instantiate(plugin, sampleRate, world.Features());
    if (!instance_)
        return;
    LilvWorld* w = world.Get();
    LilvNode* audio = lilv_new_uri(w, LV2_CORE__AudioPort);
    LilvNode* control = lilv_new_uri(w, LV2_CORE__ControlPort);
    LilvNode* input = lilv_new_uri(w, LV2_CORE__InputPort);
    LilvNode* atom = lilv_new_uri(w, LV2_ATOM__AtomPort);
    LilvNode* integer = lilv_new_uri(w, LV2_CORE__integer);
    LilvNode* enabled = lilv_new_uri(w, LV2_CORE__enabled);
    LilvNode* designationKey = lilv_new_uri(w, LV2_CORE__designation);

    const uint32_t count = lilv_plugin_get_num_ports(plugin);
    std::vector<float> minimum(count), maximum(count), defaults(count);
    lilv_plugin_get_port_ranges_float(plugin, minimum.data(), maximum.data(), defaults.data());
    controls_.assign(count, 0.0f);
    atomBuffer_.assign(kAtomCapacity, 0);
    for (uint32_t i = 0; i < count; ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
        const bool isInput = lilv_port_is_a(plugin, port, input);
        const std::string symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, port));
        if (lilv_port_is_a(plugin, port, audio)) {
            auto& buffers = isInput ? audioIn_ : audioOut_;
            buffers.emplace_back(maxBlock, 0.0f);
            (isInput ? audioInIndex_ : audioOutIndex_).push_back(i);
            lilv_instance_connect_port(instance_, i, buffers.back().data());
        } else if (lilv_port_is_a(plugin, port, control)) {
            controls_[i] = std::isnan(defaults[i]) ? 0.0f : defaults[i];
            controlIndex_[symbol] = i;
            LilvNode* designation = lilv_port_get(plugin, port, designationKey);
            const bool isEnable = designation && lilv_node_equals(designation, enabled);
            if (isInput && !isEnable)
                parameters_.push_back({symbol, minimum[i], maximum[i], lilv_port_has_property(plugin, port, integer)});
            lilv_node_free(designation);
            lilv_instance_connect_port(instance_, i, &controls_[i]);
        } else if (lilv_port_is_a(plugin, port, atom)) {
            atomPort_ = int32_t(i);
            lilv_instance_connect_port(instance_, i, atomBuffer_.data());
        }
    }
    // The audio buffers moved while growing; connect them again in place.
    for (size_t c = 0; c < audioIn_.size(); ++c)
        lilv_instance_connect_port(instance_, audioInIndex_[c], audioIn_[c].data());
    for (size_t c = 0; c < audioOut_.size(); ++c)
        lilv_instance_connect_port(instance_, audioOutIndex_[c], audioOut_[c].data());
    for (LilvNode* node : {audio, control, input, atom, integer, enabled, designationKey})
        lilv_node_free(node);
    lilv_instance_activate(instance_);
}

Instance::~Instance()
{
    if (instance_) {
        lilv_instance_deactivate(instance_);
        lilv_instance_free(instance_);
    }
}

bool Instance::SetControl(const std::string& symbol, float value)
{
    const auto found = controlIndex_.find(symbol);
    if (found == controlIndex_.end())
        return false;
    controls_[found->second] = value;
    return true;
}

float Instance::GetControl(const std::string& symbol) const { return controls_.at(controlIndex_.at(symbol)); }

void Instance::Deactivate() { lilv_instance_deactivate(instance_); }

void Instance::Activate() { lilv_instance_activate(instance_); }

void Instance::SendTempo(float beatsPerMinute) { pendingTempo_ = beatsPerMinute; }

void Instance::Run(const std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out, uint32_t offset,
                   uint32_t frames)
{
    if (atomPort_ >= 0) {
        LV2_Atom_Forge forge;
        lv2_atom_forge_init(&forge, world_.MapFeature());
        lv2_atom_forge_set_buffer(&forge, atomBuffer_.data(), atomBuffer_.size());
        LV2_Atom_Forge_Frame sequence;
        lv2_atom_forge_sequence_head(&forge, &sequence, 0);
        if (pendingTempo_ > 0.0f) {
            LV2_Atom_Forge_Frame object;
            lv2_atom_forge_frame_time(&forge, 0);
            lv2_atom_forge_object(&forge, &object, 0, timePosition_);
            lv2_atom_forge_key(&forge, beatsPerMinute_);
            lv2_atom_forge_float(&forge, pendingTempo_);
            lv2_atom_forge_pop(&forge, &object);
            pendingTempo_ = 0.0f;
        }
        lv2_atom_forge_pop(&forge, &sequence);
    }
    for (size_t c = 0; c < audioIn_.size(); ++c)
        std::copy_n(in[c].begin() + offset, frames, audioIn_[c].begin());
    {
        testing_support::AllocationCounter counter;
        lilv_instance_run(instance_, frames);
        runAllocations_ += counter.Count();
        runLocks_ += counter.Locks();
    }
    out.resize(audioOut_.size());
    for (size_t c = 0; c < audioOut_.size(); ++c) {
        out[c].resize(std::max<size_t>(out[c].size(), offset + frames));
        std::copy_n(audioOut_[c].begin(), frames, out[c].begin() + offset);
    }
}

namespace {

LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                       uint32_t flags)
{
    auto* items = static_cast<std::vector<Instance::StateItem>*>(handle);
    const auto* bytes = static_cast<const uint8_t*>(value);
    items->push_back({key, type, flags, std::vector<uint8_t>(bytes, bytes + size)});
    return LV2_STATE_SUCCESS;
}

const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags)
{
    const auto* items = static_cast<const std::vector<Instance::StateItem>*>(handle);
    for (const Instance::StateItem& item : *items) {
        if (item.key == key) {
            *size = item.value.size();
            *type = item.type;
            *flags = item.flags;
            return item.value.data();
        }
    }
    return nullptr;
}

} // namespace

std::vector<Instance::StateItem> Instance::SaveState() const
{
    std::vector<StateItem> items;
    const auto* state =
        static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
    if (state)
        state->save(lilv_instance_get_handle(instance_), Store, &items, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE,
                    world_.Features());
    return items;
}

bool Instance::RestoreState(const std::vector<StateItem>& items)
{
    const auto* state =
        static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
    return state && state->restore(lilv_instance_get_handle(instance_), Retrieve,
                                   const_cast<std::vector<StateItem>*>(&items), 0,
                                   world_.Features()) == LV2_STATE_SUCCESS;
}

} // namespace lv2test
