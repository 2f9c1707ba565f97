// A stdio stream whose bytes go, framed, to a renderer over a TCP connection on
// loopback while one is open, and are dropped while none is. Every wait on the renderer
// is limited (liveTimeoutMs); a renderer that passes the limit loses the connection.
#pragma once

#include <cstdio>

namespace vantrel_renderer {

class LiveConnection {
public:
    LiveConnection();
    // Closes the stream and the connection; unsent bytes are dropped.
    ~LiveConnection();
    LiveConnection(const LiveConnection&) = delete;
    LiveConnection& operator=(const LiveConnection&) = delete;

    FILE* stream() const { return stream_; }
    // Connects to a loopback address of host, trying up to attempts times 100 ms apart
    // while the port refuses. Only loopback addresses are accepted, and only a peer that
    // greets as a renderer; any other peer fails the attempt at once and gets no byte.
    bool open(const char* host, int port, int attempts);
    // Sends what is buffered, marks the end of the scene and ends the connection. False
    // when no connection was open, any byte could not be delivered, or the renderer did
    // not confirm that it kept the whole scene.
    bool close();

private:
    static ssize_t write(void* cookie, const char* data, size_t size);
    void dropSocket();

    FILE* stream_ = nullptr;
    int socket_ = -1;
    bool broken_ = false;  // a send failed since the connection was opened
};

}  // namespace vantrel_renderer
