// Throughput of the text scene writer on the two heavy kinds of data: mesh arrays in
// binary blocks and animation matrices in text, and of its number text alone. peak_MiB is the peak
// memory of the measured loop.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "bench_support.h"
#include "number_format.h"
#include "tavsceneapi_file.h"

namespace {

struct NullStream {
    FILE* file = std::fopen("/dev/null", "wb");
    ~NullStream() { std::fclose(file); }
};

// /dev/null would swallow a large write without copying it; a real file makes the
// kernel take the bytes, as an export does.
struct TempStream {
    FILE* file = std::tmpfile();
    ~TempStream() { std::fclose(file); }
};

void BinaryFloatArray(benchmark::State& state) {
    TempStream sink;
    tavScene_api_file writer(sink.file, true);
    std::vector<float> floats(state.range(0), 0.25f);
    tavArray array{floats.data(), static_cast<uint32_t>(floats.size())};
    resetPeakMemory();
    for (auto _ : state) {
        writer.set_parameter("vertices", TAV_ARRAY | TAV_FLOAT, &array);
        state.PauseTiming();
        std::rewind(sink.file);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * floats.size() * sizeof(float));
    state.counters["peak_MiB"] = memoryMiB("VmHWM");
}
BENCHMARK(BinaryFloatArray)->Arg(12 << 20)->Unit(benchmark::kMillisecond);

void TextMatrixArray(benchmark::State& state) {
    NullStream sink;
    tavScene_api_file writer(sink.file, true);
    std::vector<tavMatrix> matrices(state.range(0));
    for (size_t i = 0; i < matrices.size(); ++i)
        matrices[i] = tavMatrix{{0.98006657784124163, 0, -0.19866933079506122, 0, 0, 1, 0, 0,
                                 0.19866933079506122, 0, 0.98006657784124163, 0, 1.5 * i, -2.25,
                                 1e-3 * i, 1}};
    tavArray array{matrices.data(), static_cast<uint32_t>(matrices.size())};
    writer.animation_begin("fbx_animation", "Position . X");
    resetPeakMemory();
    for (auto _ : state) writer.set_parameter("matrices", TAV_ARRAY | TAV_MATRIX, &array);
    state.SetItemsProcessed(state.iterations() * matrices.size());
    state.counters["peak_MiB"] = memoryMiB("VmHWM");
}
BENCHMARK(TextMatrixArray)->Arg(100000)->Unit(benchmark::kMillisecond);

void TextFloatArray(benchmark::State& state) {
    NullStream sink;
    tavScene_api_file writer(sink.file, false);
    std::vector<float> floats(state.range(0));
    for (size_t i = 0; i < floats.size(); ++i) floats[i] = 0.001f * i - 17.5f;
    tavArray array{floats.data(), static_cast<uint32_t>(floats.size())};
    writer.geometry_use("triangles");
    resetPeakMemory();
    for (auto _ : state) writer.set_parameter("vertices", TAV_ARRAY | TAV_FLOAT, &array);
    state.SetItemsProcessed(state.iterations() * floats.size());
    state.counters["peak_MiB"] = memoryMiB("VmHWM");
}
BENCHMARK(TextFloatArray)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// "%g" text of the values animation matrices hold (sines and cosines, positions, small
// offsets) by the writer's formatter and by snprintf, interleaved: printf_ratio is
// snprintf's time over the formatter's (medians).
void GeneralNumberText(benchmark::State& state) {
    std::vector<double> values;
    for (int i = 0; i < 100000; ++i) {
        const double angle = 1e-3 * i;
        values.insert(values.end(), {std::cos(angle), -std::sin(angle), 1.5 * (i % 1000) - 20,
                                     1e-3 * std::sin(angle), 1.0 + (i % 300) / 120.0});
    }
    // A "%g" text is at most 12 characters ("-1.23456e-05").
    std::vector<char> text(12 * values.size() + tav_format::kMaxNumberText);
    std::vector<double> own, snprintfs;
    auto timed = [&](auto write) {
        const auto start = std::chrono::steady_clock::now();
        char* out = text.data();
        for (double v : values) out = write(out, v);
        benchmark::DoNotOptimize(out);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    for (auto _ : state) {
        own.push_back(timed([](char* out, double v) { return tav_format::write_g(out, v); }));
        snprintfs.push_back(timed([](char* out, double v) {
            return out + std::snprintf(out, tav_format::kMaxNumberText, "%g", v);
        }));
    }
    state.counters["ns_per_value"] = 1e9 * median(own) / values.size();
    state.counters["printf_ratio"] = median(snprintfs) / median(own);
}
BENCHMARK(GeneralNumberText)->Iterations(9)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
