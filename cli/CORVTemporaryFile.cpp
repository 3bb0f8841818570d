#include "cli/CORVTemporaryFile.h"

#include "cli/CliError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

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
    return CliError("cannot write '" + target + "': " + std::strerror(error));
}

} // namespace

CORVTemporaryFile::CORVTemporaryFile(const std::string& target) : target_(target)
{
    namespace fs = std::filesystem;
    const fs::path targetPath(target);
    if (targetPath.filename().empty())
        throw CliError("cannot write '" + target + "': not a file name");
    std::error_code error;
    if (fs::is_directory(targetPath, error))
        throw WriteError(target, EISDIR);
    const fs::path folder = targetPath.parent_path().empty() ? fs::path(".") : targetPath.parent_path();
    std::string hiddenName = ".";
    hiddenName.append(targetPath.filename().string()).append(kTemporarySuffix);
    path_ = (folder / hiddenName).string();

    InstallHandlersOnce();
    std::vector<char> pattern(path_.begin(), path_.end());
    pattern.push_back('\0');
    descriptor_ = mkstemp(pattern.data());
    if (descriptor_ < 0)
        throw WriteError(target, errno);
    path_ = pattern.data();
    slot_ = RegisterPending(path_);
    fchmod(descriptor_, kFileMode & ~CurrentUmask());
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
    unlink(path_.c_str());
    Unregister(slot_);
    slot_ = -1;
}

void CORVTemporaryFile::Commit()
{
    const int closed = close(descriptor_);
    const int closeError = errno;
    descriptor_ = -1;
    if (closed != 0) {
        Discard();
        throw WriteError(target_, closeError);
    }
    if (std::rename(path_.c_str(), target_.c_str()) != 0) {
        const int renameError = errno;
        Discard();
        throw WriteError(target_, renameError);
    }
    Unregister(slot_);
    slot_ = -1;
    committed_ = true;
}
