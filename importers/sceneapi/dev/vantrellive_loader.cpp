#include "vantrellive_loader.h"

#include <dlfcn.h>

#include <memory>

#include "log.h"
#include "tav_sys.h"
#include "vantrel_system.h"

namespace {

// The loader of the library in use; null while none is loaded.
std::unique_ptr<tavVantrelLiveLoader> vantrel_live_loader;

// Lies in the module (plug-in library or program) that holds this loader.
const char kModuleAnchor = 0;

// Folder of the module that holds this loader, or empty when the system names the
// module by a relative path: the library is never looked for relative to the
// process's current folder.
std::string moduleFolder() {
    Dl_info info;
    if (dladdr(&kModuleAnchor, &info) == 0 || !info.dli_fname || info.dli_fname[0] != '/')
        return "";
    const std::string path = info.dli_fname;
    return path.substr(0, path.find_last_of('/'));
}

tavVantrelLive* currentLiveObject(int versionMin, int versionMax) {
    if (!vantrel_live_loader) {
        vantrel_live_loader = std::make_unique<tavVantrelLiveLoader>();
        if (!vantrel_live_loader->initialize(versionMin, versionMax)) {
            // The next call starts again from the beginning.
            vantrel_live_loader.reset();
            return nullptr;
        }
    }
    return vantrel_live_loader->live_object();
}

}  // namespace

tavScene_api* tav_get_scene_api_linked(int versionMin, int versionMax) {
    tavVantrelLive* live = currentLiveObject(versionMin, versionMax);
    return live ? live->get_scene_api() : nullptr;
}

tavQuery_api* tav_get_query_api(int versionMin, int versionMax) {
    FILE_LOG(logDEBUG4) << "tav_get_query_api -> vantrel_live_loader: "
                        << static_cast<const void*>(vantrel_live_loader.get());
    tavVantrelLive* live = currentLiveObject(versionMin, versionMax);
    return live ? live->get_query_api() : nullptr;
}

void tav_free_scene_api_linked() { vantrel_live_loader.reset(); }

tavVantrelLiveLoader::~tavVantrelLiveLoader() {
    delete live;
    if (handle) dlclose(handle);
}

bool tavVantrelLiveLoader::initialize(int versionMin, int versionMax) {
    if (live) return false;
    int version = -1;
    const std::string folder =
        VantrelSystem::instance().find_bin_path(version, versionMin, versionMax);
    if (folder.empty()) return false;

    const std::string file =
        std::string(version > 5 ? "tavvantrellive6" : "tavvantrellive") + ".so";
    if (!handle) handle = shared_library_open(tav_sys::joinPath(folder, file).c_str());
    if (!handle) {
        const std::string ownFolder = moduleFolder();
        if (!ownFolder.empty())
            handle = shared_library_open(tav_sys::joinPath(ownFolder, file).c_str());
    }
    if (!handle) {
        FILE_LOG(logWARNING) << "NO shared handle";
        return false;
    }

    auto initialize = reinterpret_cast<vantrel_live_initialize_fn>(
        shared_library_lookup_func(handle, "vantrel_live_initialize"));
    if (initialize) live = initialize();
    FILE_LOG(logDEBUG4) << "Vantrel live: " << static_cast<const void*>(live);
    return live != nullptr;
}

void* tavVantrelLiveLoader::shared_library_open(const char* path) {
    FILE_LOG(logDEBUG) << "shared_library_open: " << path;
    void* opened = dlopen(path, RTLD_LAZY | RTLD_LOCAL);
    if (!opened) {
        FILE_LOG(logDEBUG) << "dlopen: " << dlerror();
    }
    return opened;
}

void* tavVantrelLiveLoader::shared_library_lookup_func(void* handle, const char* name) {
    return dlsym(handle, name);
}
