// The bundle's one exported symbol: a descriptor for the stereo and the mono
// form of every effect, in catalogue order.
#include "lv2/StompsetPlugin.h"

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/worker/worker.h>

#include <cstring>
#include <exception>
#include <string>
#include <vector>

namespace {

struct PluginEntry {
    std::string uri;
    const CatalogueEntry* effect;
    bool mono;
    LV2_Descriptor descriptor;
};

lv2::StompsetPlugin* Plugin(LV2_Handle handle) { return static_cast<lv2::StompsetPlugin*>(handle); }

const PluginEntry* FindEntry(const LV2_Descriptor* descriptor);

LV2_Handle Instantiate(const LV2_Descriptor* descriptor, double sampleRate, const char*,
                       const LV2_Feature* const* features)
{
    const PluginEntry* entry = FindEntry(descriptor);
    if (!entry || !(sampleRate > 0.0))
        return nullptr;
    try {
        return lv2::StompsetPlugin::Create(*entry->effect, entry->mono, sampleRate, features).release();
    } catch (const std::exception&) {
        return nullptr;
    }
}

void ConnectPort(LV2_Handle handle, uint32_t port, void* data) { Plugin(handle)->ConnectPort(port, data); }
void Activate(LV2_Handle handle) { Plugin(handle)->Activate(); }
void Run(LV2_Handle handle, uint32_t frames) { Plugin(handle)->Run(frames); }
void Deactivate(LV2_Handle) {}
void Cleanup(LV2_Handle handle) { delete Plugin(handle); }

LV2_State_Status Save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state, uint32_t,
                      const LV2_Feature* const*)
{
    try {
        return Plugin(handle)->Save(store, state);
    } catch (const std::exception&) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_State_Status Restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state,
                         uint32_t, const LV2_Feature* const*)
{
    try {
        return Plugin(handle)->Restore(retrieve, state);
    } catch (const std::exception&) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_Worker_Status Work(LV2_Handle handle, LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle responder,
                       uint32_t, const void*)
{
    try {
        return Plugin(handle)->Work(respond, responder);
    } catch (const std::exception&) {
        return LV2_WORKER_ERR_UNKNOWN;
    }
}

LV2_Worker_Status WorkResponse(LV2_Handle handle, uint32_t size, const void* data)
{
    return Plugin(handle)->WorkResponse(size, data);
}

const void* ExtensionData(const char* uri)
{
    static const LV2_State_Interface state{Save, Restore};
    static const LV2_Worker_Interface worker{Work, WorkResponse, nullptr};
    if (std::strcmp(uri, LV2_STATE__interface) == 0)
        return &state;
    if (std::strcmp(uri, LV2_WORKER__interface) == 0)
        return &worker;
    return nullptr;
}

const std::vector<PluginEntry>& Entries()
{
    static const std::vector<PluginEntry> entries = [] {
        std::vector<PluginEntry> list;
        for (const CatalogueEntry& effect : kCatalogue) {
            for (bool mono : {false, true})
                list.push_back(PluginEntry{lv2::PluginUri(effect, mono), &effect, mono, {}});
        }
        for (PluginEntry& entry : list)
            entry.descriptor = LV2_Descriptor{entry.uri.c_str(), Instantiate, ConnectPort, Activate, Run,
                                              Deactivate,        Cleanup,     ExtensionData};
        return list;
    }();
    return entries;
}

const PluginEntry* FindEntry(const LV2_Descriptor* descriptor)
{
    for (const PluginEntry& entry : Entries())
        if (&entry.descriptor == descriptor)
            return &entry;
    return nullptr;
}

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    const std::vector<PluginEntry>& entries = Entries();
    return index < entries.size() ? &entries[index].descriptor : nullptr;
}
