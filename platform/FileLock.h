#pragma once
#include <string>

namespace platform {

// An exclusive advisory lock on a lock file, held from construction to
// destruction.  Every process and every thread that opens the same lock file
// waits for the holder: a lock belongs to one opening of the file, not to the
// process, so two threads of one host exclude each other as two hosts do.
class FileLock {
public:
    // Waits until the lock on the file at path (made when missing) is held.
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // False when the lock file could not be opened or locked.
    bool Held() const { return descriptor >= 0; }

private:
    int descriptor = -1;
};

} // namespace platform
