#include "live_query_api.h"

#include "registry.h"

namespace vantrel_renderer {

const char* LiveQueryApi::get_instances() {
    instances_ = "<instances>\n";
    for (pid_t pid : registeredProcesses(registryFolder_)) {
        std::string entry;
        if (processRuns(pid) && readFile(instanceEntryPath(registryFolder_, pid), entry)) instances_ += entry;
    }
    instances_ += "</instances>\n";
    return instances_.c_str();
}

bool LiveQueryApi::attach_instance(int64_t process_id) {
    const auto pid = static_cast<pid_t>(process_id);
    attached_ = 0;
    if (pid != process_id || !processRuns(pid)) return false;
    std::string entry;
    if (!readFile(instanceEntryPath(registryFolder_, pid), entry)) return false;
    attached_ = pid;
    return true;
}

void LiveQueryApi::detach_instance() {
    attached_ = 0;
}

const char* LiveQueryApi::get_scene_tree() {
    if (attached_ == 0 || !readFile(sceneTreePath(registryFolder_, attached_), sceneTree_)) return nullptr;
    return sceneTree_.c_str();
}

}  // namespace vantrel_renderer
