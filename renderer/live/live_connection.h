// A stdio stream whose bytes go to a TCP connection on loopback while one is open
// and are dropped while none is.
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
    // Connects to a loopback address of host, trying up to attempts times 100 ms apart.
    // Only loopback addresses are accepted.
    bool open(const char* host, int port, int attempts);
    // Sends what is buffered and ends the connection. False when no connection was open
    // or any byte of it could not be delivered.
    bool close();

private:
    static ssize_t write(void* cookie, const char* data, size_t size);

    FILE* stream_ = nullptr;
    int socket_ = -1;
    bool broken_ = false;  // a send failed since the connection was opened
};

}  // namespace vantrel_renderer
