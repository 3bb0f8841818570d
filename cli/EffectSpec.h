#pragma once
#include <string>
#include <string_view>
#include <vector>

// One "PARAM=VALUE" of an effect argument, still as typed: the parameter and
// its value are resolved against the effect's own table later.
struct ParameterSetting {
    std::string parameter;
    std::string value;
};

// An effect argument "EFFECT[:preset=NAME][:PARAM=VALUE]...[:bypass]".
// The preset is applied first, then the settings in the order given, so a
// setting always refines the preset whatever their order on the line.
struct EffectSpec {
    std::string effect;
    std::string preset; // empty: keep the effect's "Default"
    std::vector<ParameterSetting> settings;
    bool bypass = false;
};

// Splits an effect argument at its colons; throws a CliError on a malformed
// field.  Names and values are checked when the effect is built.
EffectSpec ParseEffectSpec(std::string_view text);
