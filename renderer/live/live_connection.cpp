#include "live_connection.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "live_protocol.h"

namespace vantrel_renderer {

namespace {

// A connected socket to host:port if host resolves to a loopback address, else -1.
int connectOnce(const char* host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, std::to_string(port).c_str(), &hints, &found) != 0) return -1;
    int connected = -1;
    for (addrinfo* address = found; address && connected < 0; address = address->ai_next) {
        const auto* inet = reinterpret_cast<const sockaddr_in*>(address->ai_addr);
        if ((ntohl(inet->sin_addr.s_addr) >> 24) != 127) continue;
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) continue;
        if (::connect(fd, address->ai_addr, address->ai_addrlen) == 0)
            connected = fd;
        else
            ::close(fd);
    }
    freeaddrinfo(found);
    return connected;
}

// Every blocking send and receive on fd gives up after timeoutMs without progress.
void limitWaits(int fd, int timeoutMs) {
    timeval limit{};
    limit.tv_sec = timeoutMs / 1000;
    limit.tv_usec = (timeoutMs % 1000) * 1000;
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
}

// Whether the peer sends exactly these bytes next.
bool receives(int fd, const char* expected, size_t size) {
    char got[16];
    size_t have = 0;
    while (have < size) {
        const ssize_t n = recv(fd, got + have, std::min(size - have, sizeof got - have), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || std::memcmp(got + have, expected + have, static_cast<size_t>(n)) != 0)
            return false;
        have += static_cast<size_t>(n);
    }
    return true;
}

// Sends the parts in order, as few system calls as the socket allows.
bool sendAll(int fd, iovec* parts, size_t count) {
    while (count > 0) {
        msghdr message{};
        message.msg_iov = parts;
        message.msg_iovlen = count;
        // MSG_NOSIGNAL: a renderer that went away must not kill the host with SIGPIPE.
        const ssize_t n = sendmsg(fd, &message, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;  // the peer went away, or the time limit passed
        auto sent = static_cast<size_t>(n);
        for (; count > 0 && sent >= parts->iov_len; --count) sent -= (parts++)->iov_len;
        if (count > 0) {
            parts->iov_base = static_cast<char*>(parts->iov_base) + sent;
            parts->iov_len -= sent;
        }
    }
    return true;
}

bool sendFrame(int fd, const char* data, uint32_t size) {
    unsigned char header[kFrameHeaderSize];
    encodeFrameHeader(size, header);
    iovec parts[] = {{header, sizeof header}, {const_cast<char*>(data), size}};
    return sendAll(fd, parts, size > 0 ? 2 : 1);
}

}  // namespace

LiveConnection::LiveConnection() {
    cookie_io_functions_t functions{};
    functions.write = &LiveConnection::write;
    stream_ = fopencookie(this, "w", functions);
    // Large enough that the many small scene calls cost a send only now and then.
    if (stream_) setvbuf(stream_, nullptr, _IOFBF, 1 << 20);
}

LiveConnection::~LiveConnection() {
    dropSocket();
    if (stream_) fclose(stream_);
}

bool LiveConnection::open(const char* host, int port, int attempts) {
    if (socket_ >= 0) close();
    if (!stream_ || !host || port < 1 || port > 65535) return false;
    // Scene calls made while unconnected are dropped, not sent to the next renderer.
    fflush(stream_);
    clearerr(stream_);
    const int timeoutMs = liveTimeoutMs();
    for (int attempt = 0; attempt < attempts || attempt == 0; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const int fd = connectOnce(host, port);
        if (fd < 0) continue;
        limitWaits(fd, timeoutMs);
        if (!receives(fd, kGreeting, kGreetingSize)) {
            // Not a renderer, or one that does not answer: it gets nothing.
            ::close(fd);
            return false;
        }
        socket_ = fd;
        broken_ = false;
        return true;
    }
    return false;
}

bool LiveConnection::close() {
    if (socket_ < 0) return false;
    const bool flushed = fflush(stream_) == 0;
    const bool delivered =
        !broken_ && sendFrame(socket_, nullptr, 0) && receives(socket_, kSaved, kSavedSize);
    dropSocket();
    return flushed && delivered;
}

void LiveConnection::dropSocket() {
    if (socket_ >= 0) ::close(socket_);
    socket_ = -1;
}

ssize_t LiveConnection::write(void* cookie, const char* data, size_t size) {
    auto* self = static_cast<LiveConnection*>(cookie);
    for (size_t sent = 0; self->socket_ >= 0 && sent < size;) {
        const auto frame = static_cast<uint32_t>(std::min<size_t>(size - sent, kMaxFrameSize));
        if (!sendFrame(self->socket_, data + sent, frame)) {
            // The rest of the scene is dropped and close() reports the loss.
            self->broken_ = true;
            self->dropSocket();
        }
        sent += frame;
    }
    // The bytes count as taken even when lost: stdio's recovery from a failing cookie
    // writer reads past the caller's buffer.
    return static_cast<ssize_t>(size);
}

}  // namespace vantrel_renderer
