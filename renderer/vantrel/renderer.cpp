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
        if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(fd, 4) == 0) {
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
    const std::string entry = "<instance><version_major>" + std::to_string(installation_.version) +
                              "</version_major><process_id>" + std::to_string(pid_) +
                              "</process_id><livelink_port>" + std::to_string(port_) +
                              "</livelink_port></instance>\n";
    return writeFileAtomically(instanceEntryPath(registry, pid_), entry);
}

bool Renderer::stopRequested() {
    return waitReadable(stopPipe[0], 0) != 0;
}

// Reads until the sender closes; false when a stop was requested or nothing arrived
// for the idle time.
bool Renderer::receive(int connection, std::string& scene) {
    char buffer[1 << 16];
    for (;;) {
        if (waitReadable(connection, idleSeconds_ * 1000) != 1) return false;
        const ssize_t got = read(connection, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return true;  // end of the scene, or the sender went away
        scene.append(buffer, static_cast<size_t>(got));
    }
}

// Saves the scene and shows its model groups; the scene file appears last, so a
// reader that sees it also sees the updated tree.
void Renderer::store(const std::string& scene) {
    for (const std::string& name : topLevelGroups(scene)) tree_.addModel(name);
    if (!writeFileAtomically(sceneTreePath(installation_.registryFolder(), pid_), tree_.xml()))
        std::perror("vantrel: updating the scene tree");
    const std::string path = installation_.receivedFolder() + std::to_string(pid_) + "-" +
                             std::to_string(++received_) + ".vsp";
    if (writeFileAtomically(path, scene)) {
        std::printf("vantrel: saved %s\n", path.c_str());
        pictures_.add(path);
    } else {
        std::perror(("vantrel: saving " + path).c_str());
    }
    std::fflush(stdout);
}

int Renderer::run() {
    if (!installStopHandlers()) {
        std::perror("vantrel: signal handling");
        return 1;
    }
    if (!makeFolders(installation_.registryFolder()) || !makeFolders(installation_.receivedFolder())) {
        std::perror("vantrel: resource folder");
        return 1;
    }
    if (!listenOnFreePort()) {
        std::fprintf(stderr, "vantrel: no free live-link port in %d to %d\n", kFirstPort, kLastPort);
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
        std::string scene;
        const bool complete = receive(connection, scene);
        close(connection);
        if (!scene.empty()) store(scene);
        if (!complete && stopRequested()) return 0;
    }
}

}  // namespace vantrel_renderer
