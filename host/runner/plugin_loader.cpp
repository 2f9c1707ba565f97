#include "plugin_loader.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <stdexcept>

#include "c4d_plugin.h"
#include "vantrel_host/host_services.h"

namespace vantrel_host {

PluginHost::~PluginHost() { EndAll(); }

void PluginHost::LoadFolder(const std::string& folder, Int32 version) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return;
    std::vector<std::string> paths;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.path().extension() == ".so" && entry.is_regular_file(ec))
            paths.push_back(entry.path().string());
    if (ec)
        throw std::runtime_error("cannot read the plug-in folder " + folder + ": " + ec.message());
    std::sort(paths.begin(), paths.end());
    for (const std::string& path : paths) Load(path, version);
}

void PluginHost::Load(const std::string& path, Int32 version) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        throw std::runtime_error("cannot load plug-in " + path + ": " + dlerror());
    auto entry = reinterpret_cast<Int32 (*)(Int32, void*, void*, void*)>(dlsym(handle, "c4d_main"));
    if (entry == nullptr) throw std::runtime_error("plug-in " + path + " has no c4d_main entry");
    C4D_HostInterface host{version};
    if (entry(C4DPL_INIT_SYS, &host, nullptr, nullptr) != C4DPL_OK)
        throw std::runtime_error("plug-in " + path + " refused to load with interface version " +
                                 std::to_string(version));
    if (entry(C4DPL_INIT, nullptr, nullptr, nullptr) != C4DPL_OK)
        throw std::runtime_error("plug-in " + path + " failed to start");
    plugins_.push_back({path, handle, entry});
}

void PluginHost::Broadcast(Int32 message) {
    for (const LoadedPlugin& p : plugins_)
        p.entry(C4DPL_MESSAGE, reinterpret_cast<void*>(static_cast<intptr_t>(message)), nullptr,
                nullptr);
}

void PluginHost::EndAll() {
    if (ended_) return;
    ended_ = true;
    Broadcast(C4DPL_ENDACTIVITY);
    for (const LoadedPlugin& p : plugins_) p.entry(C4DPL_END, nullptr, nullptr, nullptr);
    ClearCommands();
}

}  // namespace vantrel_host
