#include "LightFileFactory.h"

#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <stdexcept>
#include <utility>

#include "tavsceneapi_file.h"

namespace tav {

namespace {

void sceneapi_comment(tavScene_api* api, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

void sceneapi_comment(tavScene_api* api, const char* format, ...) {
    char buffer[4096];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    api->add_comment(buffer);
}

// A copy of standard output as a stream of its own; descriptor 1 then follows standard
// error, so that whatever else the process prints cannot end up inside the scene.
FILE* openStandardOutput() {
    const int fd = dup(fileno(stdout));
    if (fd < 0) return nullptr;
    FILE* stream = fdopen(fd, "wb");
    if (!stream) {
        const int reason = errno;
        close(fd);
        errno = reason;
        return nullptr;
    }
    if (dup2(2, 1) < 0) perror("redirecting standard output");
    return stream;
}

}  // namespace

LightFileFactory::LightFileFactory(std::string path) : path(std::move(path)) {
    file.reset(this->path == "-" ? openStandardOutput() : fopen(this->path.c_str(), "wb+"));
    if (!file) {
        perror("opening file");
        throw std::runtime_error("could not open file: \"" + this->path + "\"");
    }
    api = std::make_unique<tavScene_api_file>(file.get(), true);
}

LightFileFactory::~LightFileFactory() {
    // Nobody called finish(): standard error is the only place left to tell.
    if (closeOutput() == WriteFailed)
        fprintf(stderr, "could not write file: \"%s\"\n", path.c_str());
}

tavScene_api* LightFileFactory::getApi() { return api.get(); }

void LightFileFactory::init(tavSceneapi_oo* wrapper) { writeHeader(wrapper); }

void LightFileFactory::writeHeader(tavSceneapi_oo*) {
    sceneapi_comment(api.get(), "//---tavrin:dal:7---\n");
    sceneapi_comment(api.get(), "//---import:dal:1---\n");
    sceneapi_comment(api.get(), "//---id:1---\n");
    sceneapi_comment(api.get(), "// This is a Vantrel scene file\n\n");
}

void LightFileFactory::shutdown() { finish(); }

void LightFileFactory::finish() {
    switch (closeOutput()) {
        case Complete:
            return;
        case WriteFailed:
            throw std::runtime_error("could not write file: \"" + path + "\"");
        case CloseFailed:
            throw std::runtime_error("could not close file");
    }
}

LightFileFactory::Outcome LightFileFactory::closeOutput() noexcept {
    bool writeFailed = false;
    if (api) {
        writeFailed = api->failed();
        api.reset();
    }
    if (!file) return writeFailed ? WriteFailed : Complete;
    // What stdio still buffers only meets a full disk here, after the writer is done.
    if (fflush(file.get()) != 0 || ferror(file.get())) writeFailed = true;
    const bool closeFailed = fclose(file.release()) != 0;
    if (closeFailed) perror("closing file");
    if (writeFailed) return WriteFailed;
    return closeFailed ? CloseFailed : Complete;
}

}  // namespace tav
