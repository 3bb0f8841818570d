// The UI bundle's one exported symbol: a UI for the stereo and the mono
// form of every effect, in catalogue order, each the pedal's face.
#include "lv2/StompsetUi.h"

#include <lv2/ui/ui.h>

#include <cstring>
#include <exception>
#include <string>
#include <vector>

namespace {

struct UiEntry {
    std::string uri;
    std::string pluginUri;
    const CatalogueEntry* effect;
    bool mono;
    LV2UI_Descriptor descriptor;
};

lv2::StompsetUi* Ui(LV2UI_Handle handle) { return static_cast<lv2::StompsetUi*>(handle); }

const UiEntry* FindEntry(const LV2UI_Descriptor* descriptor);

LV2UI_Handle Instantiate(const LV2UI_Descriptor* descriptor, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features)
{
    const UiEntry* entry = FindEntry(descriptor);
    // A UI belongs to its own plug-in; the port numbers of another would not match.
    if (!entry || !pluginUri || entry->pluginUri != pluginUri)
        return nullptr;
    try {
        return lv2::StompsetUi::Create(*entry->effect, entry->mono, write, controller, widget, features).release();
    } catch (const std::exception&) {
        return nullptr;
    }
}

void Cleanup(LV2UI_Handle handle) { delete Ui(handle); }

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    Ui(handle)->PortEvent(port, size, format, buffer);
}

int Idle(LV2UI_Handle handle) { return Ui(handle)->Idle(); }
int Show(LV2UI_Handle handle) { return Ui(handle)->Show(); }
int Hide(LV2UI_Handle handle) { return Ui(handle)->Hide(); }

const void* ExtensionData(const char* uri)
{
    static const LV2UI_Idle_Interface idle{Idle};
    static const LV2UI_Show_Interface show{Show, Hide};
    if (std::strcmp(uri, LV2_UI__idleInterface) == 0)
        return &idle;
    if (std::strcmp(uri, LV2_UI__showInterface) == 0)
        return &show;
    return nullptr;
}

const std::vector<UiEntry>& Entries()
{
    static const std::vector<UiEntry> entries = [] {
        std::vector<UiEntry> list;
        for (const CatalogueEntry& effect : kCatalogue)
            for (bool mono : {false, true})
                list.push_back(UiEntry{lv2::UiUri(effect, mono), lv2::PluginUri(effect, mono), &effect, mono, {}});
        for (UiEntry& entry : list)
            entry.descriptor = LV2UI_Descriptor{entry.uri.c_str(), Instantiate, Cleanup, PortEvent, ExtensionData};
        return list;
    }();
    return entries;
}

const UiEntry* FindEntry(const LV2UI_Descriptor* descriptor)
{
    for (const UiEntry& entry : Entries())
        if (&entry.descriptor == descriptor)
            return &entry;
    return nullptr;
}

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
    const std::vector<UiEntry>& entries = Entries();
    return index < entries.size() ? &entries[index].descriptor : nullptr;
}
