#include "renderer_sandbox.h"

#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "registry.h"

RendererSandbox::RendererSandbox() {
    setenv("VANTREL_RENDERER_IDLE_SECONDS", "20", 1);
    const std::string command =
        std::string("'") + SANDBOX_SCRIPT + "' '" + root() + "' '" + BUILD_DIR + "' > /dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("sandbox-renderer failed");
}

std::vector<pid_t> RendererSandbox::registered() const {
    return vantrel_renderer::registeredProcesses(registryFolder());
}

std::string RendererSandbox::waitForScene(pid_t renderer, int number) const {
    const std::string path = resourceFolder(8) + "received/" + std::to_string(renderer) + "-" +
                             std::to_string(number) + ".vsp";
    return eventually([&] { return access(path.c_str(), F_OK) == 0; }) ? readFile(path) : "";
}
