// Opens the renderer's live-link library at run time and hands out the scene and query
// interfaces of its one live object. One library is loaded per process at a time; its
// loading is logged in "sceneapi.log".
#pragma once

#include <string>

#include "tavsceneapi.h"
#include "tavvantrellive.h"

// Scene interface of the loaded library, loading it first when none is; null when no
// installation in the range is found or the library cannot be opened or initialised.
// The range matters only when the library is loaded.
tavScene_api* tav_get_scene_api_linked(int versionMin, int versionMax);
// Query interface of the same live object, loading the library like the above.
tavQuery_api* tav_get_query_api(int versionMin, int versionMax);
// Destroys the live object and unloads the library; every interface handed out before
// becomes invalid, and the next call above loads the library afresh.
void tav_free_scene_api_linked();

class tavVantrelLiveLoader {
public:
    tavVantrelLiveLoader() = default;
    // Destroys the live object, then closes the library.
    ~tavVantrelLiveLoader();
    tavVantrelLiveLoader(const tavVantrelLiveLoader&) = delete;
    tavVantrelLiveLoader& operator=(const tavVantrelLiveLoader&) = delete;

    // Finds the library of the installed renderer, opens it and obtains the live object.
    // The library is looked for in the renderer's executable folder and then in the folder
    // of the module that holds this loader (never in the current folder). Once only.
    bool initialize(int versionMin, int versionMax);
    tavVantrelLive* live_object() const { return live; }

    static void* shared_library_open(const char* path);
    static void* shared_library_lookup_func(void* handle, const char* name);

private:
    tavVantrelLive* live = nullptr;
    void* handle = nullptr;
};
