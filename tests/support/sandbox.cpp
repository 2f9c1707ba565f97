#include "sandbox.h"

#include <dlfcn.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

Sandbox::Sandbox() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vantrel-link-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    setenv("VANTREL_ROOT", root_.c_str(), 1);
}

Sandbox::~Sandbox() {
    unsetenv("VANTREL_ROOT");
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string Sandbox::install(int version, bool floating) const {
    const std::string folder = root_ + "/Applications/Vantrel" + std::to_string(version) +
                               (floating ? "_floating" : "") + ".app/Contents/MacOS/";
    std::filesystem::create_directories(folder);
    return folder;
}

std::string Sandbox::resourceFolder(int version) const {
    return root_ + "/Library/Application Support/Vantrel" + std::to_string(version) + "/";
}

ProcessSandbox::ProcessSandbox() { prctl(PR_SET_CHILD_SUBREAPER, 1); }

// Every process whose parent is this one, as "/proc/PID/stat" tells: "pid (name) state ppid ...".
ProcessSandbox::~ProcessSandbox() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry.path().filename().c_str()));
        std::string stat;
        if (pid <= 0 || !std::getline(std::ifstream(entry.path() / "stat"), stat)) continue;
        const size_t end = stat.rfind(')');
        if (end == std::string::npos || std::atoi(stat.c_str() + end + 4) != getpid()) continue;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

void writeFile(const std::string& path, const std::string& content, bool executable) {
    std::ofstream(path, std::ios::binary) << content;
    if (executable) chmod(path.c_str(), 0755);
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void copyFile(const std::string& from, const std::string& to) {
    writeFile(to + ".copy", readFile(from), true);
    std::rename((to + ".copy").c_str(), to.c_str());
}

bool isLoaded(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle != nullptr;
}

bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition()) return true;
        usleep(10000);
    }
    return false;
}
