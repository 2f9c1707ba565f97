#include "live_query_api.h"

namespace vantrel_renderer {

bool LiveQueryApi::registered(pid_t pid, InstanceEntry& entry) const {
    std::string text;
    return readFile(instanceEntryPath(installation_.registryFolder(), pid), text) &&
           parseInstanceEntry(text, entry) && entry.pid == pid &&
           entry.version == installation_.version && processRuns(pid) &&
           runsProgramOf(pid, installation_);
}

const char* LiveQueryApi::get_instances() {
    instances_ = "<instances>\n";
    for (pid_t pid : registeredProcesses(installation_.registryFolder())) {
        InstanceEntry entry;
        if (registered(pid, entry)) instances_ += instanceEntryText(entry);
    }
    instances_ += "</instances>\n";
    return instances_.c_str();
}

bool LiveQueryApi::attach_instance(int64_t process_id) {
    const auto pid = static_cast<pid_t>(process_id);
    attached_ = 0;
    InstanceEntry entry;
    if (pid != process_id || !registered(pid, entry)) return false;
    attached_ = pid;
    return true;
}

void LiveQueryApi::detach_instance() { attached_ = 0; }

const char* LiveQueryApi::get_scene_tree() {
    if (attached_ == 0 ||
        !readFile(sceneTreePath(installation_.registryFolder(), attached_), sceneTree_))
        return nullptr;
    return sceneTree_.c_str();
}

}  // namespace vantrel_renderer
