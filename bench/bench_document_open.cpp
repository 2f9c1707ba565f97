// Opening a document file whose one object has many children: the time per child
// should stay the same from 10,000 to 100,000 children (opening is linear). peak_MiB is
// the peak memory of the measured loop, the text held before included.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_support.h"
#include "vantrel_host/document_file.h"

namespace {

std::string ManyChildren(int count) {
    std::string text = R"({"objects": [{"name": "Parent", "children": [)";
    for (int i = 0; i < count; ++i) text += i == 0 ? "{}" : ", {}";
    return text + "]}]}";
}

void BM_OpenManyChildren(benchmark::State& state) {
    const std::string text = ManyChildren(int(state.range(0)));
    resetPeakMemory();
    for (auto _ : state) {
        std::string error;
        auto doc = vantrel_host::LoadDocumentFromText(text, "many.json", "", error);
        if (doc == nullptr) state.SkipWithError(error.c_str());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));  // children per second
    state.counters["peak_MiB"] = memoryMiB("VmHWM");
}
BENCHMARK(BM_OpenManyChildren)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
