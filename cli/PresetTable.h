#pragma once
#include "dsp/CORVDSPAlgInterface.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

// An effect's presets in words, for 'stompset info' and 'stompset presets'.

// "Tempo 300, Wave shape Sinusoidal, ...": each value as a user would type
// it, or a note when the preset does not fit the effect's parameters.
std::string PresetValuesText(const CORVDSPAlgInterface& algorithm, const CORVDSPPreset& preset);

// One line per factory preset (factory true) or user preset (false): the
// table index, the name and the values.  Returns how many there were.
size_t PrintPresetRows(std::ostream& out, const CORVDSPAlgInterface& algorithm, bool factory);

// Whether text is all digits, which preset arguments read as a table index.
bool IsPresetIndexText(std::string_view text);

// Whether text names the preset: case and surrounding blanks ignored.
bool IsPresetName(std::string_view text, const CORVDSPPreset& preset);

// A preset of the table, factory and user presets alike, by index (digits
// only, when the table has that index) or else by name.  Throws a usage
// CliError naming the close matches when there is none.
int32_t FindPresetByText(const CORVDSPAlgInterface& algorithm, std::string_view text);
