#include "renderer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string_view>

#include "live_protocol.h"
#include "registry.h"
#include "scene_scan.h"

namespace vantrel_renderer {

namespace {

const int kFirstPort = 3141;
const int kLastPort = 3151;

// Reads of this size take what a fast sender has queued in few calls.
constexpr size_t kReceiveBufferSize = 1 << 20;

// Written by the signal handler, read by the serving loop (self-pipe).
int stopPipe[2] = {-1, -1};

void requestStop(int) {
    const int saved = errno;
    const char byte = 1;
    ssize_t ignored = write(stopPipe[1], &byte, 1);
    (void)ignored;
    errno = saved;
}

bool installStopHandlers() {
    if (pipe(stopPipe) != 0) return false;
    for (int fd : stopPipe) fcntl(fd, F_SETFD, FD_CLOEXEC);
    fcntl(stopPipe[1], F_SETFL, O_NONBLOCK);
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    signal(SIGPIPE, SIG_IGN);
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

// Waits until fd is readable: 1 readable, 0 timed out, -1 stop requested or failure.
int waitReadable(int fd, int timeoutMs) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
    for (;;) {
        const int ready = poll(fds, 2, timeoutMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || fds[1].revents) return -1;
        return ready == 0 ? 0 : 1;
    }
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// The top-level groups of the scene file at path, scanned in place.
bool scanGroups(const std::string& path, std::vector<std::string>& groups) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat status {};
    if (fstat(fd, &status) != 0) {
        close(fd);
        return false;
    }
    const auto size = static_cast<size_t>(status.st_size);
    void* text = size > 0 ? mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0) : nullptr;
    close(fd);
    if (text == MAP_FAILED) return false;
    groups = topLevelGroups(std::string_view(static_cast<const char*>(text), size));
    if (text) munmap(text, size);
    return true;
}

}  // namespace

Renderer::Renderer(Installation installation, int idleSeconds)
    : installation_(std::move(installation)),
      idleSeconds_(idleSeconds),
      pid_(getpid()),
      buffer_(kReceiveBufferSize) {}

Renderer::~Renderer() {
    const std::string registry = installation_.registryFolder();
    std::remove(instanceEntryPath(registry, pid_).c_str());
    std::remove(sceneTreePath(registry, pid_).c_str());
    if (listener_ >= 0) close(listener_);
}

bool Renderer::listenOnFreePort() {
    for (int port = kFirstPort; port <= kLastPort; ++port) {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return false;
        const int on = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            listen(fd, 4) == 0) {
            listener_ = fd;
            port_ = port;
            return true;
        }
        close(fd);
    }
    return false;
}

// The scene tree goes first, so a listed instance always has one.
bool Renderer::publish() {
    const std::string registry = installation_.registryFolder();
    if (!writeFileAtomically(sceneTreePath(registry, pid_), tree_.xml())) return false;
    return writeFileAtomically(instanceEntryPath(registry, pid_),
                               instanceEntryText({installation_.version, pid_, port_}));
}

bool Renderer::stopRequested() { return waitReadable(stopPipe[0], 0) != 0; }

