// The live road against the file export of the same document (1,000,000 quads with UVs
// and phong normals): "Update Vantrel scene" (which, unlike a render, keeps sending to the
// renderer that shows the model) until the stand-in renderer confirmed that it saved the
// scene, interleaved with "Export to .vsp" into a file. The live road should
// take at most three times as long. The renderer runs in a sandbox root and, where the
// machine allows it, in a network namespace of this benchmark's own; every file it saves
// is flushed to disk and removed as the export's file is, so both sides pay for the
// same disk work. Peak memory is that of the measured command: the host process's (of
// which document_MiB was held before) and the renderer's, each reset before the command.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "C4DLoader.h"
#include "bench_support.h"
#include "private_network.h"
#include "renderer_sandbox.h"
#include "vantrel_host/host_services.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Command>
double secondsOf(Command command) {
    const auto start = Clock::now();
    command();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void LiveRoadVersusFileExport(benchmark::State& state) {
    ShowDialogsOnly();
    const std::string unusable = livePortsUnusable();
    if (!unusable.empty()) {
        state.SkipWithError(unusable.c_str());
        return;
    }
    RendererSandbox sandbox;  // VANTREL_ROOT points into it while it lives
    setenv("VANTREL_RENDERER_IDLE_SECONDS", "120", 1);
    GridDocument grid(static_cast<int>(state.range(0)));
    C4DLoader loader;
    std::string failure;
    vantrel_host::SetMessageSink([&](vantrel_host::MessageKind kind, const std::string& text) {
        if (kind == vantrel_host::MessageKind::Dialog) failure = text;
    });
    const std::string exportPath = sandbox.root() + "/export.vsp";
    vantrel_host::SetFileDialogAnswer(exportPath);

    // The first update launches the renderer; the first export warms the buffers.
    loader.update(grid.doc);
    const std::vector<pid_t> renderers = sandbox.registered();
    if (!failure.empty() || renderers.size() != 1) {
        state.SkipWithError(("the renderer did not take the scene: " + failure).c_str());
        return;
    }
    const pid_t renderer = renderers[0];
    const std::string received =
        sandbox.resourceFolder(8) + "received/" + std::to_string(renderer) + "-";
    int scenes = 1;
    settle(received + "1.vsp");
    loader.vspExport(grid.doc);
    settle(exportPath);

    const double documentMiB = memoryMiB("VmRSS");
    std::vector<double> lives, exports;
    double livePeak = 0, rendererPeak = 0, exportPeak = 0;
    for (auto _ : state) {
        resetPeakMemory();
        resetPeakMemory(std::to_string(renderer));
        lives.push_back(secondsOf([&] { loader.update(grid.doc); }));
        livePeak = std::max(livePeak, memoryMiB("VmHWM"));
        rendererPeak = std::max(rendererPeak, memoryMiB("VmHWM", std::to_string(renderer)));
        if (!failure.empty()) {
            state.SkipWithError(failure.c_str());
            return;
        }
        settle(received + std::to_string(++scenes) + ".vsp");

        resetPeakMemory();
        exports.push_back(secondsOf([&] {
            if (!loader.vspExport(grid.doc)) throw std::runtime_error("export failed");
        }));
        exportPeak = std::max(exportPeak, memoryMiB("VmHWM"));
        settle(exportPath);
        state.SetIterationTime(lives.back());
    }
    vantrel_host::SetMessageSink({});
    state.counters["live_ms"] = 1000 * median(lives);
    state.counters["export_ms"] = 1000 * median(exports);
    state.counters["ratio"] = median(lives) / median(exports);
    state.counters["document_MiB"] = documentMiB;  // held before each command
    state.counters["live_peak_MiB"] = livePeak;
    state.counters["renderer_peak_MiB"] = rendererPeak;
    state.counters["export_peak_MiB"] = exportPeak;
}
BENCHMARK(LiveRoadVersusFileExport)
    ->Arg(1000)  // 1000 x 1000 quads
    ->UseManualTime()
    ->Iterations(15)
    ->Unit(benchmark::kMillisecond);

}  // namespace

// The private network must be entered before anything starts a thread.
int main(int argc, char** argv) {
    const std::string failure = enterPrivateNetwork();
    if (!failure.empty())
        std::fprintf(stderr, "live road: %s; the benchmark shares the machine's live-link ports\n",
                     failure.c_str());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
