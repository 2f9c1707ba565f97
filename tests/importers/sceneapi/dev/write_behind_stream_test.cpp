#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "WriteBehindStream.h"

namespace {

// Numbered bytes in pieces of uneven sizes, some beyond the stream's buffer and its
// step; the bytes, or an empty string when the stream reported an error.
std::string writeInPieces(FILE* stream) {
    std::string bytes(300000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i * 7 + i / 251);
    bool failed = false;
    for (size_t at = 0, piece = 1; at < bytes.size(); at += piece, piece = piece * 3 % 40000 + 1)
        failed |= fwrite(bytes.data() + at, 1, std::min(piece, bytes.size() - at), stream) == 0;
    failed |= fflush(stream) != 0 || ferror(stream);
    return fclose(stream) == 0 && !failed ? bytes : std::string();
}

}  // namespace

// A pipe refuses every write-back request: the bytes still all arrive, in order.
TEST(WriteBehindStream, RefusedWriteBackLosesNothing) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    FILE* stream = tav::openWriteBehind(pipeEnds[1], 1000);
    ASSERT_NE(stream, nullptr);
    std::string received;
    std::thread reader([&] {
        // Gives up after a quiet while: a stream that stops writing fails, not hangs.
        pollfd readable{pipeEnds[0], POLLIN, 0};
        char buffer[65536];
        for (ssize_t n;
             poll(&readable, 1, 5000) > 0 && (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
            received.append(buffer, size_t(n));
        close(pipeEnds[0]);
    });
    const std::string sent = writeInPieces(stream);
    reader.join();
    EXPECT_FALSE(sent.empty());
    EXPECT_TRUE(received == sent);  // a diff of this size says nothing more
}

TEST(WriteBehindStream, FullDiskIsAnErrorOfTheStream) {
    const int fd = open("/dev/full", O_WRONLY);
    if (fd < 0) GTEST_SKIP() << "no /dev/full";
    FILE* stream = tav::openWriteBehind(fd, 4096);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(writeInPieces(stream), "");
}
