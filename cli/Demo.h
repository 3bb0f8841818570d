#pragma once
#include "cli/Render.h"

#include <string>

struct DemoResult {
    std::string dryPath;
    std::string wetPath;
    std::string sheetPath;
    RenderSummary summary;
};

constexpr const char* kDemoDryName = "demo-dry.wav";
constexpr const char* kDemoWetName = "demo-wet.wav";
constexpr const char* kDemoSheetName = "demo-pedalboard.png";

// Writes the synthesised riff as a stereo 48 kHz float WAV file into folder
// (created when missing) and renders it through the available stages of the
// default pedalboard, exactly as `stompset render` would; beside them, the
// picture of the pedalboard's pedals as they are set.
DemoResult RunDemo(const std::string& folder, const RenderProgress& progress = {});
