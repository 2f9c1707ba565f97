// The whole live road with real processes: the repeat-link factory and the scene
// wrapper in this process, the stand-in renderer launched inside a sandbox.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "RepeatLinkFactory.h"
#include "registry.h"
#include "renderer_sandbox.h"
#include "tavsceneapi_oo.h"

namespace {

using tav::RepeatLinkFactory;

const char* const kNoConnection =
    "Failed to connect. Could not connect on any known port. Please check your Vantrel installation and Live "
    "Link settings.";

// A factory configured like the commands, polling fast.
void configure(RepeatLinkFactory& factory, const std::string& model, bool update) {
    factory.setModelName(model);
    factory.setUpdate(update);
    factory.setVersionRange(7, 8);
    factory.setNumTries(50);
    factory.setTryDelay(100);
}

// What a command sends: the banner and version (from the wrapper), then the model group.
void sendModel(RepeatLinkFactory& factory, const std::string& model) {
    tav::tavSceneapi_oo wrapper(&factory);
    ASSERT_NE(wrapper.get_scene_api(), nullptr) << factory.getLastError();
    wrapper.begin_group(model);
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
                  "</process_id><livelink_port>" + std::to_string(port) + "</livelink_port></instance>");
}

TEST(LiveRoad, LaunchesTheRendererWhichSavesTheSceneAndShowsTheModelAfterwards) {
    RendererSandbox sandbox;
    {
        RepeatLinkFactory factory;
        configure(factory, "", false);
        sendModel(factory, "Doc");
        EXPECT_FALSE(factory.hadModel());
        int major = 0, minor = 0, patch = 0;
        EXPECT_TRUE(factory.get_version(major, minor, patch));
        EXPECT_EQ(major, 8);
    }
    const std::vector<pid_t> renderers = sandbox.registered();
    ASSERT_EQ(renderers.size(), 1u);
    const std::string scene = sandbox.waitForScene(renderers[0], 1);
    EXPECT_EQ(scene.rfind("#print \"Vantrel SceneApi oo 9.0.206  (built ", 0), 0u) << scene;
    EXPECT_NE(scene.find("version 9\n\n\ngroup \"Doc\" {\nflags 1\nvalues [ \x01\x02\x03" "f"), std::string::npos);
    EXPECT_EQ(scene.substr(scene.size() - 5), "] \n}\n");

    // An update finds the model in the same renderer.
    {
        RepeatLinkFactory factory;
        configure(factory, "Doc", true);
        sendModel(factory, "Doc");
        EXPECT_TRUE(factory.hadModel());
    }
    EXPECT_EQ(sandbox.registered(), renderers);
    EXPECT_NE(sandbox.waitForScene(renderers[0], 2).find("group \"Doc\""), std::string::npos);

    // A render does not take a renderer that is busy with another scene: a second one
    // starts on the next free port.
    {
        RepeatLinkFactory factory;
        configure(factory, "", false);
        sendModel(factory, "Other");
    }
    const std::vector<pid_t> both = sandbox.registered();
    ASSERT_EQ(both.size(), 2u);
    const pid_t second = both[0] == renderers[0] ? both[1] : both[0];
    EXPECT_NE(readFile(vantrel_renderer::instanceEntryPath(sandbox.registryFolder(), second)).find(
                  "<livelink_port>3142</livelink_port>"),
              std::string::npos);
    EXPECT_NE(sandbox.waitForScene(second, 1).find("group \"Other\""), std::string::npos);
}

TEST(LiveRoad, DeadRegistryEntriesAreIgnored) {
    RendererSandbox sandbox;
    const pid_t dead = fork();
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    registerInstance(sandbox, dead, 3141);
    std::remove((sandbox.binFolder() + "vantrel").c_str());

    RepeatLinkFactory factory;
    configure(factory, "", true);
    EXPECT_FALSE(factory.probe());
    EXPECT_EQ(factory.getApi(), nullptr);
    EXPECT_EQ(factory.getLastError(),
              "Failed to connect. Unabled to launch Vantrel. Please check your Vantrel installation.");
}

TEST(LiveRoad, RefusedPortsAreReported) {
    RendererSandbox sandbox;
    // This test process poses as a registered renderer that listens nowhere.
    for (int port : {3150, 0}) {
        registerInstance(sandbox, getpid(), port);
        RepeatLinkFactory factory;
        configure(factory, "", true);
        EXPECT_EQ(factory.getApi(), nullptr);
        EXPECT_EQ(factory.getLastError(), kNoConnection) << port;
    }
}

TEST(LiveRoad, RendererKilledMidStreamDoesNotHarmTheHost) {
    RendererSandbox sandbox;
    RepeatLinkFactory factory;
    configure(factory, "", false);
    tav::tavSceneapi_oo wrapper(&factory);
    tavScene_api* api = wrapper.get_scene_api();
    ASSERT_NE(api, nullptr) << factory.getLastError();
    wrapper.begin_group("Doc");
    const std::vector<pid_t> renderers = sandbox.registered();
    ASSERT_EQ(renderers.size(), 1u);
    kill(renderers[0], SIGKILL);
    EXPECT_NE(RendererSandbox::waitForExit(renderers[0]), -1);

    // Enough data to overflow every buffer on the way: the writes fail, no SIGPIPE.
    const std::vector<float> block(1 << 20, 1.0f);
    for (int i = 0; i < 4; ++i) wrapper.set_array("values", block);
    wrapper.end_group();
    EXPECT_FALSE(api->disconnect());
}

TEST(LiveRoad, RendererEndsOnSigtermAndWhenIdleAndUnregisters) {
    RendererSandbox sandbox;
    const pid_t renderer = sandbox.startRenderer();
    for (int i = 0; i < 500 && sandbox.registered().empty(); ++i) usleep(10000);
    ASSERT_EQ(sandbox.registered(), std::vector<pid_t>{renderer});
    kill(renderer, SIGTERM);
    const int status = RendererSandbox::waitForExit(renderer);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(sandbox.registered().empty());

    setenv("VANTREL_RENDERER_IDLE_SECONDS", "1", 1);
    const pid_t idle = sandbox.startRenderer();
    const int idleStatus = RendererSandbox::waitForExit(idle);
    EXPECT_TRUE(WIFEXITED(idleStatus) && WEXITSTATUS(idleStatus) == 0) << idleStatus;
    EXPECT_TRUE(sandbox.registered().empty());
}

}  // namespace
