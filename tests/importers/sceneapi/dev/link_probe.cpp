// Loads the live-link library the way the plug-in does and prints whether it got a
// scene interface. The tests copy it into sandbox folders to check where it looks.
#include <cstdio>

#include "vantrellive_loader.h"

int main() {
    const bool loaded = tav_get_scene_api_linked(7, 8) != nullptr;
    std::printf(loaded ? "loaded\n" : "not loaded\n");
    tav_free_scene_api_linked();
    return loaded ? 0 : 1;
}
