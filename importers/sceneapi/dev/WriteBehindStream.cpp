#include "WriteBehindStream.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tav {

namespace {

struct WriteBehind {
    int fd;
    off_t step;
    off_t written = 0;
    off_t handedOver = 0;  // bytes whose write-back has been started
};

// Starts the write-back of what has been written since the last time and returns at
// once; a refusal leaves the work to the final fsync.
void handOver(WriteBehind& file) {
    sync_file_range(file.fd, file.handedOver, file.written - file.handedOver,
                    SYNC_FILE_RANGE_WRITE);
    file.handedOver = file.written;
}

// Large blocks go in steps, so that the disk already works on the first while the next
// is copied.
ssize_t writeAll(void* cookie, const char* data, size_t size) {
    auto& file = *static_cast<WriteBehind*>(cookie);
    size_t done = 0;
    while (done < size) {
        const off_t room = file.step - (file.written - file.handedOver);
        const ssize_t n = write(file.fd, data + done, std::min(size - done, size_t(room)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += size_t(n);
        file.written += n;
        if (file.written - file.handedOver >= file.step) handOver(file);
    }
    // A short count is the stream's error.
    return ssize_t(done);
}

int closeFile(void* cookie) {
    auto* file = static_cast<WriteBehind*>(cookie);
    const int result = close(file->fd);
    delete file;
    return result;
}

}  // namespace

FILE* openWriteBehind(int fd, off_t step) {
    auto* file = new WriteBehind{fd, step};
    FILE* stream = fopencookie(file, "w", {nullptr, writeAll, nullptr, closeFile});
    if (!stream) delete file;
    return stream;
}

}  // namespace tav
