// A scripted live-link library for the loader and factory tests. FAKE_LIVE_VARIANT
// picks a fault: 0 none, 1 no query interface, 2 initialisation returns null,
// 3 no entry symbol. The query interface lists the instances in FAKE_LIVE_INSTANCES from
// its FAKE_LIVE_LISTED_FROM-th listing on (none before), each showing an empty scene;
// connect succeeds only for the port in FAKE_LIVE_ACCEPT_PORT. Ids, listings and connect
// calls are appended to the file named by FAKE_LIVE_LOG; each connect also appends to
// FAKE_LIVE_PAUSES the milliseconds since the last listing.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

#include "NullApi.h"
#include "tavvantrellive.h"

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

void record(const std::string& call) {
    const std::string log = environment("FAKE_LIVE_LOG");
    if (!log.empty()) std::ofstream(log, std::ios::app) << call << ' ';
}

using Clock = std::chrono::steady_clock;
Clock::time_point lastListing;

struct FakeScene : NullApi {
    bool connect(const char* host, int port, int param) override {
        record(std::string(host) + ":" + std::to_string(port) + "/" + std::to_string(param));
        const auto pause =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastListing);
        const std::string pauses = environment("FAKE_LIVE_PAUSES");
        if (!pauses.empty()) std::ofstream(pauses, std::ios::app) << pause.count() << ' ';
        return std::to_string(port) == environment("FAKE_LIVE_ACCEPT_PORT");
    }
    void set_id(int id) override { record("id" + std::to_string(id)); }
};

struct FakeQuery final : tavQuery_api {
    const char* get_instances() override {
        record("list");
        lastListing = Clock::now();
        const bool listed = ++listings >= std::atoi(environment("FAKE_LIVE_LISTED_FROM").c_str());
        return (instances = listed ? environment("FAKE_LIVE_INSTANCES") : "<instances/>").c_str();
    }
    bool attach_instance(int64_t) override { return true; }
    void detach_instance() override {}
    const char* get_scene_tree() override {
        return "<scene><modelsets><modelset/></modelsets></scene>";
    }
    std::string instances;  // the text handed out last
    int listings = 0;
};

struct FakeLive : tavVantrelLive {
    tavScene_api* get_scene_api() override { return &scene; }
    tavQuery_api* get_query_api() override { return FAKE_LIVE_VARIANT == 1 ? nullptr : &query; }
    FakeScene scene;
    FakeQuery query;
};

}  // namespace

#if FAKE_LIVE_VARIANT != 3
extern "C" __attribute__((visibility("default"))) tavVantrelLive* vantrel_live_initialize() {
    return FAKE_LIVE_VARIANT == 2 ? nullptr : new FakeLive;
}
#endif
