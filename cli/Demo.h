#pragma once
#include "cli/Render.h"

#include <string>

struct DemoResult {
    std::string dryPath;
    std::string wetPath;
    RenderSummary summary;
};

constexpr const char* kDemoDryName = "demo-dry.wav";
constexpr const char* kDemoWetName = "demo-wet.wav";

// Writes the synthesised riff as a stereo 48 kHz float WAV file into folder
// (created when missing) and renders it through the available stages of the
// default pedalboard, exactly as `stompset render` would.
DemoResult RunDemo(const std::string& folder, const RenderProgress& progress = {});
