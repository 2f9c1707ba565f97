#include "renderer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "live_protocol.h"
#include "registry.h"
#include "scene_scan.h"

namespace vantrel_renderer {

namespace {

const int kFirstPort = 3141;
const int kLastPort = 3151;

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

}  // namespace

Renderer::Renderer(Installation installation, int idleSeconds)
    : installation_(std::move(installation)), idleSeconds_(idleSeconds), pid_(getpid()) {}

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

// Reads up to size bytes, waiting at most the idle time for each part; how many arrived
// before the sender closed, went quiet or a stop was requested.
size_t Renderer::readUpTo(int connection, char* data, size_t size) {
    size_t got = 0;
    while (got < size && waitReadable(connection, idleSeconds_ * 1000) == 1) {
        const ssize_t n = read(connection, data + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    return got;
}

// Reads the scene frames into scene; true when the end frame arrived, so the scene is
// whole. Whatever came of a cut-off stream stays in scene.
bool Renderer::receive(int connection, std::string& scene) {
    for (;;) {
        unsigned char header[kFrameHeaderSize];
        if (readUpTo(connection, reinterpret_cast<char*>(header), sizeof header) != sizeof header)
            return false;
        const uint32_t size = decodeFrameHeader(header);
        if (size == 0) return true;
        if (size > kMaxFrameSize) return false;  // not a sender of ours
        const size_t at = scene.size();
        scene.resize(at + size);
        const size_t got = readUpTo(connection, &scene[at], size);
        if (got != size) {
            scene.resize(at + got);
            return false;
        }
    }
}

// Saves a whole scene and shows its model groups; the scene file appears last, so a
// reader that sees it also sees the updated tree. The saved file's path, or empty.
std::string Renderer::keep(const std::string& scene) {
    for (const std::string& name : topLevelGroups(scene)) tree_.addModel(name);
    if (!writeFileAtomically(sceneTreePath(installation_.registryFolder(), pid_), tree_.xml()))
        std::perror("vantrel: updating the scene tree");
    const std::string path = installation_.receivedFolder() + std::to_string(pid_) + "-" +
                             std::to_string(received_ + 1) + ".vsp";
    if (!writeFileAtomically(path, scene)) {
        std::perror(("vantrel: saving " + path).c_str());
        return "";
    }
    ++received_;
    return path;
}

// A cut-off stream never counts as a received scene; it is kept aside for a look.
void Renderer::setAside(const std::string& scene) {
    const std::string path = installation_.incompleteFolder() + std::to_string(pid_) + "-" +
                             std::to_string(++incomplete_) + ".vsp";
    if (writeFileAtomically(path, scene))
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
    std::string scene;
    const bool whole = send(connection, kGreeting, kGreetingSize, MSG_NOSIGNAL) ==
                           static_cast<ssize_t>(kGreetingSize) &&
                       receive(connection, scene);
    const std::string saved = whole ? keep(scene) : "";
    if (!saved.empty()) send(connection, kSaved, kSavedSize, MSG_NOSIGNAL);
    close(connection);
    if (!saved.empty()) sceneSaved(saved);
    if (!whole && !scene.empty()) setAside(scene);
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
