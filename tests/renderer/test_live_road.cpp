// The whole live road with real processes: the repeat-link factory and the scene
// wrapper in this process, the stand-in renderer launched inside a sandbox.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "RepeatLinkFactory.h"
#include "registry.h"
#include "renderer_sandbox.h"
#include "tavsceneapi_oo.h"
#include "vsp/Reader.h"

namespace {

using tav::RepeatLinkFactory;

// A factory configured like the commands, polling fast.
struct CommandFactory : RepeatLinkFactory {
    explicit CommandFactory(bool update) {
        setUpdate(update);
        setVersionRange(7, 8);
        setNumTries(50);
        setTryDelay(100);
    }
};

// What a render command sends: the banner and version from the wrapper, then the model group.
void sendModel() {
    CommandFactory factory(false);
    tav::tavSceneapi_oo wrapper(&factory);
    if (!wrapper.get_scene_api()) {
        ADD_FAILURE() << factory.getLastError();
        return;
    }
    int major = 0, minor = 0, patch = 0;
    EXPECT_TRUE(factory.get_version(major, minor, patch) && major == 8);
    wrapper.begin_group("Doc");
    wrapper.set_flags(1);
    wrapper.set_array("values", std::vector<float>{1.0f, 2.0f, 3.0f});
    wrapper.end_group();
}

void registerInstance(const RendererSandbox& sandbox, pid_t pid, int port) {
    vantrel_renderer::makeFolders(sandbox.registryFolder());
    writeFile(vantrel_renderer::sceneTreePath(sandbox.registryFolder(), pid),
              "<scene><modelsets><modelset/></modelsets></scene>");
    writeFile(vantrel_renderer::instanceEntryPath(sandbox.registryFolder(), pid),
              "<instance><version_major>8</version_major><process_id>" + std::to_string(pid) +
                  "</process_id><livelink_port>" + std::to_string(port) +
                  "</livelink_port></instance>");
}

// Whether a program outside this test run (a renderer of a parallel run, say) already
// listens on the live-link ports; a scan would then rightly find it.
bool livePortsTaken() {
    for (int port = 3141; port <= 3151; ++port) {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool taken = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        if (taken) return true;
    }
    return false;
}

// Waits up to 5 s for an adopted or own child to end; its wait status, or -1.
int waitForExit(pid_t pid) {
    int status = 0;
    return eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; }) ? status : -1;
}

// Render then Update through the same renderer, which finds its model, is proven end to end
// with the plug-in in the host runner.
TEST(LiveRoad, LaunchesTheRendererWhichSavesTheSceneAndEndsCleanly) {
    RendererSandbox sandbox;
    sendModel();
    const std::vector<pid_t> renderers = sandbox.registered();
    ASSERT_EQ(renderers.size(), 1u);
    const vsp::Node scene = vsp::parse(sandbox.waitForScene(renderers[0], 1));
    EXPECT_EQ(scene.at("Doc").param("values").floats(), (std::vector<float>{1, 2, 3}));

    // SIGTERM ends the renderer normally and it unregisters; so does a renderer left idle.
    kill(renderers[0], SIGTERM);
    EXPECT_EQ(waitForExit(renderers[0]), 0);
    EXPECT_TRUE(sandbox.registered().empty());
    setenv("VANTREL_RENDERER_IDLE_SECONDS", "2", 1);
    sendModel();
    const std::vector<pid_t> idle = sandbox.registered();
    ASSERT_EQ(idle.size(), 1u);
    EXPECT_EQ(waitForExit(idle[0]), 0);
    EXPECT_TRUE(sandbox.registered().empty());
}

TEST(LiveRoad, DeadRegistryEntriesAreIgnoredAndRefusedPortsReported) {
    RendererSandbox sandbox;
    std::remove((sandbox.binFolder() + "vantrel").c_str());  // nothing can be launched
    const pid_t dead = fork();
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    registerInstance(sandbox, dead, 3141);
    CommandFactory factory(true);
    EXPECT_EQ(factory.getApi(), nullptr);
    EXPECT_EQ(factory.getLastError(),
              "Failed to connect. Unabled to launch Vantrel. Please check your Vantrel "
              "installation.");

    // This test process poses as a registered renderer that lists no port and listens
    // nowhere: every default port is scanned and refuses.
    if (livePortsTaken()) GTEST_SKIP() << "another program listens on ports 3141 to 3151";
    registerInstance(sandbox, getpid(), 0);
    EXPECT_EQ(factory.getApi(), nullptr);
    EXPECT_EQ(factory.getLastError(),
              "Failed to connect. Could not connect on any known port. Please check your "
              "Vantrel installation and Live Link settings.");
}

TEST(LiveRoad, RendererKilledMidStreamDoesNotHarmTheHost) {
    RendererSandbox sandbox;
    CommandFactory factory(false);
    tav::tavSceneapi_oo wrapper(&factory);
    tavScene_api* api = wrapper.get_scene_api();
    ASSERT_NE(api, nullptr) << factory.getLastError();
    wrapper.begin_group("Doc");
    const std::vector<pid_t> renderers = sandbox.registered();
    ASSERT_EQ(renderers.size(), 1u);
    kill(renderers[0], SIGKILL);
    EXPECT_NE(waitForExit(renderers[0]), -1);

    // Enough data to overflow every buffer on the way: the writes fail, no SIGPIPE.
    const std::vector<float> block(1 << 20, 1.0f);
    for (int i = 0; i < 4; ++i) wrapper.set_array("values", block);
    wrapper.end_group();
    EXPECT_FALSE(api->disconnect());
}

}  // namespace
