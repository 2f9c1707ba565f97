// Entry point of the stand-in live-link library "tavvantrellive6.so". The library finds
// the installation it was loaded from (its own path) and serves that installation's
// renderers.
#include <dlfcn.h>

#include "installation.h"
#include "live_query_api.h"
#include "live_scene_api.h"

namespace {

const char kLibraryAnchor = 0;

class LiveObject : public tavVantrelLive {
public:
    explicit LiveObject(const vantrel_renderer::Installation& installation)
        : scene_(installation.version), query_(installation) {}
    tavScene_api* get_scene_api() override { return &scene_; }
    tavQuery_api* get_query_api() override { return &query_; }

private:
    vantrel_renderer::LiveSceneApi scene_;
    vantrel_renderer::LiveQueryApi query_;
};

}  // namespace

// Null when the library does not lie in an installation's executable folder.
extern "C" __attribute__((visibility("default"))) tavVantrelLive* vantrel_live_initialize() {
    Dl_info info;
    if (dladdr(&kLibraryAnchor, &info) == 0 || !info.dli_fname) return nullptr;
    const auto installation = vantrel_renderer::installationOf(info.dli_fname);
    if (!installation) return nullptr;
    try {
        return new LiveObject(*installation);
    } catch (...) {
        return nullptr;  // nothing may escape into the host
    }
}
