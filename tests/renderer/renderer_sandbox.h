// A sandbox with the stand-in renderer installed by scripts/sandbox-renderer. This
// process adopts every renderer started inside it (child subreaper), and the destructor
// kills and reaps all of them, also when an assertion failed.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "sandbox.h"

class RendererSandbox {
public:
    RendererSandbox();
    ~RendererSandbox();
    RendererSandbox(const RendererSandbox&) = delete;
    RendererSandbox& operator=(const RendererSandbox&) = delete;

    const std::string& root() const { return sandbox_.root(); }
    std::string binFolder() const { return root() + "/Applications/Vantrel8.app/Contents/MacOS/"; }
    std::string resourceFolder() const { return sandbox_.resourceFolder(8); }
    std::string registryFolder() const { return resourceFolder() + "instances/"; }

    // Process ids of the registered renderers, ascending.
    std::vector<pid_t> registered() const;
    // Waits up to 5 s for the received scene file; its content, or empty.
    std::string waitForScene(pid_t renderer, int number) const;
    // Starts the installed renderer directly; its process id.
    pid_t startRenderer() const;
    // Waits up to 5 s for an adopted or own child to end; its wait status, or -1.
    static int waitForExit(pid_t pid);

private:
    Sandbox sandbox_;
};
