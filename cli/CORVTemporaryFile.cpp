#include "cli/CORVTemporaryFile.h"

#include "cli/CliError.h"
#include "cli/TextMatch.h"
#include "platform/FileStatus.h"
#include "platform/UnnamedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

namespace {

constexpr const char* kHiddenPrefix = ".";
constexpr const char* kTemporarySuffix = ".part-XXXXXX";
constexpr mode_t kFileMode = 0666; // before the user's umask, as for any new file
constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Paths of the files still in progress, kept where a signal handler can
// read them without allocating.  A render writes one file at a time; a few
// slots leave room for a caller that writes more.
constexpr size_t kSlots = 4;
constexpr size_t kMaxPath = 4096;
char gPendingPaths[kSlots][kMaxPath];
volatile sig_atomic_t gPendingUsed[kSlots];

extern "C" void RemovePendingFilesAndDie(int signalNumber)
{
    for (size_t i = 0; i < kSlots; ++i) {
        if (gPendingUsed[i])
            unlink(gPendingPaths[i]);
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

void InstallHandlersOnce()
{
    static const bool installed = [] {
        for (int signalNumber : kInterruptSignals)
            std::signal(signalNumber, RemovePendingFilesAndDie);
        return true;
    }();
    (void)installed;
}

int RegisterPending(const std::string& path)
{
    if (path.size() >= kMaxPath)
        return -1;
    for (size_t i = 0; i < kSlots; ++i) {
        if (!gPendingUsed[i]) {
            std::memcpy(gPendingPaths[i], path.c_str(), path.size() + 1);
            gPendingUsed[i] = 1;
            return int(i);
        }
    }
    return -1;
}

void Unregister(int slot)
{
    if (slot >= 0)
        gPendingUsed[size_t(slot)] = 0;
}

mode_t CurrentUmask()
{
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

CliError WriteError(const std::string& target, int error)
{
    return CliError("cannot write " + text_match::ShownPath(target) + ": " + std::strerror(error));
}

// The hidden name beside a file: its name cut short where the prefix and the
// suffix would make it longer than the file system takes.
std::string HiddenName(const std::string& fileName, size_t longestName)
{
    const size_t added = std::strlen(kHiddenPrefix) + std::strlen(kTemporarySuffix);
    const size_t kept = longestName > added ? std::min(fileName.size(), longestName - added) : 0;
    std::string name = kHiddenPrefix;
    name.append(fileName, 0, kept).append(kTemporarySuffix);
    return name;
}

} // namespace

CORVTemporaryFile::CORVTemporaryFile(const std::string& target) : target_(target)
{
    if (std::filesystem::path(target).filename().empty())
        throw CliError("cannot write " + text_match::ShownPath(target) + ": not a file name");
    // The kind is asked of the path itself: the system follows links the
    // way opening does, /dev/stdout's "pipe:[...]" included.
    switch (platform::KindOf(target)) {
    case platform::FileKind::Directory: throw WriteError(target, EISDIR);
    case platform::FileKind::Other: OpenUnnamed(target); break;
    default:
        final_ = platform::FinalLinkTarget(target);
        OpenBeside(final_);
        break;
    }
}

void CORVTemporaryFile::OpenUnnamed(const std::string& device)
{
    unnamed_ = true;
    path_ = device;
    descriptor_ = platform::OpenUnnamedFile();
    if (descriptor_ < 0)
        throw WriteError(target_, errno);
}

void CORVTemporaryFile::OpenBeside(const std::string& file)
{
    namespace fs = std::filesystem;
    const fs::path filePath(file);
    const fs::path folder = filePath.parent_path().empty() ? fs::path(".") : filePath.parent_path();
    path_ = (folder / HiddenName(filePath.filename().string(), platform::LongestFileName(folder.string()))).string();

    InstallHandlersOnce();
    std::vector<char> pattern(path_.begin(), path_.end());
    pattern.push_back('\0');
    descriptor_ = mkstemp(pattern.data());
    if (descriptor_ < 0)
        throw WriteError(target_, errno);
    path_ = pattern.data();
    slot_ = RegisterPending(path_);
    // A file replaced keeps its permissions; a new one gets what any new
    // file of the user gets.
    const std::optional<uint32_t> kept = platform::PermissionsOf(file);
    fchmod(descriptor_, kept ? mode_t(*kept) : kFileMode & ~CurrentUmask());
}

CORVTemporaryFile::~CORVTemporaryFile()
{
    if (!committed_)
        Discard();
}

void CORVTemporaryFile::Discard()
{
    if (descriptor_ >= 0)
        close(descriptor_);
    descriptor_ = -1;
    if (!unnamed_)
        unlink(path_.c_str());
    Unregister(slot_);
    slot_ = -1;
}

void CORVTemporaryFile::Commit()
{
    if (unnamed_) {
        const int copyError = platform::CopyInto(descriptor_, path_);
        Discard();
        if (copyError != 0)
            throw WriteError(target_, copyError);
        committed_ = true;
        return;
    }
    const int closed = close(descriptor_);
    const int closeError = errno;
    descriptor_ = -1;
    if (closed != 0) {
        Discard();
        throw WriteError(target_, closeError);
    }
    if (std::rename(path_.c_str(), final_.c_str()) != 0) {
        const int renameError = errno;
        Discard();
        throw WriteError(target_, renameError);
    }
    Unregister(slot_);
    slot_ = -1;
    committed_ = true;
}
