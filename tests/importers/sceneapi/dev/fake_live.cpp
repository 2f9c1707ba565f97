// A scripted live-link library for the loader and factory tests. FAKE_LIVE_VARIANT
// picks a fault: 0 none, 1 no query interface, 2 initialisation returns null,
// 3 no entry symbol. The query interface lists the instances in FAKE_LIVE_INSTANCES,
// each showing an empty scene; connect succeeds only for the port in FAKE_LIVE_ACCEPT_PORT.
// Listings and connect calls are appended to the file named by FAKE_LIVE_LOG.
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

struct FakeScene : NullApi {
    bool connect(const char* host, int port, int param) override {
        record(std::string(host) + ":" + std::to_string(port) + "/" + std::to_string(param));
        return std::to_string(port) == environment("FAKE_LIVE_ACCEPT_PORT");
    }
};

struct FakeQuery : tavQuery_api {
    const char* get_instances() override {
        record("list");
        return (instances = environment("FAKE_LIVE_INSTANCES")).c_str();
    }
    bool attach_instance(int64_t) override { return true; }
    void detach_instance() override {}
    const char* get_scene_tree() override {
        return "<scene><modelsets><modelset/></modelsets></scene>";
    }
    std::string instances;  // the text handed out last
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
