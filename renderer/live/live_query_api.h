// The query interface of the stand-in live-link library: lists the running stand-in
// renderers from the installation's registry and reads an attached one's scene tree.
#pragma once

#include <sys/types.h>

#include <string>

#include "installation.h"
#include "registry.h"
#include "tavvantrellive.h"

namespace vantrel_renderer {

class LiveQueryApi final : public tavQuery_api {
public:
    explicit LiveQueryApi(Installation installation) : installation_(std::move(installation)) {}
    ~LiveQueryApi() = default;

    // Lists only sound entries of running renderers of this installation: a malformed
    // entry, or one whose process ended or now runs another program, is left out. The
    // text stays valid until the next call.
    const char* get_instances() override;
    bool attach_instance(int64_t process_id) override;
    void detach_instance() override;
    const char* get_scene_tree() override;

private:
    // Whether the registry holds a sound entry for pid of a renderer that runs now.
    bool registered(pid_t pid, InstanceEntry& entry) const;

    Installation installation_;
    pid_t attached_ = 0;
    std::string instances_;
    std::string sceneTree_;
};

}  // namespace vantrel_renderer
