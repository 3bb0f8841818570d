#include "platform/AtomicFile.h"
#include "platform/FileStatus.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Like a saved document: the owner writes, everyone reads.
constexpr mode_t kNewFileMode = 0644;
constexpr size_t kReadChunkBytes = 65536;

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Writes the bytes to a fresh hidden file next to path and flushes them to
// the disk.  The temporary file has to be in the same folder: only there is
// the rename that follows atomic.  Returns its path, empty after a failure
// (and then nothing is left behind).
std::string WriteTemporary(const std::string& path, std::string_view bytes, mode_t mode, const ByteWriter& writer)
{
    std::string name = FolderOf(path) + "/." + FileNameOf(path) + ".XXXXXX";
    const int descriptor = mkostemp(name.data(), O_CLOEXEC);
    if (descriptor < 0)
        return {};
    const bool written = fchmod(descriptor, mode) == 0 && writer(descriptor, bytes) && fsync(descriptor) == 0;
    const bool closed = close(descriptor) == 0;
    if (written && closed)
        return name;
    unlink(name.c_str());
    return {};
}

// A rename is only durable once the folder that holds the name is flushed.
void SyncFolder(const std::string& folder)
{
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        fsync(descriptor);
        close(descriptor);
    }
}

} // namespace

ReadResult ReadWholeFile(const std::string& path, std::string& contents)
{
    contents.clear();
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    std::string chunk(kReadChunkBytes, '\0');
    for (;;) {
        const ssize_t count = read(descriptor, chunk.data(), chunk.size());
        if (count == 0)
            break;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            close(descriptor);
            contents.clear();
            return ReadResult::Failed;
        }
        contents.append(chunk.data(), size_t(count));
    }
    close(descriptor);
    return ReadResult::Read;
}

bool WriteAllBytes(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t count = write(descriptor, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        bytes.remove_prefix(size_t(count));
    }
    return true;
}

bool ReplaceFile(const std::string& path, std::string_view bytes, const ByteWriter& writer)
{
    const mode_t mode = PermissionsOf(path).value_or(kNewFileMode);
    const std::string temporary = WriteTemporary(path, bytes, mode, writer);
    if (temporary.empty())
        return false;
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    SyncFolder(FolderOf(path));
    return true;
}

bool CreateNewFile(const std::string& path, std::string_view bytes, const ByteWriter& writer)
{
    const std::string temporary = WriteTemporary(path, bytes, kNewFileMode, writer);
    if (temporary.empty())
        return false;
    bool created = renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0;
    if (!created) {
        // Some file systems cannot rename without replacing; a hard link
        // refuses a taken name just the same.
        if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP)
            created = link(temporary.c_str(), path.c_str()) == 0;
        unlink(temporary.c_str());
    }
    if (created)
        SyncFolder(FolderOf(path));
    return created;
}

} // namespace platform
