// A sandbox with the stand-in renderer installed by scripts/sandbox-renderer; every
// renderer started inside it ends with it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "sandbox.h"

class RendererSandbox : public ProcessSandbox {
public:
    RendererSandbox();

    std::string binFolder() const { return root() + "/Applications/Vantrel8.app/Contents/MacOS/"; }
    std::string registryFolder() const { return resourceFolder(8) + "instances/"; }
    // Process ids of the registered renderers, ascending.
    std::vector<pid_t> registered() const;
    // Waits up to 5 s for the received scene file; its content, or empty.
    std::string waitForScene(pid_t renderer, int number) const;
};
