// One export as a user runs it, in a fresh process: a 1,000,000-quad grid (UVs, phong
// normals) exported to a file, against a fresh process that writes the same number of
// bytes from memory. The runner's own road (`vantrel-host --document grid.json --command
// export`) spends nearly all of its time and memory reading the JSON document, which
// would swamp the export, so each child builds the grid in memory instead and measures
// only its export: time, and peak memory beyond what the document held before. Runs are
// interleaved and their medians printed; the export should stay within 1.8 times the
// plain write and 60 bytes per quad.
//
//   bench_oneshot_export [SIDE [RUNS]]   (default 1000 quads a side, 7 runs)
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "C4DLoader.h"
#include "bench_support.h"
#include "vantrel_host/host_services.h"
#include "vantrel_host/temp_folder.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    double seconds;
    double peakBytes;  // beyond what the process held before the measured work
};

// Measures work from here on: the time and the peak memory it adds, written to report.
template <typename Work>
int measure(const char* report, Work work) {
    const double before = memoryMiB("VmRSS");
    resetPeakMemory();  // restarts the peak at what is held now
    const auto start = Clock::now();
    if (!work()) return 1;
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::ofstream(report) << seconds << ' ' << (memoryMiB("VmHWM") - before) * 1024 * 1024 << '\n';
    return 0;
}

// Runs this benchmark in one of its helper modes to its end; what it measured.
Run runChild(const std::vector<std::string>& args, const std::string& report) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start " + args[0]);
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(args[1] + " failed");
    Run run{};
    if (!(std::ifstream(report) >> run.seconds >> run.peakBytes))
        throw std::runtime_error(args[1] + " reported nothing");
    return run;
}

// The helper modes: the export of the grid, and a write of as many bytes from freshly
// allocated memory, as an export that had nothing to compute would.
int exportGrid(int side, const char* path, const char* report) {
    GridDocument grid(side);
    C4DLoader loader;
    vantrel_host::SetFileDialogAnswer(path);
    return measure(report, [&] { return loader.vspExport(grid.doc); });
}

int writeBytes(size_t size, const char* path, const char* report) {
    return measure(report, [&] {
        std::unique_ptr<char[]> bytes(new char[size]);
        std::memset(bytes.get(), 'v', size);
        FILE* file = std::fopen(path, "wb+");
        if (!file) return false;
        const bool written = std::fwrite(bytes.get(), 1, size, file) == size;
        return std::fclose(file) == 0 && written;
    });
}

size_t fileSize(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) throw std::runtime_error("no file " + path);
    return static_cast<size_t>(status.st_size);
}

}  // namespace

int main(int argc, char** argv) try {
    ShowDialogsOnly();
    if (argc == 5 && std::strcmp(argv[1], "--export-grid") == 0)
        return exportGrid(std::atoi(argv[2]), argv[3], argv[4]);
    if (argc == 5 && std::strcmp(argv[1], "--write-bytes") == 0)
        return writeBytes(std::strtoull(argv[2], nullptr, 10), argv[3], argv[4]);
    const int side = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 7;
    if (side < 1 || runs < 1)
        throw std::invalid_argument("usage: bench_oneshot_export [SIDE [RUNS]]");

    const vantrel_host::TempFolder folder("vantrel-bench-oneshot-");
    const std::string exported = folder.Path() + "/grid.vsp";
    const std::string written = folder.Path() + "/plain.bin";
    const std::string report = folder.Path() + "/report";
    const std::vector<std::string> exportChild = {argv[0], "--export-grid", std::to_string(side),
                                                  exported, report};
    runChild(exportChild, report);  // sizes the plain write
    const std::vector<std::string> writeChild = {
        argv[0], "--write-bytes", std::to_string(fileSize(exported)), written, report};

    std::vector<double> exports, writes, exportPeaks, writePeaks;
    for (int i = 0; i < runs; ++i) {
        std::remove(exported.c_str());
        std::remove(written.c_str());
        const Run e = runChild(exportChild, report), w = runChild(writeChild, report);
        exports.push_back(e.seconds);
        writes.push_back(w.seconds);
        exportPeaks.push_back(e.peakBytes);
        writePeaks.push_back(w.peakBytes);
    }
    const double bytes = double(fileSize(exported)), quads = double(side) * side, MiB = 1 << 20;
    std::printf("%.0f quads, %.1f MB written, medians of %d interleaved fresh processes\n", quads,
                bytes / 1e6, runs);
    std::printf("export       %7.3f s  peak +%7.1f MiB = %5.1f bytes per quad (target 60)\n",
                median(exports), median(exportPeaks) / MiB, median(exportPeaks) / quads);
    std::printf("plain write  %7.3f s  peak +%7.1f MiB\n", median(writes),
                median(writePeaks) / MiB);
    std::printf("ratio        %7.2fx the plain write (target 1.8x)\n",
                median(exports) / median(writes));
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "bench_oneshot_export: %s\n", error.what());
    return 1;
}
