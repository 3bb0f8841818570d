#pragma once
#include "cli/EffectSpec.h"

#include <string>
#include <vector>

// Pictures of the pedals' editors, drawn in memory over offline instances
// set up as effect arguments say: one pedal, or a contact sheet of several
// side by side.
struct SnapshotRequest {
    std::vector<EffectSpec> pedals;
    int scale = 1;   // 1, or 2 for the high-density pictures
    int columns = 0; // pedals per row of the sheet; 0: all in one row
};

// The PNG file's bytes.  Throws a CliError for an unknown effect, preset,
// parameter or value.
std::string DrawSnapshot(const SnapshotRequest& request);

// Writes the bytes whole or not at all: a failed write leaves no partial
// file behind.  Throws a CliError naming the path when it cannot be written.
void WriteSnapshot(const std::string& path, const std::string& png);
