#include "platform/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {
namespace {

// Anyone who may write the guarded file may take the lock (before the umask).
constexpr mode_t kLockFileMode = 0666;

int OpenLockFile(const std::string& path)
{
    const int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kLockFileMode);
    // Another user's lock file can still be locked through a read-only opening.
    if (descriptor < 0 && errno == EACCES)
        return open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return descriptor;
}

} // namespace

FileLock::FileLock(const std::string& path) : descriptor(OpenLockFile(path))
{
    if (descriptor < 0)
        return;
    int locked = 0;
    do
        locked = flock(descriptor, LOCK_EX);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        close(descriptor);
        descriptor = -1;
    }
}

FileLock::~FileLock()
{
    // Closing the last descriptor of the opening releases the lock.
    if (descriptor >= 0)
        close(descriptor);
}

} // namespace platform
