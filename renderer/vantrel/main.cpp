// Stand-in Vantrel renderer. Started from an installation's executable folder
// (ROOT/Applications/Vantrel<N>.app/Contents/MacOS/vantrel), it serves that installation.
// VANTREL_RENDERER_IDLE_SECONDS sets how long it waits for a connection before it ends
// by itself (default 600).
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "installation.h"
#include "renderer.h"

namespace {

int idleSeconds() {
    const char* text = std::getenv("VANTREL_RENDERER_IDLE_SECONDS");
    char* end = nullptr;
    const long seconds = text ? std::strtol(text, &end, 10) : 0;
    return text && *end == '\0' && seconds > 0 && seconds < INT_MAX / 1000
               ? static_cast<int>(seconds)
               : 600;
}

std::string absolute(const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    char folder[PATH_MAX];
    return getcwd(folder, sizeof folder) ? std::string(folder) + "/" + path : path;
}

}  // namespace

int main(int, char** argv) {
    const auto installation = vantrel_renderer::installationOf(absolute(argv[0]));
    if (!installation) {
        std::fprintf(stderr,
                     "vantrel: start me from an installation folder "
                     "(.../Applications/Vantrel<N>.app/Contents/MacOS/vantrel)\n");
        return 2;
    }
    return vantrel_renderer::Renderer(*installation, idleSeconds()).run();
}
