#pragma once
#include "core/CORVPresetDocument.h"
#include "platform/AtomicFile.h"

#include <cstdint>
#include <optional>
#include <string>

class CORVDSPAlgInterface;

// The user preset file shared by all effects, as one effect instance sees it:
// read once when the instance is made, written when the user saves or
// deletes a preset.  Runs on the user-interface thread only, never on the
// audio thread.
//
// Nothing in the file is ever lost: a file that exists but cannot be read is
// never written over; every save reads the file afresh and changes only the
// one entry, so that what other instances saved meanwhile stays; and the new
// contents replace the old in one atomic rename.
class CORVPresetFile {
public:
    static constexpr const char* kFolder = "Orvanta/PlugIn Presets";
    static constexpr const char* kFileName = "Orvanta Stompset.orvpreset";

    enum class State {
        Closed,      // not opened yet
        Read,        // read and parsed
        Created,     // was missing, made with the empty structure
        NotCreated,  // was missing and could not be made
        Unreadable,  // exists, but could not be read or parsed: left alone
    };

    // The file in the user's documents folder; empty when there is none.
    static std::string DefaultPath();

    explicit CORVPresetFile(std::string path, platform::ByteWriter writer = platform::WriteAllBytes);

    // Reads the file, or makes it (and its folders) with the empty structure
    // when it does not exist.
    State Open();
    State GetState() const { return state; }
    const std::string& GetPath() const { return path; }

    // Appends the algorithm's user presets, as read at Open, to its preset
    // table after the presets already there.  Returns how many.
    int32_t LoadPresets(CORVDSPAlgInterface& algorithm) const;

    // Stores the algorithm's current values as a user preset under name, in
    // the file and at the end of its preset table.  Returns the preset's
    // table index, or nothing when the file could not be written (the table
    // is then unchanged).
    std::optional<int32_t> SavePreset(CORVDSPAlgInterface& algorithm, const std::string& name);

    // Removes the user preset at a table index from the file and the table;
    // the later entries move up one place.  False for a factory preset, a
    // missing index or a file that could not be written.
    bool DeletePreset(CORVDSPAlgInterface& algorithm, int32_t presetIndex);

private:
    struct Latest {
        CORVPresetDocument document;
        bool exists;
    };
    // The file as it is on the disk now: its document, or a new empty one
    // when it is missing; nothing when it exists but cannot be read.
    std::optional<Latest> ReadLatest() const;
    bool Store(const Latest& latest) const;

    std::string path;
    platform::ByteWriter writer;
    State state = State::Closed;
    CORVPresetDocument document;
};
