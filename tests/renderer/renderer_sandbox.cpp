#include "renderer_sandbox.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "registry.h"

RendererSandbox::RendererSandbox() {
    adoptOrphans();
    setenv("VANTREL_RENDERER_IDLE_SECONDS", "20", 1);
    const std::string command =
        std::string("'") + SANDBOX_SCRIPT + "' '" + root() + "' '" + BUILD_DIR + "' > /dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("sandbox-renderer failed");
}

RendererSandbox::~RendererSandbox() {
    killAndReapChildren();
}

std::vector<pid_t> RendererSandbox::registered() const {
    return vantrel_renderer::registeredProcesses(registryFolder());
}

std::string RendererSandbox::waitForScene(pid_t renderer, int number) const {
    const std::string path =
        resourceFolder() + "received/" + std::to_string(renderer) + "-" + std::to_string(number) + ".vsp";
    for (int i = 0; i < 500; ++i) {
        if (access(path.c_str(), F_OK) == 0) return readFile(path);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "";
}

pid_t RendererSandbox::startRenderer() const {
    const std::string path = binFolder() + "vantrel";
    const pid_t pid = fork();
    if (pid == 0) {
        execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

int RendererSandbox::waitForExit(pid_t pid) {
    for (int i = 0; i < 500; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}
