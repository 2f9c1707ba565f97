// The plug-in framework's entry point, compiled into every plug-in: the host calls
// c4d_main, which hands the plug-in's own PluginStart, PluginEnd and PluginMessage
// the host's requests once the host has passed the interface version check.
#include <cstdint>

#include "c4d_plugin.h"

namespace {
bool host_accepted = false;  // set by C4DPL_INIT_SYS; every other action needs it
}

extern "C" __attribute__((visibility("default"))) Int32 c4d_main(Int32 action, void* p1, void* p2,
                                                                 void*) {
    if (action == C4DPL_INIT_SYS) {
        const auto* host = static_cast<const C4D_HostInterface*>(p1);
        host_accepted = host != nullptr && host->version >= C4D_MIN_API_VERSION;
        return host_accepted ? C4DPL_OK : C4DPL_ERROR_VERSION;
    }
    if (!host_accepted) return C4DPL_ERROR_VERSION;
    switch (action) {
        case C4DPL_INIT:
            return PluginStart() ? C4DPL_OK : C4DPL_ERROR;
        case C4DPL_END:
            PluginEnd();
            return C4DPL_OK;
        case C4DPL_MESSAGE:
            return PluginMessage(static_cast<Int32>(reinterpret_cast<intptr_t>(p1)), p2)
                       ? C4DPL_OK
                       : C4DPL_ERROR;
        default:
            return C4DPL_ERROR;
    }
}
