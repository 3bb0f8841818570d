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

// A preset of the table, factory and user presets alike, by name (case
// ignored) or by index.  Throws a CliError naming the close matches when
// there is none.
int32_t FindPresetByText(const CORVDSPAlgInterface& algorithm, std::string_view text);
