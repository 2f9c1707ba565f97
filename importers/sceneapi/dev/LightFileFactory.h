// The factory of the export command: a text scene-file writer on an open file.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "LightFactory.h"

class tavScene_api_file;

namespace tav {

class LightFileFactory : public LightFactory {
public:
    // Opens path for writing (truncating it), or takes the process's standard output for
    // "-". Throws std::runtime_error "could not open file: \"<path>\"" when that fails.
    explicit LightFileFactory(std::string path);
    // Cleans up without throwing; a failure not collected by finish() only reaches standard error.
    ~LightFileFactory() override;

    LightFileFactory(const LightFileFactory&) = delete;
    LightFileFactory& operator=(const LightFileFactory&) = delete;

    // The writer, null once the file is finished.
    tavScene_api* getApi() override;
    void init(tavSceneapi_oo* wrapper) override;
    // Same as finish().
    void shutdown() override;

    // Writes the four comment lines that open every scene file.
    void writeHeader(tavSceneapi_oo* wrapper);

    // Deletes the writer, flushes and closes the file. Throws std::runtime_error
    // "could not write file: \"<path>\"" when any write or the flush failed, otherwise
    // "could not close file" when the close failed. The file is closed in every case;
    // later calls do nothing.
    void finish();

private:
    enum Outcome { Complete, WriteFailed, CloseFailed };
    struct FileCloser {
        void operator()(FILE* stream) const { fclose(stream); }
    };

    // Deletes the writer and closes the file, saying which step failed first.
    Outcome closeOutput() noexcept;

    std::string path;
    // Declared before the writer so that the writer always goes first.
    std::unique_ptr<FILE, FileCloser> file;
    std::unique_ptr<tavScene_api_file> api;
};

}  // namespace tav
