#include "lv2/PresetMessage.h"

#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>

namespace lv2 {

PresetMessageUris PresetMessageUris::Map(const LV2_URID_Map& map)
{
    auto urid = [&map](const char* uri) { return map.map(map.handle, uri); };
    PresetMessageUris uris;
    uris.eventTransfer = urid(LV2_ATOM__eventTransfer);
    uris.object = urid(LV2_ATOM__Object);
    uris.blank = urid(LV2_ATOM__Blank);
    uris.string = urid(LV2_ATOM__String);
    uris.vector = urid(LV2_ATOM__Vector);
    uris.floatType = urid(LV2_ATOM__Float);
    uris.applyPreset = urid(kApplyPresetUri);
    uris.presetName = urid(kPresetNameUri);
    uris.presetValues = urid(kPresetValuesUri);
    uris.presetsChanged = urid(kPresetsChangedUri);
    return uris;
}

std::vector<uint8_t> ForgePresetMessage(const PresetMessageUris& uris, const std::string& name,
                                        const std::vector<float>& values)
{
    // Room for the object, its two keys, the string with its terminator and
    // the vector, each padded to 8 bytes.
    std::vector<uint8_t> buffer(128 + name.size() + values.size() * sizeof(float));
    LV2_Atom_Forge forge{};
    forge.Float = uris.floatType;
    forge.String = uris.string;
    forge.Vector = uris.vector;
    forge.Object = uris.object;
    lv2_atom_forge_set_buffer(&forge, buffer.data(), buffer.size());
    LV2_Atom_Forge_Frame frame;
    const LV2_Atom_Forge_Ref object = lv2_atom_forge_object(&forge, &frame, 0, uris.applyPreset);
    lv2_atom_forge_key(&forge, uris.presetName);
    lv2_atom_forge_string(&forge, name.c_str(), uint32_t(name.size()));
    lv2_atom_forge_key(&forge, uris.presetValues);
    lv2_atom_forge_vector(&forge, sizeof(float), uris.floatType, uint32_t(values.size()), values.data());
    lv2_atom_forge_pop(&forge, &frame);
    if (!object)
        return {};
    const auto* atom = reinterpret_cast<const LV2_Atom*>(buffer.data());
    buffer.resize(sizeof(LV2_Atom) + atom->size);
    return buffer;
}

std::vector<uint8_t> ForgePresetsChangedMessage(const PresetMessageUris& uris)
{
    std::vector<uint8_t> buffer(sizeof(LV2_Atom_Object));
    auto& object = *reinterpret_cast<LV2_Atom_Object*>(buffer.data());
    object.atom.size = sizeof(LV2_Atom_Object_Body);
    object.atom.type = uris.object;
    object.body.id = 0;
    object.body.otype = uris.presetsChanged;
    return buffer;
}

bool IsPresetsChangedMessage(const PresetMessageUris& uris, const LV2_Atom& atom)
{
    return (atom.type == uris.object || atom.type == uris.blank) && atom.size >= sizeof(LV2_Atom_Object_Body) &&
           reinterpret_cast<const LV2_Atom_Object&>(atom).body.otype == uris.presetsChanged;
}

std::optional<PresetMessageView> ReadPresetMessage(const PresetMessageUris& uris, const LV2_Atom& atom)
{
    if ((atom.type != uris.object && atom.type != uris.blank) || atom.size < sizeof(LV2_Atom_Object_Body))
        return std::nullopt;
    const auto& object = reinterpret_cast<const LV2_Atom_Object&>(atom);
    if (object.body.otype != uris.applyPreset)
        return std::nullopt;
    const LV2_Atom* name = nullptr;
    const LV2_Atom* values = nullptr;
    lv2_atom_object_get(&object, uris.presetName, &name, uris.presetValues, &values, 0);
    if (!name || !values || name->type != uris.string || name->size == 0 || values->type != uris.vector ||
        values->size < sizeof(LV2_Atom_Vector_Body))
        return std::nullopt;
    const auto& vector = reinterpret_cast<const LV2_Atom_Vector&>(*values);
    if (vector.body.child_type != uris.floatType || vector.body.child_size != sizeof(float))
        return std::nullopt;
    const char* text = static_cast<const char*>(LV2_ATOM_BODY_CONST(name));
    // The string's atom counts its terminator; a name must end there.
    if (text[name->size - 1] != '\0')
        return std::nullopt;
    const uint32_t count = (values->size - uint32_t(sizeof(LV2_Atom_Vector_Body))) / uint32_t(sizeof(float));
    return PresetMessageView{std::string_view(text, name->size - 1),
                             reinterpret_cast<const float*>(&vector.body + 1), count};
}

} // namespace lv2
