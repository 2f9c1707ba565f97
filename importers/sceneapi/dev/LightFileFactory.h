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
    // Writes to a new temporary file beside path, which replaces path only when finish()
    // succeeds, so that a failed export leaves what was there. Takes the process's standard
    // output for "-" and writes devices and pipes in place. Throws std::runtime_error
    // "could not open file: \"<path>\"" when the output cannot be opened.
    explicit LightFileFactory(std::string path);
    // Cleans up without throwing: an unfinished temporary file is removed and path keeps
    // what it held; a write failure not collected by finish() only reaches standard error.
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

    // Deletes the writer, flushes, syncs and closes the file, and moves it over path.
    // Throws std::runtime_error "could not write file: \"<path>\"" when any write, the
    // flush, the sync or the move failed, otherwise "could not close file" when the close
    // failed; path then keeps what it held. The file is closed in every case; later calls
    // do nothing.
    void finish();

private:
    enum Outcome { Complete, WriteFailed, CloseFailed };
    struct FileCloser {
        void operator()(FILE* stream) const { fclose(stream); }
    };

    FILE* openOutput();
    // Deletes the writer and closes the file, saying which step failed first; moves a
    // complete temporary file over the target when keep is true and removes it otherwise.
    Outcome closeOutput(bool keep) noexcept;

    std::string path;
    // The file that replaces the target; empty when the output is written in place.
    std::string temporary;
    // Its descriptor, for the sync before the move; the stream closes it.
    int temporaryFd = -1;
    std::string target;
    // Declared before the writer so that the writer always goes first.
    std::unique_ptr<FILE, FileCloser> file;
    std::unique_ptr<tavScene_api_file> api;
};

}  // namespace tav
