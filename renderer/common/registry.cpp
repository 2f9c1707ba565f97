#include "registry.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vantrel_renderer {

namespace {
const char* const kInstanceSuffix = ".instance";
}

std::string instanceEntryPath(const std::string& registryFolder, pid_t pid) {
    return registryFolder + std::to_string(pid) + kInstanceSuffix;
}

std::string sceneTreePath(const std::string& registryFolder, pid_t pid) {
    return registryFolder + std::to_string(pid) + ".scene";
}

std::vector<pid_t> registeredProcesses(const std::string& registryFolder) {
    std::vector<pid_t> pids;
    DIR* folder = opendir(registryFolder.c_str());
    if (!folder) return pids;
    while (const dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        char* end = nullptr;
        const long pid = std::strtol(name.c_str(), &end, 10);
        if (end != name.c_str() && pid > 0 && std::string(end) == kInstanceSuffix)
            pids.push_back(static_cast<pid_t>(pid));
    }
    closedir(folder);
    std::sort(pids.begin(), pids.end());
    return pids;
}

bool processRuns(pid_t pid) {
    if (pid <= 0 || (kill(pid, 0) != 0 && errno != EPERM)) return false;
    // Where the process table is readable, an ended but unreaped process is not running.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    const size_t name_end = line.rfind(')');
    return name_end == std::string::npos || name_end + 2 >= line.size() || line[name_end + 2] != 'Z';
}

bool readFile(const std::string& path, std::string& content) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) return false;
    content = text.str();
    return true;
}

bool writeFileAtomically(const std::string& path, const std::string& content) {
    const std::string temporary = path + ".part";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    const bool closed = std::fclose(file) == 0;
    if (written && closed && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    std::remove(temporary.c_str());
    return false;
}

bool makeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (!prefix.empty() && mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

}  // namespace vantrel_renderer
