#include "vantrel_system.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "tav_sys.h"

namespace {

const char* const kStandardFolder = "/Applications/Vantrel%d.app/Contents/MacOS/";
const char* const kFloatingFolder = "/Applications/Vantrel%d_floating.app/Contents/MacOS/";
const char* const kResourceFolder = "/Library/Application Support/Vantrel%d/";
const int kPathSize = 1024;

// The sandbox root that every path is taken under; trailing slashes are dropped so
// that the fixed patterns, which start with "/", join it cleanly.
std::string rootPrefix() {
    const char* root = std::getenv("VANTREL_ROOT");
    std::string prefix = root ? root : "";
    while (!prefix.empty() && prefix.back() == '/') prefix.pop_back();
    return prefix;
}

std::string format(const char* pattern, int version) {
    char path[kPathSize];
    std::snprintf(path, sizeof path, pattern, version);
    return path;
}

std::string format(const char* pattern, const std::string& folder, int version) {
    char path[kPathSize];
    std::snprintf(path, sizeof path, pattern, folder.c_str(), version);
    return path;
}

std::string standardFolder(const std::string& root, int version) {
    return root + format(kStandardFolder, version);
}

std::string floatingFolder(const std::string& root, int version) {
    return root + format(kFloatingFolder, version);
}

bool exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// The started renderer must not hold the host's files, sockets or output pipes open.
void detachFromHost() {
    setsid();
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        if (null > STDERR_FILENO) close(null);
    }
#ifdef CLOSE_RANGE_CLOEXEC
    close_range(STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC);
#endif
}

}  // namespace

const VantrelSystem& VantrelSystem::instance() {
    static const VantrelSystem system;
    return system;
}

int VantrelSystem::vantrel_version(int versionMin, int versionMax) const {
    if (versionMax < versionMin) return -1;
    const std::string root = rootPrefix();
    for (int v = versionMax; v >= versionMin; --v)
        if (tav_sys::directoryExists(standardFolder(root, v))) return v;
    for (int v = versionMax; v >= versionMin; --v)
        if (tav_sys::directoryExists(floatingFolder(root, v))) return v;
    return -1;
}

std::string VantrelSystem::find_bin_path(int& version, int versionMin, int versionMax) const {
    const std::string root = rootPrefix();
    std::string result;
    for (int v = versionMax; v >= versionMin; --v) {
        if (tav_sys::directoryExists(standardFolder(root, v))) {
            version = v;
            result = standardFolder(root, v);
            break;
        }
    }
    // Floating installations are searched over all known versions, not only the range.
    for (int v = 20; v >= 5; --v) {
        if (v > version && tav_sys::directoryExists(floatingFolder(root, v))) {
            version = v;
            result = floatingFolder(root, v);
            break;
        }
    }
    return result;
}

std::string VantrelSystem::find_binary_name(int versionMin, int versionMax) const {
    const std::string root = rootPrefix();
    for (int v = versionMax; v >= versionMin; --v) {
        const std::string standard = standardFolder(root, v);
        if (exists(standard)) return format(v < 7 ? "%svantrel%d" : "%svantrel", standard, v);
        const std::string floating = floatingFolder(root, v);
        if (exists(floating))
            return format(v <= 6 ? "%svantrel%d_floating" : "%svantrel_floating", floating, v);
    }
    return "";
}

std::string VantrelSystem::find_resource_path(int, int) const {
    return rootPrefix() + format(kResourceFolder, vantrel_version(5, 20));
}

int VantrelSystem::getDefaultPortRange(int& low, int& high, int, int) const {
    low = 3141;
    high = 3151;
    return 0;
}

bool VantrelSystem::launch_vantrel(int versionMin, int versionMax) const {
    const std::string path = find_binary_name(versionMin, versionMax);
    if (path.empty() || access(path.c_str(), X_OK) != 0) return false;

    // Everything the child needs is prepared before fork: after it, only
    // async-signal-safe calls are made.
    char* const argv[] = {const_cast<char*>(path.c_str()), nullptr};
    // Reports a failed execv to the host; closed unread when execv succeeds.
    int report[2];
    if (pipe(report) != 0) return false;
    fcntl(report[0], F_SETFD, FD_CLOEXEC);
    fcntl(report[1], F_SETFD, FD_CLOEXEC);

    const pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (child == 0) {
        // The intermediate child ends at once, so the renderer is adopted by init (or the
        // nearest subreaper) and never lingers as a zombie of the host.
        close(report[0]);
        const pid_t renderer = fork();
        if (renderer != 0) _exit(renderer < 0 ? 1 : 0);
        detachFromHost();
        execv(path.c_str(), argv);
        const int error = errno;
        ssize_t ignored = write(report[1], &error, sizeof error);
        (void)ignored;
        _exit(127);
    }

    close(report[1]);
    int error = 0;
    ssize_t got;
    do got = read(report[0], &error, sizeof error);
    while (got < 0 && errno == EINTR);
    close(report[0]);

    // Reap only our own intermediate child; ECHILD means the host's SIGCHLD handling
    // reaped it already, and then the report pipe alone decides.
    int status = 0;
    pid_t reaped;
    do reaped = waitpid(child, &status, 0);
    while (reaped < 0 && errno == EINTR);
    const bool intermediateFailed =
        reaped == child && !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return got == 0 && !intermediateFailed;
}
