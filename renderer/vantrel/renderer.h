// The stand-in renderer process: listens on the first free live-link port on loopback,
// registers itself, and saves every scene it receives.
#pragma once

#include <sys/types.h>

#include <string>

#include "installation.h"
#include "picture_maker.h"
#include "scene_tree.h"

namespace vantrel_renderer {

class Renderer {
public:
    // idleSeconds: the renderer ends by itself after that long without a connection.
    Renderer(Installation installation, int idleSeconds);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Listens, registers and serves until SIGTERM or SIGINT arrives or the idle time
    // passes. Returns the process exit code.
    int run();

private:
    bool listenOnFreePort();
    bool publish();
    bool receive(int connection, std::string& scene);
    void store(const std::string& scene);
    bool stopRequested();

    Installation installation_;
    int idleSeconds_;
    pid_t pid_;
    int listener_ = -1;
    int port_ = 0;
    int received_ = 0;
    SceneTree tree_;
    PictureMaker pictures_;  // last, so it stops first
};

}  // namespace vantrel_renderer
