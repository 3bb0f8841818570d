#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace platform {

enum class ReadResult {
    Read,    // the whole file is in contents
    Missing, // nothing exists at the path
    Failed,  // something exists but could not be read
};

// Reads a whole file as bytes.
ReadResult ReadWholeFile(const std::string& path, std::string& contents);

// Writes bytes to an open file descriptor; false unless every byte went out.
// Replaceable so that a full disk or an I/O error can be simulated.
using ByteWriter = std::function<bool(int descriptor, std::string_view bytes)>;
bool WriteAllBytes(int descriptor, std::string_view bytes);

// Replaces the file at path with bytes.  The bytes go to a temporary file in
// the same folder, are flushed to the disk and renamed over the old file, so
// that a crash or a failed write at any point leaves either the old or the new
// contents whole.  The file keeps its permissions.  False when it failed; the
// old file is then untouched and the temporary file removed.
bool ReplaceFile(const std::string& path, std::string_view bytes, const ByteWriter& writer = WriteAllBytes);

// Creates the file at path with bytes by the same route, but only when
// nothing exists there yet: a file that appeared meanwhile is never replaced.
bool CreateNewFile(const std::string& path, std::string_view bytes, const ByteWriter& writer = WriteAllBytes);

} // namespace platform
