// Export of a long animation: 1,000 objects, each with x, y and z tracks of position,
// rotation and scale over 10 seconds, converted into a scene file in a temporary folder.
// The same conversion into the null back end tells how much of the time the writer
// (number text and file output) takes.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "C4DLoader.h"
#include "C4DText.h"
#include "LightFileFactory.h"
#include "c4d.h"
#include "tavsceneapi_oo.h"
#include "vantrel_host/document_builder.h"

namespace {

constexpr int kObjects = 1000;

std::unique_ptr<BaseDocument> animatedDocument() {
    std::unique_ptr<BaseDocument> doc(BaseDocument::Alloc());
    for (int i = 0; i < kObjects; ++i) {
        BaseObject* op = vantrel_host::AddObject(*doc, Onull, "Object " + std::to_string(i));
        op->SetRelPos({1.5 * i, -20.0, 0.25 * i});
        op->SetRelRot({0.01 * i, 0.3, -0.2});
        op->SetRelScale({1.0, 2.0, 0.5});
        for (Int32 channel :
             {ID_BASEOBJECT_REL_POSITION, ID_BASEOBJECT_REL_ROTATION, ID_BASEOBJECT_REL_SCALE})
            for (Int32 component : {VECTOR_X, VECTOR_Y, VECTOR_Z}) {
                const Float start = channel == ID_BASEOBJECT_REL_SCALE ? 1.0 : 0.0;
                vantrel_host::AddTrack(
                    *op, DescID(DescLevel(channel), DescLevel(component)),
                    {{0.0, start}, {4.0, start + 0.5 + 0.001 * i}, {10.0, start}});
            }
    }
    return doc;
}

// Every object as a group holding its animation, as the document walk writes them.
void convert(C4DLoader& loader, BaseDocument* doc) {
    loader.document = doc;
    for (BaseObject* op = doc->GetFirstObject(); op; op = op->GetNext()) {
        std::string name;
        getUtf8(op->GetName(), name);
        loader.sceneWrapper->begin_group(name);
        loader.writeTransformTracks(op, name.c_str(), op->GetRelPos(), op->GetRelRot(),
                                    op->GetRotationOrder(), op->GetRelScale(), false);
        loader.sceneWrapper->end_group();
    }
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
        convert(loader, doc.get());
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
        convert(loader, doc.get());
        loader.sceneWrapper.reset();
    }
}
BENCHMARK(AnimatedDocumentToNullApi)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
