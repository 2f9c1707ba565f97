// The stand-in renderer process: listens on the first free live-link port on loopback,
// registers itself, and saves every scene that arrives whole.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

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
    bool serve(int connection);
    bool receive(int connection, int file);
    std::string keep(const std::string& part);
    void setAside(const std::string& part);
    void sceneSaved(const std::string& path);
    bool stopRequested();

    Installation installation_;
    int idleSeconds_;
    pid_t pid_;
    int listener_ = -1;
    int port_ = 0;
    int received_ = 0;    // whole scenes saved
    int incomplete_ = 0;  // cut-off streams set aside
    SceneTree tree_;
    std::vector<char> buffer_;  // for receiving, allocated once
    PictureMaker pictures_;     // last, so it stops first
};

}  // namespace vantrel_renderer
