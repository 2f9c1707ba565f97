#include "InputFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace vsp::detail {

namespace {

// Pages are dropped in steps this large: one system call per step keeps it cheap.
constexpr size_t kReleaseStep = size_t(8) << 20;

[[noreturn]] void failOn(const char* what, const std::string& path, int error) {
    throw std::runtime_error(std::string("cannot ") + what + " \"" + path +
                             "\": " + std::strerror(error));
}

}  // namespace

InputFile::InputFile(const std::string& path) {
    bool standardInput = path == "-";
    int fd = standardInput ? STDIN_FILENO : open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) failOn("open", path, errno);
    struct stat status {};
    if (fstat(fd, &status) != 0) {
        int error = errno;
        if (!standardInput) close(fd);
        failOn("read", path, error);
    }
    if (S_ISREG(status.st_mode) && status.st_size > 0) {
        mappedSize_ = static_cast<size_t>(status.st_size);
        void* mapping = mmap(nullptr, mappedSize_, PROT_READ, MAP_PRIVATE, fd, 0);
        if (mapping != MAP_FAILED) {
            mapping_ = mapping;
            madvise(mapping_, mappedSize_, MADV_SEQUENTIAL);
            bytes_ = std::string_view(static_cast<const char*>(mapping_), mappedSize_);
            if (!standardInput) close(fd);  // the mapping stays valid
            return;
        }
        mappedSize_ = 0;
    }
    try {
        readAll(fd, path, S_ISREG(status.st_mode) ? static_cast<size_t>(status.st_size) : 0);
    } catch (...) {
        if (!standardInput) close(fd);
        throw;
    }
    if (!standardInput) close(fd);  // read-only: nothing to lose on close
    bytes_ = buffer_;
}

InputFile::~InputFile() {
    if (mapping_) munmap(mapping_, mappedSize_);
}

void InputFile::readAll(int fd, const std::string& path, size_t sizeHint) {
    size_t size = 0;
    buffer_.resize(std::max<size_t>(sizeHint + 1, 1 << 16));
    for (;;) {
        if (size == buffer_.size()) buffer_.resize(2 * buffer_.size());
        ssize_t n = read(fd, buffer_.data() + size, buffer_.size() - size);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            failOn("read", path, errno);
        }
        size += static_cast<size_t>(n);
    }
    buffer_.resize(size);
}

void InputFile::releaseBefore(size_t offset) {
    if (!mapping_) return;
    size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    size_t end = std::min(offset, mappedSize_) / page * page;
    if (end < released_ + kReleaseStep) return;
    madvise(static_cast<char*>(mapping_) + released_, end - released_, MADV_DONTNEED);
    released_ = end;
}

}  // namespace vsp::detail
