// A whole export of one large polygon object (1,000,000 quads with UVs and phong
// normals) into a scene file in /tmp, side by side with plainly writing as many bytes to
// a file there, the host's phong normals of the object, and the same walk into the null
// back end; each write starts from a settled disk cache. Everything runs on one thread.
// Targets: the export less the host's phong share at most 1.5 times the plain write
// (export_ratio), the converter's own share (the null walk less the phong share) at most
// 0.5 times (converter_ratio). Peaks are those of the export and of the null walk, next
// to the memory the document holds before.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "C4DLoader.h"
#include "bench_support.h"
#include "vantrel_host/host_services.h"

namespace {

using Clock = std::chrono::steady_clock;

// A folder in /tmp, removed with its files.
struct TempFolder {
    std::string path;
    TempFolder() {
        char pattern[] = "/tmp/vantrel-bench-XXXXXX";
        if (!mkdtemp(pattern)) throw std::runtime_error("cannot create a folder in /tmp");
        path = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

long fileSize(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file || std::fseek(file, 0, SEEK_END) != 0)
        throw std::runtime_error("cannot size " + path);
    const long size = std::ftell(file);
    std::fclose(file);
    return size;
}

// The whole "Export to .vsp" command, its file dialog answered with path.
double exportSeconds(C4DLoader& loader, BaseDocument* doc, const std::string& path) {
    vantrel_host::SetFileDialogAnswer(path);
    resetPeakMemory();
    const auto start = Clock::now();
    if (!loader.vspExport(doc)) throw std::runtime_error("export failed: " + path);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The host's share of the export: its phong normals of the object.
double phongSeconds(PolygonObject* object) {
    const auto start = Clock::now();
    Vector32* normals = object->CreatePhongNormals();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    DeleteMem(normals);
    return seconds;
}

// The converter's share of the export: the same walk into the null back end.
double nullApiSeconds(C4DLoader& loader, BaseDocument* doc) {
    resetPeakMemory();
    const auto start = Clock::now();
    loader.sceneWrapper = std::make_unique<tav::tavSceneapi_oo>();
    loader.load(doc);
    loader.sceneWrapper.reset();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double plainWriteSeconds(const std::vector<char>& bytes, const std::string& path) {
    const auto start = Clock::now();
    FILE* file = std::fopen(path.c_str(), "wb+");
    if (!file) throw std::runtime_error("cannot open " + path);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) throw std::runtime_error("cannot write " + path);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void PolygonExportVersusPlainWrite(benchmark::State& state) {
    ShowDialogsOnly();
    GridDocument grid(static_cast<int>(state.range(0)));
    C4DLoader loader;
    const TempFolder folder;
    const std::string exportPath = folder.path + "/export.vsp",
                      plainPath = folder.path + "/plain.vsp";
    exportSeconds(loader, grid.doc, exportPath);  // sizes the plain write, warms the buffers
    const std::vector<char> bytes(fileSize(exportPath), 'x');

    const double documentMiB = memoryMiB("VmRSS");
    std::vector<double> exports, plains, phongs, nullApis;
    double exportPeak = 0, nullApiPeak = 0;
    settle(exportPath);
    for (auto _ : state) {
        exports.push_back(exportSeconds(loader, grid.doc, exportPath));
        exportPeak = std::max(exportPeak, memoryMiB("VmHWM"));
        settle(exportPath);
        plains.push_back(plainWriteSeconds(bytes, plainPath));
        settle(plainPath);
        phongs.push_back(phongSeconds(grid.object));
        nullApis.push_back(nullApiSeconds(loader, grid.doc));
        nullApiPeak = std::max(nullApiPeak, memoryMiB("VmHWM"));
        state.SetIterationTime(exports.back());
    }
    const double exportTime = median(exports), plain = median(plains), phong = median(phongs),
                 nullApi = median(nullApis);
    state.counters["bytes"] = double(bytes.size());
    state.counters["export_ms"] = 1000 * exportTime;
    state.counters["plain_write_ms"] = 1000 * plain;
    state.counters["host_phong_ms"] = 1000 * phong;
    state.counters["null_api_ms"] = 1000 * nullApi;
    state.counters["export_ratio"] = (exportTime - phong) / plain;
    state.counters["converter_ratio"] = (nullApi - phong) / plain;
    state.counters["document_MiB"] = documentMiB;
    state.counters["export_peak_MiB"] = exportPeak;
    state.counters["null_api_peak_MiB"] = nullApiPeak;
}
BENCHMARK(PolygonExportVersusPlainWrite)
    ->Arg(1000)  // 1000 x 1000 quads
    ->UseManualTime()
    ->Iterations(15)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
