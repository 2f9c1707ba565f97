// A binary PLY of about 1M triangles, generated once, against Assimp's own tools.
// WholeExport: `vantrel-host --document X.ply --command export` against
// `assimp export X.ply Y.ply -fplyb`, each a fresh process, interleaved; target at most
// 0.8x the time and at most Assimp's peak resident size. BuildDocument: in this
// process, building the host document from Assimp's scene (the import minus Assimp's
// read, interleaved); target at most 1.5x the read. Skipped when `assimp` is missing.
#include <assimp/scene.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <assimp/Importer.hpp>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_support.h"
#include "vantrel_host/model_import.h"
#include "vantrel_host/temp_folder.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kTargetTimeRatio = 0.8;
constexpr double kTargetBuildRatio = 1.5;
constexpr int kSide = 708;  // 2 x 708 x 708 = 1,002,528 triangles

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A bumpy side x side grid of quads, each two triangles, little-endian binary PLY.
void WritePly(const std::string& path, int side) {
    std::ofstream out(path, std::ios::binary);
    const int points = (side + 1) * (side + 1), faces = 2 * side * side;
    out << "ply\nformat binary_little_endian 1.0\nelement vertex " << points
        << "\nproperty float x\nproperty float y\nproperty float z\nelement face " << faces
        << "\nproperty list uchar int vertex_indices\nend_header\n";
    for (int y = 0; y <= side; ++y)
        for (int x = 0; x <= side; ++x) {
            const float p[] = {float(x), float(std::sin(x * 0.1) * std::cos(y * 0.1)), float(y)};
            out.write(reinterpret_cast<const char*>(p), sizeof p);
        }
    const unsigned char three = 3;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int a = y * (side + 1) + x, b = a + 1, c = a + side + 2, d = a + side + 1;
            const int triangles[2][3] = {{a, b, c}, {a, c, d}};
            for (const auto& t : triangles) {
                out.write(reinterpret_cast<const char*>(&three), 1);
                out.write(reinterpret_cast<const char*>(t), sizeof t);
            }
        }
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    for (size_t start = 0, end; start <= dirs.size(); start = end + 1) {
        end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

struct Run {
    double seconds;
    double peakBytes;
};

// One child process with its output discarded; its time and peak resident size.
Run Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) throw std::runtime_error("cannot start " + args[0]);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(args[0] + " failed");
    return {SecondsSince(start), 1024.0 * static_cast<double>(usage.ru_maxrss)};
}

// The model file, written once per run of the benchmark program.
const std::string& PlyFile() {
    static const vantrel_host::TempFolder folder("vantrel-bench-model-");
    static const std::string path = [] {
        const std::string p = folder.Path() + "/grid.ply";
        WritePly(p, kSide);
        return p;
    }();
    return path;
}

// Runs first, while this process is still small: a spawned child's peak size counts
// the process that spawned it.
void WholeExport(benchmark::State& state) {
    const std::string assimp = FindOnPath("assimp");
    if (assimp.empty()) {
        state.SkipWithError("assimp is not on PATH (Debian package assimp-utils): skipped");
        return;
    }
    const std::string ply = PlyFile();
    const std::string out = ply + ".out";
    const std::vector<std::string> ours = {
        VANTREL_HOST_PATH, "--document", ply, "--command", "export", "--save-as", out + ".vsp"};
    const std::vector<std::string> theirs = {assimp, "export", ply, out + ".ply", "-fplyb"};
    Spawn(ours);  // warms the page cache and checks both run
    Spawn(theirs);
    std::vector<double> our_times, their_times, our_peaks, their_peaks;
    for (auto _ : state) {
        const Run a = Spawn(ours), b = Spawn(theirs);
        our_times.push_back(a.seconds);
        their_times.push_back(b.seconds);
        our_peaks.push_back(a.peakBytes);
        their_peaks.push_back(b.peakBytes);
        state.SetIterationTime(a.seconds);
    }
    std::filesystem::remove(out + ".vsp");
    std::filesystem::remove(out + ".ply");
    const double ratio = median(our_times) / median(their_times);
    const double peak_ratio = median(our_peaks) / median(their_peaks);
    state.counters["assimp_ms"] = 1e3 * median(their_times);
    state.counters["ratio"] = ratio;
    state.counters["ratio_vs_target"] = ratio / kTargetTimeRatio;
    state.counters["peak_RSS_MiB"] = median(our_peaks) / (1 << 20);
    state.counters["assimp_peak_RSS_MiB"] = median(their_peaks) / (1 << 20);
    state.counters["peak_ratio"] = peak_ratio;
}
BENCHMARK(WholeExport)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);

void BuildDocument(benchmark::State& state) {
    const std::string ply = PlyFile();
    std::vector<double> reads, builds;
    for (auto _ : state) {
        auto start = Clock::now();
        {
            Assimp::Importer importer;
            if (importer.ReadFile(ply, 0) == nullptr) throw std::runtime_error("Assimp failed");
        }
        reads.push_back(SecondsSince(start));
        std::string error;
        start = Clock::now();
        const vantrel_host::ModelDocument model = vantrel_host::ImportModel(ply, error);
        const double import = SecondsSince(start);
        if (!model.document) throw std::runtime_error(error);
        builds.push_back(import - reads.back());
        state.SetIterationTime(builds.back());
    }
    const double ratio = median(builds) / median(reads);
    state.counters["assimp_read_ms"] = 1e3 * median(reads);
    state.counters["ratio"] = ratio;
    state.counters["ratio_vs_target"] = ratio / kTargetBuildRatio;
}
BENCHMARK(BuildDocument)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
