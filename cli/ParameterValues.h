#pragma once
#include "dsp/CORVDSPAlgInterface.h"

#include <cstdint>
#include <string>
#include <string_view>

// Turning what a user types into parameter indices and plain values, and
// parameters back into words, for the render and info commands.

struct ParameterRef {
    int32_t index;
    const CORVDSPParameter* parameter;
};

// A parameter by name (case ignored) or by index; throws a CliError naming
// the close matches when there is none.
ParameterRef FindParameterByText(const CORVDSPAlgInterface& algorithm, std::string_view text);

// The plain value a typed value stands for: a number in the parameter's
// unit (the unit may follow it), an entry of a list, "-Inf" or "Off" where
// the scale shows them.  Throws a CliError that states the range when the
// value does not fit.
float ParsePlainValue(const CORVDSPAlgInterface& algorithm, const CORVDSPParameter& parameter, std::string_view text);

// Reads a decimal number ("12", "-0.5", "1e3") from the start of text, and
// never hexadecimal, which a C library would take too ("0x10" as 16).
// Returns how many characters it took, 0 when text starts with no number.
size_t ParseDecimal(std::string_view text, double& number);

// A number as short as it reads exactly: 10, 0.05, -40.
std::string FormatNumber(float value);

// "10 .. 700 BPM", "-40 .. 40 (% Left / % Right)", or for a list its entries
// with their indices.
std::string RangeText(const CORVDSPParameter& parameter);

// The scale type in words: "linear", "logarithmic", "list", ...
std::string ScaleName(int32_t scaleType);

// The default as a user would type it: the number, or for a list the entry.
std::string DefaultText(const CORVDSPParameter& parameter);
