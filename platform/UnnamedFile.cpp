#include "platform/UnnamedFile.h"

#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

constexpr const char* kDefaultTemporaryFolder = "/tmp";
constexpr const char* kNamePattern = "/stompset-XXXXXX";
constexpr mode_t kPrivateMode = 0600;
constexpr size_t kCopyChunkBytes = 65536;

std::string TemporaryFolder()
{
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? folder : kDefaultTemporaryFolder;
}

} // namespace

int OpenUnnamedFile()
{
    const std::string folder = TemporaryFolder();
    const int descriptor = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, kPrivateMode);
    if (descriptor >= 0)
        return descriptor;
    // A file system without unnamed files: a named one, unlinked at once.
    std::string pattern = folder + kNamePattern;
    const int named = mkostemp(pattern.data(), O_CLOEXEC);
    if (named >= 0)
        unlink(pattern.c_str());
    return named;
}

int CopyInto(int descriptor, const std::string& path)
{
    if (lseek(descriptor, 0, SEEK_SET) != 0)
        return errno;
    const int target = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (target < 0)
        return errno;
    std::vector<char> chunk(kCopyChunkBytes);
    int error = 0;
    for (;;) {
        const ssize_t count = read(descriptor, chunk.data(), chunk.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            error = count < 0 ? errno : 0;
            break;
        }
        if (!WriteAllBytes(target, std::string_view(chunk.data(), size_t(count)))) {
            error = errno != 0 ? errno : EIO;
            break;
        }
    }
    if (close(target) != 0 && error == 0)
        error = errno;
    return error;
}

} // namespace platform
