#include "LightFileFactory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <utility>

#include "WriteBehindStream.h"
#include "tavsceneapi_file.h"

namespace tav {

namespace {

// The temporary file goes to the disk in steps of this size while the export goes on.
constexpr off_t kWriteBehindStep = off_t(8) << 20;

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

// The file a symbolic link names is the one to replace, so that the link stays.
std::string resolvedPath(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// A new file in the folder of target, with the permissions of the file it replaces (or
// those of any new file); its name goes to name. Its descriptor, or -1.
int createTemporary(const std::string& target, const struct stat* replaced, std::string& name) {
    const std::string folder = target.substr(0, target.rfind('/') + 1);
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char file[32];
        snprintf(file, sizeof file, ".vsp-export-%08x", static_cast<unsigned>(random()));
        name = folder + file;
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            if (fd >= 0 && replaced) fchmod(fd, replaced->st_mode & 07777);
            return fd;
        }
    }
    return -1;
}

}  // namespace

FILE* LightFileFactory::openOutput() {
    if (path == "-") return openStandardOutput();
    struct stat existing {};
    const bool exists = stat(path.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) return nullptr;
    if (exists && S_ISDIR(existing.st_mode)) {
        errno = EISDIR;
        return nullptr;
    }
    // Devices and pipes hold nothing to lose.
    if (exists && !S_ISREG(existing.st_mode)) return fopen(path.c_str(), "wb+");
    // A file this process may not write is not replaced either.
    if (exists && access(path.c_str(), W_OK) != 0) return nullptr;
    target = exists ? resolvedPath(path) : path;
    const int fd = createTemporary(target, exists ? &existing : nullptr, temporary);
    FILE* stream = fd < 0 ? nullptr : openWriteBehind(fd, kWriteBehindStep);
    if (stream) {
        temporaryFd = fd;
        return stream;
    }
    const int reason = errno;
    if (fd >= 0) {
        close(fd);
        unlink(temporary.c_str());
    }
    temporary.clear();
    errno = reason;
    return nullptr;
}

LightFileFactory::LightFileFactory(std::string scenePath) : path(std::move(scenePath)) {
    file.reset(openOutput());
    if (!file) {
        perror("opening file");
        throw std::runtime_error("could not open file: \"" + path + "\"");
    }
    api = std::make_unique<tavScene_api_file>(file.get(), true);
}

LightFileFactory::~LightFileFactory() {
    // Nobody called finish(): standard error is the only place left to tell.
    if (closeOutput(false) == WriteFailed)
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
    switch (closeOutput(true)) {
        case Complete:
            return;
        case WriteFailed:
            throw std::runtime_error("could not write file: \"" + path + "\"");
        case CloseFailed:
            throw std::runtime_error("could not close file");
    }
}

LightFileFactory::Outcome LightFileFactory::closeOutput(bool keep) noexcept {
    bool writeFailed = false;
    if (api) {
        writeFailed = api->failed();
        api.reset();
    }
    if (!file) return writeFailed ? WriteFailed : Complete;
    // What stdio still buffers only meets a full disk here, after the writer is done.
    if (fflush(file.get()) != 0 || ferror(file.get())) writeFailed = true;
    // The new file must be on the disk before it takes the old one's name; most of it
    // is already there (openWriteBehind).
    if (keep && !temporary.empty() && fsync(temporaryFd) != 0) writeFailed = true;
    const bool closeFailed = fclose(file.release()) != 0;
    temporaryFd = -1;
    if (closeFailed) perror("closing file");
    Outcome outcome = writeFailed ? WriteFailed : closeFailed ? CloseFailed : Complete;
    if (temporary.empty()) return outcome;
    if (keep && outcome == Complete && rename(temporary.c_str(), target.c_str()) != 0) {
        perror("replacing file");
        outcome = WriteFailed;
    }
    if (!keep || outcome != Complete) unlink(temporary.c_str());
    temporary.clear();
    return outcome;
}

}  // namespace tav
