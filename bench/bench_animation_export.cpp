// Export of a long animation: 1,000 objects, each with x, y and z tracks of position,
// rotation and scale over 10 seconds, converted into a scene file in a temporary folder.
// The same walk into the null back end tells how much of the time the writer (number
// text and file output) takes.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "C4DLoader.h"
#include "LightFileFactory.h"
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

void AnimatedDocumentToFile(benchmark::State& state) {
    const std::unique_ptr<BaseDocument> doc = animatedDocument();
    TempFolder folder;
    const std::string file = folder.path + "/animated.vsp";
    C4DLoader loader;
    struct stat written {};
    for (auto _ : state) {
        tav::LightFileFactory factory(file);
        loader.sceneWrapper = std::make_unique<tav::tavSceneapi_oo>(&factory);
        loader.load(doc.get());
        loader.sceneWrapper.reset();
        factory.finish();
    }
    if (stat(file.c_str(), &written) != 0) state.SkipWithError("no scene file written");
    state.counters["MB"] = written.st_size / 1e6;
    std::remove(file.c_str());
}
BENCHMARK(AnimatedDocumentToFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void AnimatedDocumentToNullApi(benchmark::State& state) {
    const std::unique_ptr<BaseDocument> doc = animatedDocument();
    C4DLoader loader;
    for (auto _ : state) {
        loader.sceneWrapper = std::make_unique<tav::tavSceneapi_oo>();
        loader.load(doc.get());
        loader.sceneWrapper.reset();
    }
}
BENCHMARK(AnimatedDocumentToNullApi)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
