#include "runner_temp_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace vantrel_host {
namespace {

// What the signal handler needs, prepared beforehand: it may not allocate.
char g_folder[PATH_MAX];
char g_timeout_message[PATH_MAX + 128];

constexpr int kHandledSignals[] = {SIGINT, SIGTERM, SIGALRM};

// Removes a folder with what it holds, using only calls that a signal handler may make;
// whether the folder is gone.
bool RemoveTree(int parent, const char* name) {
    const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    // Removing entries while listing may hide others: list again while entries go.
    for (bool removed = true; removed;) {
        removed = false;
        lseek(fd, 0, SEEK_SET);
        char buffer[4096];
        for (ssize_t n; (n = getdents64(fd, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < n;) {
                const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
                at += entry->d_reclen;
                const char* entry_name = entry->d_name;
                if (strcmp(entry_name, ".") == 0 || strcmp(entry_name, "..") == 0) continue;
                if (unlinkat(fd, entry_name, 0) == 0 || RemoveTree(fd, entry_name)) removed = true;
            }
        }
    }
    close(fd);
    return unlinkat(parent, name, AT_REMOVEDIR) == 0;
}

void OnSignal(int signal) {
    if (g_folder[0] != '\0') RemoveTree(AT_FDCWD, g_folder);
    if (signal == SIGALRM) {
        const ssize_t ignored = write(STDERR_FILENO, g_timeout_message, strlen(g_timeout_message));
        (void)ignored;
        _exit(1);
    }
    // Blocked until the handler returns, then it ends the process as usual.
    std::signal(signal, SIG_DFL);
    raise(signal);
}

// SIGALRM after seconds, unless the object is gone by then.
class Alarm {
public:
    explicit Alarm(double seconds) {
        itimerval timer{};
        timer.it_value.tv_sec = static_cast<time_t>(seconds);
        timer.it_value.tv_usec = static_cast<suseconds_t>((seconds - timer.it_value.tv_sec) * 1e6);
        setitimer(ITIMER_REAL, &timer, nullptr);
    }
    ~Alarm() {
        const itimerval off{};
        setitimer(ITIMER_REAL, &off, nullptr);
    }
    Alarm(const Alarm&) = delete;
    Alarm& operator=(const Alarm&) = delete;
};

// Sets TMPDIR for the life of the object, then restores what was there.
class TmpdirOverride {
public:
    explicit TmpdirOverride(const std::string& folder) {
        if (const char* before = std::getenv("TMPDIR")) before_ = before;
        setenv("TMPDIR", folder.c_str(), 1);
    }
    ~TmpdirOverride() {
        if (before_)
            setenv("TMPDIR", before_->c_str(), 1);
        else
            unsetenv("TMPDIR");
    }

private:
    std::optional<std::string> before_;
};

}  // namespace

RunnerTempFolder::RunnerTempFolder() {
    // A signal arriving before the handler knows the folder waits until it does.
    sigset_t handled, before;
    sigemptyset(&handled);
    for (int signal : kHandledSignals) sigaddset(&handled, signal);
    sigprocmask(SIG_BLOCK, &handled, &before);
    try {
        folder_ = std::make_unique<TempFolder>("vantrel-host-");
    } catch (...) {
        sigprocmask(SIG_SETMASK, &before, nullptr);
        throw;
    }
    // A path cut to fit would name some other folder: such a folder is only removed on
    // a normal exit.
    if (folder_->Path().size() < sizeof g_folder)
        snprintf(g_folder, sizeof g_folder, "%s", folder_->Path().c_str());
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : kHandledSignals) sigaction(signal, &action, nullptr);
    sigprocmask(SIG_SETMASK, &before, nullptr);
}

RunnerTempFolder::~RunnerTempFolder() {
    for (int signal : kHandledSignals) std::signal(signal, SIG_DFL);
    g_folder[0] = '\0';
}

ModelDocument RunnerTempFolder::Import(const std::string& file, double seconds,
                                       const std::function<ModelDocument()>& import) {
    snprintf(g_timeout_message, sizeof g_timeout_message,
             "vantrel-host: %s: the import did not finish within %g seconds "
             "(see --import-timeout)\n",
             file.c_str(), seconds);
    const TmpdirOverride tmpdir(folder_->Path());
    const Alarm alarm(seconds);
    return import();
}

}  // namespace vantrel_host
