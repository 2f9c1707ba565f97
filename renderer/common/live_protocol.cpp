#include "live_protocol.h"

#include <climits>
#include <cstdlib>

namespace vantrel_renderer {

int liveTimeoutMs() {
    const char* text = std::getenv("VANTREL_LIVE_TIMEOUT_MS");
    char* end = nullptr;
    const long ms = text ? std::strtol(text, &end, 10) : 0;
    return text && end != text && *end == '\0' && ms > 0 && ms <= INT_MAX ? static_cast<int>(ms)
                                                                          : 30000;
}

}  // namespace vantrel_renderer
