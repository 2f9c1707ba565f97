#include "sandbox.h"

#include <dirent.h>
#include <ftw.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace {
int removeEntry(const char* path, const struct stat*, int, struct FTW*) {
    return std::remove(path);
}

std::vector<pid_t> children() {
    std::vector<pid_t> pids;
    DIR* proc = opendir("/proc");
    if (!proc) return pids;
    while (const dirent* entry = readdir(proc)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
        std::string line;
        if (pid <= 0 || !std::getline(stat, line)) continue;
        // "pid (name) state ppid ..."
        const size_t end = line.rfind(')');
        if (end != std::string::npos && std::atoi(line.c_str() + end + 4) == getpid()) pids.push_back(pid);
    }
    closedir(proc);
    return pids;
}
}  // namespace

Sandbox::Sandbox() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vantrel-link-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    setenv("VANTREL_ROOT", root_.c_str(), 1);
}

Sandbox::~Sandbox() {
    unsetenv("VANTREL_ROOT");
    nftw(root_.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

std::string Sandbox::install(int version, bool floating) const {
    const std::string folder = root_ + "/Applications/Vantrel" + std::to_string(version) +
                               (floating ? "_floating" : "") + ".app/Contents/MacOS/";
    makeFolders(folder);
    return folder;
}

std::string Sandbox::resourceFolder(int version) const {
    return root_ + "/Library/Application Support/Vantrel" + std::to_string(version) + "/";
}

bool makeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        if (mkdir(path.substr(0, slash).c_str(), 0755) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

void writeFile(const std::string& path, const std::string& content, bool executable) {
    std::ofstream(path, std::ios::binary) << content;
    if (executable) chmod(path.c_str(), 0755);
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void copyFile(const std::string& from, const std::string& to) {
    writeFile(to + ".copy", readFile(from), true);
    std::rename((to + ".copy").c_str(), to.c_str());
}

void adoptOrphans() {
    prctl(PR_SET_CHILD_SUBREAPER, 1);
}

void killAndReapChildren() {
    for (pid_t pid : children()) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}
