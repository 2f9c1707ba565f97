#include "live_connection.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

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

}  // namespace

LiveConnection::LiveConnection() {
    cookie_io_functions_t functions{};
    functions.write = &LiveConnection::write;
    stream_ = fopencookie(this, "w", functions);
    if (stream_) setvbuf(stream_, nullptr, _IOFBF, 1 << 16);
}

LiveConnection::~LiveConnection() {
    if (socket_ >= 0) ::close(socket_);
    socket_ = -1;
    if (stream_) fclose(stream_);
}

bool LiveConnection::open(const char* host, int port, int attempts) {
    if (socket_ >= 0) close();
    if (!stream_ || !host || port < 1 || port > 65535) return false;
    // Scene calls made while unconnected are dropped, not sent to the next renderer.
    fflush(stream_);
    clearerr(stream_);
    for (int attempt = 0; attempt < attempts || attempt == 0; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        socket_ = connectOnce(host, port);
        if (socket_ >= 0) {
            broken_ = false;
            return true;
        }
    }
    return false;
}

bool LiveConnection::close() {
    if (socket_ < 0) return false;
    const bool flushed = fflush(stream_) == 0;
    const bool closed = ::close(socket_) == 0;
    socket_ = -1;
    return flushed && closed && !broken_;
}

ssize_t LiveConnection::write(void* cookie, const char* data, size_t size) {
    auto* self = static_cast<LiveConnection*>(cookie);
    if (self->socket_ < 0) return static_cast<ssize_t>(size);
    size_t sent = 0;
    while (sent < size) {
        // MSG_NOSIGNAL: a renderer that went away must not kill the host with SIGPIPE.
        const ssize_t n = send(self->socket_, data + sent, size - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // The rest of the scene is dropped and close() reports the loss. The bytes
            // count as taken: stdio's recovery from a failing cookie writer reads past
            // the caller's buffer.
            self->broken_ = true;
            ::close(self->socket_);
            self->socket_ = -1;
            break;
        }
        sent += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(size);
}

}  // namespace vantrel_renderer
