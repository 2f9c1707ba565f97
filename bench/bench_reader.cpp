// `vsp-dump --summary` of the exported 1M-quad scene (about 164 MB), the file warm in the
// page cache, each run a fresh process. Targets: at least 500 MB/s, and a peak resident
// size of at most 1.2 times the file. plain_read_MBps is reading the same file into
// memory in the same run: the floor any reader stands on. VANTREL_VSP_DUMP names another
// vsp-dump to measure, for before-and-after comparisons.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "C4DLoader.h"
#include "bench_support.h"
#include "vantrel_host/host_services.h"
#include "vantrel_host/temp_folder.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kTargetMBps = 500;
constexpr double kTargetPeakPerFileByte = 1.2;

// The scene, exported once by a child process: a spawned process's peak size counts
// the size of the process that spawned it, which must therefore never hold the document.
std::string exportGrid(const std::string& folder, int side) {
    const std::string path = folder + "/grid.vsp";
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("cannot fork");
    if (pid == 0) {
        GridDocument grid(side);
        C4DLoader loader;
        vantrel_host::SetFileDialogAnswer(path);
        _exit(loader.vspExport(grid.doc) ? 0 : 1);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("export failed: " + path);
    return path;
}

struct Run {
    double seconds;
    double peakBytes;
};

const char* vspDump() {
    const char* chosen = std::getenv("VANTREL_VSP_DUMP");
    return chosen ? chosen : VSP_DUMP_PATH;
}

// One `vsp-dump --summary path` with its output discarded.
Run dumpSummary(const std::string& path) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const char* argv[] = {vspDump(), "--summary", path.c_str(), nullptr};
    const auto start = Clock::now();
    pid_t pid = 0;
    const int error =
        posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) throw std::runtime_error(std::string("cannot start ") + argv[0]);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("vsp-dump --summary failed on " + path);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return {seconds, 1024.0 * static_cast<double>(usage.ru_maxrss)};
}

double plainReadSeconds(const std::string& path, size_t size) {
    const auto start = Clock::now();
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) throw std::runtime_error("cannot open " + path);
    std::unique_ptr<char[]> bytes(new char[size]);
    size_t done = 0;
    for (ssize_t n; done < size && (n = read(fd, bytes.get() + done, size - done)) > 0;)
        done += static_cast<size_t>(n);
    close(fd);
    if (done != size) throw std::runtime_error("cannot read " + path);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void DumpSummaryOfExportedGrid(benchmark::State& state) {
    ShowDialogsOnly();
    const vantrel_host::TempFolder folder("vantrel-bench-reader-");
    const std::string path = exportGrid(folder.Path(), static_cast<int>(state.range(0)));
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) throw std::runtime_error("cannot size " + path);
    const auto size = static_cast<size_t>(status.st_size);
    dumpSummary(path);  // warms the page cache

    std::vector<double> dumps, peaks, plains;
    for (auto _ : state) {
        const Run run = dumpSummary(path);
        dumps.push_back(run.seconds);
        peaks.push_back(run.peakBytes);
        plains.push_back(plainReadSeconds(path, size));
        state.SetIterationTime(run.seconds);
    }
    const double megabytes = double(size) / 1e6;
    state.counters["file_MB"] = megabytes;
    state.counters["MBps"] = megabytes / median(dumps);
    state.counters["MBps_vs_target"] = megabytes / median(dumps) / kTargetMBps;
    state.counters["plain_read_MBps"] = megabytes / median(plains);
    state.counters["peak_RSS_MB"] = median(peaks) / 1e6;
    state.counters["peak_per_file_byte"] = median(peaks) / double(size);
    state.counters["peak_vs_target"] = median(peaks) / double(size) / kTargetPeakPerFileByte;
}
BENCHMARK(DumpSummaryOfExportedGrid)
    ->Arg(1000)  // 1000 x 1000 quads
    ->UseManualTime()
    ->Iterations(9)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
