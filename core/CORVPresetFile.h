#pragma once
#include "core/CORVPresetDocument.h"
#include "platform/AtomicFile.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CORVDSPAlgInterface;

// The user preset file shared by all effects, as one effect instance sees it:
// read once when the instance is made, written when the user saves or
// deletes a preset.  Runs on the user-interface thread only, never on the
// audio thread.
//
// Nothing in the file is ever lost: a file that exists but cannot be read, or
// that its owner made read-only, is never written over; every save and
// delete reads the file afresh and changes only the one entry, so that what
// other instances saved meanwhile stays; and the new contents replace the
// old in one atomic rename.  From that read to the rename each change holds
// a lock on a lock file beside the preset file, so that changes made at the
// same time by other hosts, other instances or other threads wait for each
// other instead of writing back what they read before the other's change.
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
        Missing,     // was missing and left so (creation on open is off)
    };

    // Why the last save or delete failed.
    enum class Failure {
        None,
        NoPath,     // there is no documents folder
        Unreadable, // the file cannot be read or parsed, and is left alone
        ReadOnly,   // the file has no write permission, and is left alone
        BadName,    // not UTF-8 text, or it holds control characters
        Full,       // every preset number of the effect's section is taken
        NotWritten, // the folder, lock file or new contents could not be written
    };

    // The file in the user's documents folder; empty when there is none.
    static std::string DefaultPath();

    explicit CORVPresetFile(std::string path, platform::ByteWriter writer = platform::WriteAllBytes);

    // Reads the file, or makes it (and its folders) with the empty structure
    // when it does not exist and creation on open is on.
    State Open();
    State GetState() const { return state; }
    Failure GetLastFailure() const { return lastFailure; }
    const std::string& GetPath() const { return path; }
    // The file every change locks; hidden beside the preset file.
    std::string LockPath() const;

    // Whether Open makes a missing file, for every instance of the process
    // (on unless turned off).  A program that only reads presets turns it
    // off so as to leave no folder behind; a save still makes the file.
    // Returns the setting before.
    static bool SetCreateOnOpen(bool create);

    // Appends the algorithm's user presets, as read at Open, to its preset
    // table after the presets already there.  Returns how many.
    int32_t LoadPresets(CORVDSPAlgInterface& algorithm) const;

    // Stores the algorithm's current values as a user preset under name, in
    // the file and at the end of its preset table.  Returns the preset's
    // table index, or nothing when the file could not be written (the table
    // is then unchanged, and GetLastFailure tells why).
    std::optional<int32_t> SavePreset(CORVDSPAlgInterface& algorithm, const std::string& name);

    // Removes the user preset at a table index from the file and the table;
    // the later entries move up one place.  False for a factory preset, a
    // missing index or a file that could not be written (GetLastFailure).
    bool DeletePreset(CORVDSPAlgInterface& algorithm, int32_t presetIndex);
    // Stores the algorithm's current values into the user preset at a table
    // index, keeping its place and name.  When another instance deleted it
    // from the file meanwhile, it is written anew.  False for a factory
    // preset, a missing index or a file that could not be written.
    bool OverwritePreset(CORVDSPAlgInterface& algorithm, int32_t presetIndex);

private:
    struct Latest {
        CORVPresetDocument document;
        bool exists;
    };
    // The file as it is on the disk now: its document, or a new empty one
    // when it is missing; nothing when it exists but cannot be read.
    std::optional<Latest> ReadLatest() const;
    bool Store(const Latest& latest) const;
    // ReadLatest before a change, with the reason it may not go ahead.
    std::optional<Latest> ReadForChange(Failure& failure) const;
    // One change of the file under the lock: the file is read as it is now,
    // change edits that document (Failure::None, with changed telling
    // whether there is anything to write) and it is stored back.  The
    // instance's copy then becomes that document.
    Failure ChangeFile(const std::function<Failure(CORVPresetDocument&, bool& changed)>& change);
    // The change to the file alone, under the lock: re-read, change, store.
    Failure AppendToFile(uint32_t fourCC, const std::string& name, const std::vector<float>& values);
    Failure RemoveFromFile(uint32_t fourCC, const CORVDSPPreset& preset);
    Failure ReplaceInFile(uint32_t fourCC, const CORVDSPPreset& preset, const std::vector<float>& values);

    std::string path;
    platform::ByteWriter writer;
    State state = State::Closed;
    Failure lastFailure = Failure::None;
    CORVPresetDocument document;
};
