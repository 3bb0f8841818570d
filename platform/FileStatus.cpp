#include "platform/FileStatus.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace platform {
namespace {

constexpr mode_t kPermissionBits = 07777;
constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;
// As many links as the system follows itself before it gives up.
constexpr int kMostLinksFollowed = 40;

} // namespace

FileKind KindOf(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? FileKind::Missing : FileKind::Unknown;
    if (S_ISREG(info.st_mode))
        return FileKind::Regular;
    return S_ISDIR(info.st_mode) ? FileKind::Directory : FileKind::Other;
}

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat first {};
    struct stat second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

std::optional<uint32_t> PermissionsOf(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return uint32_t(info.st_mode & kPermissionBits);
}

bool IsWriteProtected(const std::string& path)
{
    const std::optional<uint32_t> permissions = PermissionsOf(path);
    return permissions && ((*permissions & kAnyWriteBit) == 0 || access(path.c_str(), W_OK) != 0);
}

std::string FinalLinkTarget(const std::string& path)
{
    namespace fs = std::filesystem;
    fs::path current(path);
    for (int followed = 0; followed < kMostLinksFollowed; ++followed) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error)))
            break;
        const fs::path target = fs::read_symlink(current, error);
        if (error)
            break;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current.string();
}

size_t LongestFileName(const std::string& folder)
{
    const long longest = pathconf(folder.c_str(), _PC_NAME_MAX);
    return longest > 0 ? size_t(longest) : size_t(NAME_MAX);
}

std::optional<int64_t> ModificationTime(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return int64_t(status.st_mtim.tv_sec) * 1000000000 + int64_t(status.st_mtim.tv_nsec);
}

} // namespace platform
