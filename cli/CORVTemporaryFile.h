#pragma once
#include <string>

// A file that becomes the target only when it is complete.  It is created
// beside the target (so the final rename stays on one file system and is
// atomic) under a hidden name, and removed again unless committed: on an
// error, when the object goes away, and when the program is interrupted by
// SIGINT, SIGTERM or SIGHUP.  A failed run never leaves a half-written
// output behind, and an existing target survives it untouched.
//
// A target that is a symbolic link stays one: the file it leads to is
// replaced, keeping its permissions.  A target that is no regular file, a
// device or a FIFO, must never be renamed over ("-o /dev/null"): the file
// is made without a name in the temporary folder instead (audio formats
// need to seek back, which a pipe cannot), and committing copies it into
// the target.
class CORVTemporaryFile {
public:
    // Throws a CliError naming the target when the folder is not writable.
    explicit CORVTemporaryFile(const std::string& target);
    ~CORVTemporaryFile();
    CORVTemporaryFile(const CORVTemporaryFile&) = delete;
    CORVTemporaryFile& operator=(const CORVTemporaryFile&) = delete;

    int Descriptor() const { return descriptor_; }
    // The hidden file, or the device or FIFO it is copied into.
    const std::string& Path() const { return path_; }
    const std::string& Target() const { return target_; }

    // Closes the file and renames it onto the target; throws a CliError (and
    // removes the file) when that fails.
    void Commit();

private:
    void OpenUnnamed(const std::string& device);
    void OpenBeside(const std::string& file);
    void Discard();

    std::string target_;
    std::string final_; // where the rename goes: the target, or where its links lead
    std::string path_;
    int descriptor_ = -1;
    int slot_ = -1;
    bool committed_ = false;
    bool unnamed_ = false;
};
