// Loads plug-in libraries and talks to them through their c4d_main entry.
#pragma once

#include <string>
#include <vector>

#include "c4d_types.h"

namespace vantrel_host {

struct LoadedPlugin {
    std::string path;
    void* handle;
    Int32 (*entry)(Int32 action, void* p1, void* p2, void* p3);
};

class PluginHost {
public:
    // Ends every started plug-in. The libraries stay loaded until the process ends,
    // as in the host, so that what they left behind stays valid.
    ~PluginHost();

    // Loads every *.so file of the folder in name order, hands each the host's
    // interface version and starts it. A missing folder loads nothing. Throws
    // std::runtime_error naming the plug-in that failed.
    void LoadFolder(const std::string& folder, Int32 version);
    const std::vector<LoadedPlugin>& Plugins() const { return plugins_; }
    // Sends a message to every plug-in, ignoring the answers.
    void Broadcast(Int32 message);
    void EndAll();

private:
    void Load(const std::string& path, Int32 version);
    std::vector<LoadedPlugin> plugins_;
    bool ended_ = false;
};

}  // namespace vantrel_host
