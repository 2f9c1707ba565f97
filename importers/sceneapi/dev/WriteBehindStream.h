// A stream over a file descriptor that hands what it has written to the disk as it goes.
#pragma once

#include <sys/types.h>

#include <cstdio>

namespace tav {

// A write-only stream on fd that owns it (fclose closes it). Each time another step
// bytes have been written, it asks the kernel to start writing them to the disk
// (sync_file_range) and goes on without waiting, so that a final fsync finds little left
// to do. Those requests are only advice: when the kernel declines one, nothing is lost
// and the final fsync does the work. A write that fails or falls short marks the stream
// failed (ferror). Null, with errno set and fd still the caller's, when the stream
// cannot be made.
FILE* openWriteBehind(int fd, off_t step);

}  // namespace tav
