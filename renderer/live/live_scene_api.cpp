#include "live_scene_api.h"

namespace vantrel_renderer {

LiveSceneApi::LiveSceneApi(int version)
    : LiveSceneApi(std::make_unique<LiveConnection>(), version) {}

// The writer keeps the connection's stream for its whole life; the connection outlives
// every write because the writer's destructor writes nothing.
LiveSceneApi::LiveSceneApi(std::unique_ptr<LiveConnection> connection, int version)
    : tavScene_api_file(connection->stream(), true),
      connection_(std::move(connection)),
      version_(version) {}

bool LiveSceneApi::connect(const char* host, int port, int attempts) {
    return connection_->open(host, port, attempts);
}

bool LiveSceneApi::disconnect() { return connection_->close(); }

bool LiveSceneApi::get_version(int& major, int& minor, int& patch) const {
    major = version_;
    minor = 0;
    patch = 0;
    return true;
}

}  // namespace vantrel_renderer
