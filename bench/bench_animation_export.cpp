// Export of a long animation: 1,000 objects, each with x, y and z tracks of position,
// rotation and scale over 10 seconds, converted into a scene file in a temporary folder,
// side by side with the same walk into the null back end, which tells how much of the
// time the writer (number text and file output) takes. Target: file_ratio (file time
// over null time, medians of interleaved runs) at most 3. finish_ms is the part of the
// file time spent after the walk, mostly waiting for the disk to take the file before
// it replaces the old one. Peaks are those of each measured part, next to the memory the
// document holds before.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "C4DLoader.h"
#include "LightFileFactory.h"
#include "bench_support.h"
#include "c4d.h"
#include "tavsceneapi_oo.h"
#include "vantrel_host/document_builder.h"

namespace {

constexpr int kObjects = 1000;

// Every track starts from a position, rotation and scale away from the identity, as the
// walk reads them at the first frame, so that the sample matrices are full ones.
std::unique_ptr<BaseDocument> animatedDocument() {
    std::unique_ptr<BaseDocument> doc(BaseDocument::Alloc());
    for (int i = 0; i < kObjects; ++i) {
        BaseObject* op = vantrel_host::AddObject(*doc, Onull, "Object " + std::to_string(i));
        const std::pair<Int32, Vector64> channels[] = {
            {ID_BASEOBJECT_REL_POSITION, {1.5 * i, -20.0, 0.25 * i}},
            {ID_BASEOBJECT_REL_ROTATION, {0.01 * i, 0.3, -0.2}},
            {ID_BASEOBJECT_REL_SCALE, {1.0, 2.0, 0.5}}};
        for (const auto& [channel, start] : channels)
            for (Int32 c = 0; c < 3; ++c)
                vantrel_host::AddTrack(
                    *op, DescID(DescLevel(channel), DescLevel(VECTOR_X + c)),
                    {{0.0, start[c]}, {4.0, start[c] + 0.5 + 0.001 * i}, {10.0, start[c]}});
    }
    return doc;
}

struct TempFolder {
    std::string path;
    TempFolder() {
        char pattern[] = "/tmp/vantrel-bench-XXXXXX";
        if (mkdtemp(pattern)) path = pattern;
    }
    ~TempFolder() { rmdir(path.c_str()); }
};

using Clock = std::chrono::steady_clock;

// CPU seconds of this thread: on a busy machine they tell the work apart from waiting.
double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + 1e-9 * now.tv_nsec;
}

struct Measurement {
    double seconds, cpuSeconds, peakMiB;
};

// One conversion of the document, timed, with the peak memory it reached.
template <typename Convert>
Measurement measured(Convert convert) {
    resetPeakMemory();
    const double cpuStart = threadCpuSeconds();
    const auto start = Clock::now();
    convert();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return {seconds, threadCpuSeconds() - cpuStart, memoryMiB("VmHWM")};
}

void AnimatedDocumentFileVersusNullApi(benchmark::State& state) {
    const std::unique_ptr<BaseDocument> doc = animatedDocument();
    TempFolder folder;
    const std::string path = folder.path + "/animated.vsp";
    C4DLoader loader;
    const double documentMiB = memoryMiB("VmRSS");
    std::vector<double> files, nulls, fileCpus, nullCpus, finishes;
    double filePeak = 0, nullPeak = 0;
    for (auto _ : state) {
        const Measurement file = measured([&] {
            tav::LightFileFactory factory(path);
            loader.sceneWrapper = std::make_unique<tav::tavSceneapi_oo>(&factory);
            loader.load(doc.get());
            loader.sceneWrapper.reset();
            const auto finishStart = Clock::now();
            factory.finish();
            finishes.push_back(std::chrono::duration<double>(Clock::now() - finishStart).count());
        });
        const Measurement null = measured([&] {
            loader.sceneWrapper = std::make_unique<tav::tavSceneapi_oo>();
            loader.load(doc.get());
            loader.sceneWrapper.reset();
        });
        files.push_back(file.seconds);
        nulls.push_back(null.seconds);
        fileCpus.push_back(file.cpuSeconds);
        nullCpus.push_back(null.cpuSeconds);
        filePeak = std::max(filePeak, file.peakMiB);
        nullPeak = std::max(nullPeak, null.peakMiB);
        state.SetIterationTime(file.seconds);
    }
    struct stat written {};
    if (stat(path.c_str(), &written) != 0) state.SkipWithError("no scene file written");
    std::remove(path.c_str());
    state.counters["MB"] = written.st_size / 1e6;
    state.counters["file_ms"] = 1000 * median(files);
    state.counters["null_api_ms"] = 1000 * median(nulls);
    state.counters["file_ratio"] = median(files) / median(nulls);
    state.counters["finish_ms"] = 1000 * median(finishes);
    state.counters["file_cpu_ms"] = 1000 * median(fileCpus);
    state.counters["null_api_cpu_ms"] = 1000 * median(nullCpus);
    state.counters["cpu_ratio"] = median(fileCpus) / median(nullCpus);
    state.counters["document_MiB"] = documentMiB;
    state.counters["file_peak_MiB"] = filePeak;
    state.counters["null_peak_MiB"] = nullPeak;
}
BENCHMARK(AnimatedDocumentFileVersusNullApi)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
