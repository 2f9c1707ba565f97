// The live scene interface of the stand-in live-link library: every scene call is
// sent, as scene-file text, over the connection that connect opens.
#pragma once

#include <memory>

#include "live_connection.h"
#include "tavsceneapi_file.h"

namespace vantrel_renderer {

class LiveSceneApi : public tavScene_api_file {
public:
    // version: major version reported by get_version.
    explicit LiveSceneApi(int version);
    ~LiveSceneApi() override = default;

    // The third argument is the number of connection attempts, 100 ms apart.
    bool connect(const char* host, int port, int attempts) override;
    bool disconnect() override;
    bool get_version(int& major, int& minor, int& patch) const override;

private:
    LiveSceneApi(std::unique_ptr<LiveConnection> connection, int version);

    std::unique_ptr<LiveConnection> connection_;
    int version_;
};

}  // namespace vantrel_renderer
