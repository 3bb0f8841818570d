#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// What lies at a path, after following symbolic links.
enum class FileKind {
    Missing,   // nothing, or a link that leads nowhere
    Regular,   // an ordinary file
    Directory,
    Other,     // a device, a FIFO, a socket
    Unknown,   // it could not be examined
};
FileKind KindOf(const std::string& path);

// True when both paths lead to the same file (device and inode), through
// links, "..", or hard links alike; false when either does not exist.
bool SameFile(const std::string& a, const std::string& b);

// The permission bits (07777) of the file a path leads to.
std::optional<uint32_t> PermissionsOf(const std::string& path);

// True when the file exists and must not be changed: it carries no write
// permission bit at all (a file made read-only on purpose, which counts even
// for the superuser, whom the system itself would let write), or the caller
// may not write it.
bool IsWriteProtected(const std::string& path);

// The path a chain of symbolic links ends at (the path itself when it is no
// link); a relative link is taken from the folder of the link.  The chain
// is followed only so far, and a loop then ends at its last link.
std::string FinalLinkTarget(const std::string& path);

// When the file a path leads to was last changed, in nanoseconds of the
// system clock; nothing when it does not exist.
std::optional<int64_t> ModificationTime(const std::string& path);

// The longest file name the folder's file system takes.
size_t LongestFileName(const std::string& folder);

} // namespace platform
