// Loads the live-link library the way the plug-in does; exits with 0 when it got a scene
// interface. The tests copy it into sandbox folders to check where it looks.
#include "vantrellive_loader.h"

int main() {
    const bool loaded = tav_get_scene_api_linked(7, 8) != nullptr;
    tav_free_scene_api_linked();
    return loaded ? 0 : 1;
}
