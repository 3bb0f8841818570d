#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A named set of plain parameter values, one per parameter in ascending index
// order.  Factory presets come from the algorithm, user presets from the file.
struct CORVDSPPreset {
    std::string name;
    std::vector<float> values;
    uint32_t isFactory = 1;
};
