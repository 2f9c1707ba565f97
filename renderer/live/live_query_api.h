// The query interface of the stand-in live-link library: lists the running stand-in
// renderers from the installation's registry and reads an attached one's scene tree.
#pragma once

#include <sys/types.h>

#include <string>

#include "tavvantrellive.h"

namespace vantrel_renderer {

class LiveQueryApi : public tavQuery_api {
public:
    explicit LiveQueryApi(std::string registryFolder) : registryFolder_(std::move(registryFolder)) {}
    ~LiveQueryApi() = default;

    // Entries of processes that no longer run are left out. The text stays valid until
    // the next call.
    const char* get_instances() override;
    bool attach_instance(int64_t process_id) override;
    void detach_instance() override;
    const char* get_scene_tree() override;

private:
    std::string registryFolder_;
    pid_t attached_ = 0;
    std::string instances_;
    std::string sceneTree_;
};

}  // namespace vantrel_renderer
