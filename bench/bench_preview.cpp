// The preview renderer on exported scenes: the demo document at 640 x 360 with 16 samples
// and a 1,000,000-quad grid at 640 x 360 with 4 samples. Reports the time to read the
// scene file, to build the acceleration structure and to trace, the total, rays per
// second, and what Embree's own single-ray queries reach on the same scene in a bare
// loop of camera rays over as many threads, with the ratio of the two. Targets: demo
// under 1 s, the grid under 4 s, rays per second within 2x of the bare loop.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "C4DLoader.h"
#include "bench_support.h"
#include "embree_scene.h"
#include "render.h"
#include "scene.h"
#include "vantrel_host/document_file.h"
#include "vantrel_host/host_services.h"
#include "vsp/Reader.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double peakRssMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// A document exported into a file in /tmp and read back as the renderer reads it.
struct ExportedScene {
    preview::Scene scene;
    double parseSeconds = 0;    // the reader's tree of the file
    double flattenSeconds = 0;  // the renderer's scene from the tree

    explicit ExportedScene(BaseDocument* doc) {
        char pattern[] = "/tmp/vantrel-bench-XXXXXX";
        if (!mkdtemp(pattern)) throw std::runtime_error("cannot create a folder in /tmp");
        const std::string folder = pattern, path = folder + "/scene.vsp";
        C4DLoader loader;
        ShowDialogsOnly();
        vantrel_host::SetFileDialogAnswer(path);
        const bool exported = loader.vspExport(doc);
        if (exported) {
            const auto start = Clock::now();
            const vsp::Node root = vsp::parseFile(path);
            parseSeconds = secondsSince(start);
            const auto flattenStart = Clock::now();
            scene = preview::sceneFromTree(root, folder);
            flattenSeconds = secondsSince(flattenStart);
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        if (!exported) throw std::runtime_error("export failed");
    }
};

// Camera rays only, each traced with rtcIntersect1, tiles shared out over the threads.
double bareLoopRaysPerSecond(const preview::Scene& scene, const preview::RenderSettings& settings) {
    const preview::EmbreeScene embree(scene);
    const preview::Camera camera =
        scene.camera ? *scene.camera
                     : preview::framingCamera(scene, float(settings.width) / settings.height);
    const preview::Screen screen(camera, settings.width, settings.height);
    std::atomic<int> nextRow{0};
    std::atomic<uint64_t> hits{0};
    auto work = [&] {
        uint64_t myHits = 0;
        for (int y; (y = nextRow++) < settings.height;)
            for (int x = 0; x < settings.width; ++x)
                for (int s = 0; s < settings.samples; ++s) {
                    const preview::Vec3 d =
                        screen.direction((x + (s + 0.5f) / settings.samples) / settings.width,
                                         (y + 0.5f) / settings.height);
                    RTCIntersectContext context;
                    rtcInitIntersectContext(&context);
                    RTCRayHit hit{};
                    hit.ray.org_x = camera.position.x, hit.ray.org_y = camera.position.y;
                    hit.ray.org_z = camera.position.z;
                    hit.ray.dir_x = d.x, hit.ray.dir_y = d.y, hit.ray.dir_z = d.z;
                    hit.ray.tfar = INFINITY;
                    hit.ray.mask = ~0u;
                    hit.hit.geomID = RTC_INVALID_GEOMETRY_ID;
                    rtcIntersect1(embree.handle(), &context, &hit);
                    myHits += hit.hit.geomID != RTC_INVALID_GEOMETRY_ID;
                }
        hits += myHits;
    };
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i)
        threads.emplace_back(work);
    for (std::thread& thread : threads) thread.join();
    benchmark::DoNotOptimize(hits.load());
    return double(settings.width) * settings.height * settings.samples / secondsSince(start);
}

void renderAndReport(benchmark::State& state, const ExportedScene& exported, int samples) {
    preview::RenderSettings settings;
    settings.samples = samples;
    std::vector<double> builds, traces, totals, rates, bareRates;
    for (auto _ : state) {
        preview::RenderStats stats;
        benchmark::DoNotOptimize(preview::render(exported.scene, settings, &stats));
        builds.push_back(stats.buildSeconds);
        traces.push_back(stats.traceSeconds);
        totals.push_back(exported.parseSeconds + exported.flattenSeconds + stats.buildSeconds +
                         stats.traceSeconds);
        rates.push_back(stats.rays / stats.traceSeconds);
        // Interleaved with the renders, so both see the same load on the machine.
        bareRates.push_back(bareLoopRaysPerSecond(exported.scene, settings));
        state.SetIterationTime(stats.buildSeconds + stats.traceSeconds);
    }
    state.counters["parse_ms"] = 1000 * exported.parseSeconds;
    state.counters["flatten_ms"] = 1000 * exported.flattenSeconds;
    state.counters["bvh_build_ms"] = 1000 * median(builds);
    state.counters["trace_ms"] = 1000 * median(traces);
    state.counters["total_ms"] = 1000 * median(totals);
    state.counters["Mrays_per_s"] = median(rates) / 1e6;
    state.counters["bare_Mrays_per_s"] = median(bareRates) / 1e6;
    state.counters["bare_over_render"] = median(bareRates) / median(rates);
    state.counters["peak_rss_MB"] = peakRssMegabytes();
}

void PreviewDemo(benchmark::State& state) {
    std::string error;
    const std::unique_ptr<BaseDocument> doc = vantrel_host::BuildDemoDocument(error);
    if (!doc) throw std::runtime_error(error);
    renderAndReport(state, ExportedScene(doc.get()), 16);
}
BENCHMARK(PreviewDemo)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// The grid seen from above at an angle, lit by one light and the sky.
void PreviewMillionQuads(benchmark::State& state) {
    GridDocument grid(1000);
    BaseObject* camera = vantrel_host::AddObject(*grid.doc, Ocamera, "Camera");
    camera->SetRelPos(Vector(500, 500, -250));
    camera->SetRelRot(Vector(0, 0.6, 0));  // looks down
    vantrel_host::SetParam(camera, 1008, GeData(Float(0.9)));
    BaseObject* light = vantrel_host::AddObject(*grid.doc, Olight, "Light");
    light->SetRelPos(Vector(300, 400, 300));
    vantrel_host::SetParam(light, 90001, GeData(Float(1.0)));
    vantrel_host::SetParam(light, 90000, GeData(Vector(1, 1, 1)));
    renderAndReport(state, ExportedScene(grid.doc), 4);
}
BENCHMARK(PreviewMillionQuads)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