// Receives the scene frames straight into file as they arrive, so the disk write keeps
// pace with the sender; true when the end frame arrived, so the scene is whole. Whatever
// came of a cut-off stream stays in the file.
bool Renderer::receive(int connection, int file) {
    unsigned char header[kFrameHeaderSize];
    size_t headerBytes = 0;
    uint32_t frameLeft = 0;
    for (;;) {
        if (waitReadable(connection, idleSeconds_ * 1000) != 1) return false;
        const ssize_t n = read(connection, buffer_.data(), buffer_.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        // A read may end or begin anywhere in a frame, its header included.
        for (const char *at = buffer_.data(), *end = at + n; at < end;) {
            if (frameLeft == 0) {
                header[headerBytes++] = static_cast<unsigned char>(*at++);
                if (headerBytes < kFrameHeaderSize) continue;
                headerBytes = 0;
                frameLeft = decodeFrameHeader(header);
                if (frameLeft == 0) return true;
                if (frameLeft > kMaxFrameSize) return false;  // not a sender of ours
                continue;
            }
            const size_t take = std::min<size_t>(frameLeft, end - at);
            if (!writeAll(file, at, take)) {
                std::perror("vantrel: writing a received scene");
                return false;
            }
            at += take;
            frameLeft -= static_cast<uint32_t>(take);
        }
    }
}

// Shows the model groups of the whole scene in part and moves it into place; the scene
// file appears last, so a reader that sees it also sees the updated tree. The saved
// file's path, or empty.
std::string Renderer::keep(const std::string& part) {
    std::vector<std::string> groups;
    if (!scanGroups(part, groups)) {
        std::perror(("vantrel: reading " + part).c_str());
        return "";
    }
    for (const std::string& name : groups) tree_.addModel(name);
    if (!writeFileAtomically(sceneTreePath(installation_.registryFolder(), pid_), tree_.xml()))
        std::perror("vantrel: updating the scene tree");
    const std::string path = installation_.receivedFolder() + std::to_string(pid_) + "-" +
                             std::to_string(received_ + 1) + ".vsp";
    if (std::rename(part.c_str(), path.c_str()) != 0) {
        std::perror(("vantrel: saving " + path).c_str());
        return "";
    }
    ++received_;
    return path;
}

// A cut-off stream never counts as a received scene; it is kept aside for a look.
void Renderer::setAside(const std::string& part) {
    const std::string path = installation_.incompleteFolder() + std::to_string(pid_) + "-" +
                             std::to_string(++incomplete_) + ".vsp";
    if (std::rename(part.c_str(), path.c_str()) == 0)
        std::printf("vantrel: the stream was cut off; kept what arrived as %s\n", path.c_str());
    else
        std::perror(("vantrel: saving " + path).c_str());
    std::fflush(stdout);
}

// Called once per whole scene, after the sender was told it arrived.
void Renderer::sceneSaved(const std::string& path) {
    std::printf("vantrel: saved %s\n", path.c_str());
    std::fflush(stdout);
    pictures_.add(path);
}

// One connection, one scene: greets the sender as a renderer, receives, and confirms a
// scene it kept whole. False when the stream was cut off.
bool Renderer::serve(int connection) {
    const std::string part = installation_.receivedFolder() + std::to_string(pid_) + ".part";
    const bool greeted = send(connection, kGreeting, kGreetingSize, MSG_NOSIGNAL) ==
                         static_cast<ssize_t>(kGreetingSize);
    const int file =
        greeted ? open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;
    if (file < 0) {
        if (greeted) std::perror(("vantrel: creating " + part).c_str());
        close(connection);  // the sender hears of it: no confirmation
        return false;
    }
    const bool whole = receive(connection, file);
    const bool arrived = lseek(file, 0, SEEK_END) > 0;
    const bool stored = close(file) == 0;
    const std::string saved = whole && stored ? keep(part) : "";
    if (!saved.empty()) send(connection, kSaved, kSavedSize, MSG_NOSIGNAL);
    close(connection);
    if (!saved.empty()) sceneSaved(saved);
    if (!whole && arrived) setAside(part);
    std::remove(part.c_str());  // nothing, unless the scene could not be kept
    return whole;
}

int Renderer::run() {
    if (!installStopHandlers()) {
        std::perror("vantrel: signal handling");
        return 1;
    }
    if (!makeFolders(installation_.registryFolder()) ||
        !makeFolders(installation_.receivedFolder()) ||
        !makeFolders(installation_.incompleteFolder())) {
        std::perror("vantrel: resource folder");
        return 1;
    }
    if (!listenOnFreePort()) {
        std::fprintf(stderr, "vantrel: no free live-link port in %d to %d\n", kFirstPort,
                     kLastPort);
        return 1;
    }
    if (!publish()) {
        std::perror("vantrel: registering");
        return 1;
    }
    std::printf("vantrel %d: process %d listening on 127.0.0.1:%d\n", installation_.version,
                static_cast<int>(pid_), port_);
    std::fflush(stdout);

    for (;;) {
        const int ready = waitReadable(listener_, idleSeconds_ * 1000);
        if (ready <= 0) return 0;  // stop requested or idle
        const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        if (!serve(connection) && stopRequested()) return 0;
    }
}

}  // namespace vantrel_renderer
