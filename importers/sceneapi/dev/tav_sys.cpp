#include "tav_sys.h"

#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace tav_sys {

bool directoryExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int64_t fileSize(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return 0;
    const std::streamoff end = file.tellg();
    return end < 0 ? 0 : static_cast<int64_t>(end);
}

std::string joinPath(const std::string& a, const std::string& b) { return a + "/" + b; }

void sleep(int milliseconds) {
    // Resumes after signals, and unlike usleep takes pauses of a second or more everywhere.
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace tav_sys
