#include "log.h"

#include <sys/time.h>

#include <cstdint>
#include <ctime>

#include "tav_sys.h"
#include "vantrel_system.h"

namespace {
const int64_t kLogSizeLimit = 20971520;  // 20 MiB: a larger log is started afresh
}

std::string NowTime() {
    char clock[11];
    const time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    if (strftime(clock, sizeof clock, "%X", &local) == 0) clock[0] = '\0';
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    char result[100];
    snprintf(result, sizeof result, "%s.%03ld", clock, static_cast<long>(tv.tv_usec) / 1000);
    return result;
}

FILE* Output2FILE::Open(const std::string& folder) {
    const std::string path = tav_sys::joinPath(folder, "sceneapi.log");
    FILE* file = fopen(path.c_str(), tav_sys::fileSize(path) < kLogSizeLimit ? "a" : "w");
    if (!file) {
        fprintf(stderr, "could not open log file:\n");
        perror("opening log");
    }
    return file;
}

FILE*& Output2FILE::Stream() {
    static FILE* pStream = nullptr;
    if (!pStream) pStream = Open(VantrelSystem::instance().find_resource_path(5, 20));
    return pStream;
}

void Output2FILE::Output(const std::string& line) {
    FILE* stream = Stream();
    if (!stream) return;
    if (fputs(line.c_str(), stream) < 0 || fflush(stream) != 0) perror("writing log");
}
