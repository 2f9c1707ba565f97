// A converter writing into an in-memory scene file, for tests that drive one writer
// (or the whole walk) on a document built in code and read the result back.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

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
