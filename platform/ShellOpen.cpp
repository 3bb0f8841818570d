#include "platform/ShellOpen.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {
namespace {

// A short-lived shell starts the opener in the background and exits at once,
// so the opener is handed to the system's reaper and only the shell is ours
// to wait for.  The shell reports a missing opener through its exit status.
// A shell rather than a second fork: between fork and exec a process with
// other threads (a host) may call only async-signal-safe functions, and
// searching the PATH and spawning are not among them.
constexpr const char* kLauncher = "command -v xdg-open >/dev/null 2>&1 || exit 127\n"
                                  "xdg-open \"$1\" &\n";
constexpr int kNoOpener = 127;

// The child starts from a clean slate: no signals blocked, the ones a host
// commonly ignores or catches back at their defaults, quiet standard streams
// and none of the host's other descriptors (audio devices, sockets).
bool PrepareSpawn(posix_spawnattr_t& attributes, posix_spawn_file_actions_t& actions)
{
    sigset_t none;
    sigset_t defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int signal : {SIGCHLD, SIGPIPE, SIGINT, SIGQUIT, SIGHUP, SIGTERM})
        sigaddset(&defaults, signal);
    bool ready = posix_spawnattr_setsigmask(&attributes, &none) == 0 &&
                 posix_spawnattr_setsigdefault(&attributes, &defaults) == 0 &&
                 posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
    for (int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        ready = ready && posix_spawn_file_actions_addopen(&actions, stream, "/dev/null",
                                                          stream == STDIN_FILENO ? O_RDONLY : O_WRONLY, 0) == 0;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    ready = ready && posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1) == 0;
#endif
    return ready;
}

// Waits for the shell alone, never for another child of the process.  A host
// that ignores SIGCHLD, or whose handler reaps every child, takes the status
// away (ECHILD); the shell has then run, and the opener is taken as started.
bool ShellStartedOpener(pid_t shell)
{
    int status = 0;
    pid_t waited;
    do
        waited = waitpid(shell, &status, 0);
    while (waited < 0 && errno == EINTR);
    if (waited < 0)
        return errno == ECHILD;
    return WIFEXITED(status) && WEXITSTATUS(status) != kNoOpener;
}

} // namespace

bool OpenInDesktop(const std::string& target)
{
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;
    if (posix_spawnattr_init(&attributes) != 0)
        return false;
    if (posix_spawn_file_actions_init(&actions) != 0) {
        posix_spawnattr_destroy(&attributes);
        return false;
    }
    pid_t shell = -1;
    bool spawned = false;
    if (PrepareSpawn(attributes, actions)) {
        const char* arguments[] = {"sh", "-c", kLauncher, "orvanta-open", target.c_str(), nullptr};
        spawned = posix_spawn(&shell, "/bin/sh", &actions, &attributes, const_cast<char* const*>(arguments),
                              environ) == 0;
    }
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return spawned && ShellStartedOpener(shell);
}

} // namespace platform
