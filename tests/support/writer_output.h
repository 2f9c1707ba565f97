// A text writer over an in-memory stream, for byte-exact tests.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "tavsceneapi_file.h"

class WriterOutput {
public:
    explicit WriterOutput(bool binary = false) {
        stream_ = open_memstream(&buffer_, &size_);
        writer_ = std::make_unique<tavScene_api_file>(stream_, binary);
    }
    ~WriterOutput() {
        writer_.reset();
        std::fclose(stream_);
        std::free(buffer_);
    }
    tavScene_api_file& operator*() { return *writer_; }
    tavScene_api_file* operator->() { return writer_.get(); }

    // Everything written so far; each call returns only what came since the last.
    std::string take() {
        std::fflush(stream_);
        std::string text(buffer_ + taken_, size_ - taken_);
        taken_ = size_;
        return text;
    }

private:
    char* buffer_ = nullptr;
    size_t size_ = 0;
    size_t taken_ = 0;
    FILE* stream_ = nullptr;
    std::unique_ptr<tavScene_api_file> writer_;
};
