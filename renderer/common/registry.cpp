#include "registry.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vantrel_renderer {

namespace {

const char* const kInstanceSuffix = ".instance";

// Reads the literal at text[at...], then a decimal number of at most nine digits.
bool readField(const std::string& text, size_t& at, const std::string& literal, int& number) {
    if (text.compare(at, literal.size(), literal) != 0) return false;
    at += literal.size();
    const size_t start = at;
    number = 0;
    while (at < text.size() && at - start < 9 && text[at] >= '0' && text[at] <= '9')
        number = number * 10 + (text[at++] - '0');
    return at > start;
}

// The path with symbolic links resolved; the path itself when it cannot be resolved.
std::string resolved(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (!real) return path;
    std::string result = real;
    std::free(real);
    return result;
}

// The executable of the process, or else the first word of its command line; empty when
// the process table does not tell.
std::string programOf(pid_t pid) {
    const std::string process = "/proc/" + std::to_string(pid);
    std::string program(PATH_MAX, '\0');
    const ssize_t length = readlink((process + "/exe").c_str(), program.data(), program.size());
    if (length > 0) return program.substr(0, static_cast<size_t>(length));
    std::string command;
    if (!readFile(process + "/cmdline", command)) return "";
    return resolved(command.substr(0, command.find('\0')));
}

}  // namespace

std::string instanceEntryText(const InstanceEntry& entry) {
    return "<instance><version_major>" + std::to_string(entry.version) +
           "</version_major><process_id>" + std::to_string(entry.pid) +
           "</process_id><livelink_port>" + std::to_string(entry.port) +
           "</livelink_port></instance>\n";
}

bool parseInstanceEntry(const std::string& text, InstanceEntry& entry) {
    size_t at = 0;
    int version = 0, pid = 0, port = 0;
    if (!readField(text, at, "<instance><version_major>", version) ||
        !readField(text, at, "</version_major><process_id>", pid) ||
        !readField(text, at, "</process_id><livelink_port>", port) ||
        text.compare(at, std::string::npos, "</livelink_port></instance>\n") != 0)
        return false;
    entry = {version, static_cast<pid_t>(pid), port};
    return true;
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
    return name_end == std::string::npos || name_end + 2 >= line.size() ||
           line[name_end + 2] != 'Z';
}

bool runsProgramOf(pid_t pid, const Installation& installation) {
    const std::string program = programOf(pid);
    if (program.empty()) return true;
    const auto running = installationOf(program);
    return running && running->version == installation.version &&
           resolved(running->root) == resolved(installation.root);
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
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (!prefix.empty() && mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

}  // namespace vantrel_renderer
