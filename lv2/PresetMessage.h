#pragma once
// The message a pedal's UI sends its plug-in when the user picks a preset:
// the preset's name and every value it sets, in parameter order, so that
// the plug-in sets all of them in one block without reading the preset
// file on the audio thread.  The plug-in takes it only for a preset it
// knows by that name.  The UI writes the same values to the ports as well,
// so that the host records them.
#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lv2 {

inline constexpr const char* kApplyPresetUri = "https://orvanta.audio/lv2/stompset#ApplyPreset";
inline constexpr const char* kPresetNameUri = "https://orvanta.audio/lv2/stompset#presetName";
inline constexpr const char* kPresetValuesUri = "https://orvanta.audio/lv2/stompset#presetValues";
// The other message: the user preset file changed (a pedal saved or deleted
// a preset), so the plug-in reads which user presets there are again.
inline constexpr const char* kPresetsChangedUri = "https://orvanta.audio/lv2/stompset#PresetsChanged";

struct PresetMessageUris {
    LV2_URID eventTransfer = 0;
    LV2_URID object = 0;
    LV2_URID blank = 0;
    LV2_URID string = 0;
    LV2_URID vector = 0;
    LV2_URID floatType = 0;
    LV2_URID applyPreset = 0;
    LV2_URID presetName = 0;
    LV2_URID presetValues = 0;
    LV2_URID presetsChanged = 0;

    static PresetMessageUris Map(const LV2_URID_Map& map);
};

// The message as the bytes of one atom, ready for the host's event transfer.
std::vector<uint8_t> ForgePresetMessage(const PresetMessageUris& uris, const std::string& name,
                                        const std::vector<float>& values);

struct PresetMessageView {
    std::string_view name;
    const float* values;
    uint32_t count;
};

// The presets-changed message as the bytes of one atom.
std::vector<uint8_t> ForgePresetsChangedMessage(const PresetMessageUris& uris);
bool IsPresetsChangedMessage(const PresetMessageUris& uris, const LV2_Atom& atom);

// What an atom says, when it is a whole preset message; nothing for any
// other atom or a damaged one.  Reads in place: nothing is copied or
// allocated, so the plug-in may call it on the audio thread.
std::optional<PresetMessageView> ReadPresetMessage(const PresetMessageUris& uris, const LV2_Atom& atom);

} // namespace lv2
