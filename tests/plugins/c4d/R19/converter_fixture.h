// A converter writing into an in-memory scene file, for tests that drive one writer
// (or the whole walk) on a document built in code and read the result back; and the
// meshes and materials those documents are built of.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "C4DLoader.h"
#include "LightFactory.h"
#include "c4d.h"
#include "tavsceneapi_file.h"
#include "tavsceneapi_oo.h"
#include "vantrel_host/document_builder.h"
#include "vsp/Reader.h"

class ConverterFixture {
public:
    // binary: arrays as binary blocks, as exported files have them.
    explicit ConverterFixture(bool binary = true)
        : stream_(open_memstream(&buffer_, &size_)),
          writer_(stream_, binary),
          factory_(&writer_),
          document_(BaseDocument::Alloc()) {
        loader.sceneWrapper = std::make_unique<tav::tavSceneapi_oo>(&factory_);
        loader.document = document_;
    }
    ~ConverterFixture() {
        loader.sceneWrapper.reset();
        BaseDocument::Free(document_);
        std::fclose(stream_);
        std::free(buffer_);
    }

    BaseDocument& doc() { return *document_; }
    // The converter's state that a whole walk sets from the document and the command.
    std::string& documentPath() { return loader.documentPath; }
    void setUpdateMode(bool update) { loader.updateMode = update; }
    float progress() const { return loader.progress; }

    // Everything written since the last call (the wrapper's banner and version first).
    std::string take() {
        std::fflush(stream_);
        std::string text(buffer_ + taken_, size_ - taken_);
        taken_ = size_;
        return text;
    }
    // What take() returns, parsed.
    vsp::Node parsed() { return vsp::parse(take()); }
    // The whole document converted, parsed.
    vsp::Node loaded() {
        loader.load(document_);
        return parsed();
    }

    C4DLoader loader;

private:
    char* buffer_ = nullptr;
    size_t size_ = 0;
    size_t taken_ = 0;
    FILE* stream_;
    tavScene_api_file writer_;
    tav::PassThroughFactory factory_;
    BaseDocument* document_;
};

// A standard material that captures a colour.
inline Material* colored(BaseDocument& doc, const std::string& name = "Mat") {
    Material* material = vantrel_host::AddStandardMaterial(doc, name);
    material->SetChannelState(CHANNEL_COLOR, true);
    return material;
}

// count polygons of 3 or 4 corners that share no points; polygon i lies at x = i, so a
// vertex tells its polygon.
inline PolygonObject* addPolygons(BaseDocument& doc, const std::string& name, int count,
                                  int corners, BaseObject* parent = nullptr) {
    std::vector<Vector> points;
    std::vector<CPolygon> polygons;
    for (double x = 0; x < count; ++x) {
        const Int32 a = Int32(points.size());
        polygons.emplace_back(a, a + 1, a + 2, corners == 4 ? a + 3 : a + 2);
        points.insert(points.end(), {{x, 0, 0}, {x, 1, 0}, {x, 1, 1}, {x, 0, 1}});
        points.resize(a + corners);
    }
    return vantrel_host::AddPolygonObject(doc, name, points, polygons, parent);
}
