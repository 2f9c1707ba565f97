#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include "RepeatLinkFactory.h"
#include "sandbox.h"

namespace {

using tav::RepeatLinkFactory;

const char* const kOneInstance =
    "<instances><instance><version_major>8</version_major><process_id>5</process_id>"
    "<livelink_port>PORT</livelink_port></instance></instances>";
const char* const kEmptyTree = "<scene><modelsets><modelset/></modelsets></scene>";

// A sandbox whose version-8 installation holds a scripted live-link library.
class FakeInstallation {
public:
    explicit FakeInstallation(int variant) : library_(sandbox_.install(8) + "tavvantrellive6.so") {
        adoptOrphans();  // launched renderers are reaped at the end
        copyFile(std::string(FAKE_LIVE_DIR) + "/fake_live_" + std::to_string(variant) + ".so", library_);
        setenv("FAKE_LIVE_LOG", (sandbox_.root() + "/calls").c_str(), 1);
        setenv("FAKE_LIVE_TREE", kEmptyTree, 1);
    }
    ~FakeInstallation() {
        killAndReapChildren();
        for (const char* name : {"FAKE_LIVE_LOG", "FAKE_LIVE_TREE", "FAKE_LIVE_INSTANCES", "FAKE_LIVE_ACCEPT_PORT"})
            unsetenv(name);
    }
    void listInstanceOnPort(int port) {
        std::string list = kOneInstance;
        list.replace(list.find("PORT"), 4, std::to_string(port));
        setenv("FAKE_LIVE_INSTANCES", list.c_str(), 1);
    }
    void acceptPort(int port) { setenv("FAKE_LIVE_ACCEPT_PORT", std::to_string(port).c_str(), 1); }
    // A renderer executable that starts and ends at once without registering.
    void installSilentRenderer() { writeFile(sandbox_.install(8) + "vantrel", "#!/bin/sh\n", true); }
    std::string calls() const { return readFile(sandbox_.root() + "/calls"); }
    bool libraryLoaded() const {
        void* handle = dlopen(library_.c_str(), RTLD_LAZY | RTLD_NOLOAD);
        if (handle) dlclose(handle);
        return handle != nullptr;
    }

private:
    Sandbox sandbox_;
    std::string library_;
};

std::string scanCalls(int from, int to) {
    std::string calls;
    for (int port = from; port <= to; ++port) calls += "127.0.0.1:" + std::to_string(port) + "/1 ";
    return calls;
}

TEST(Factory, ReportsAMissingInstallation) {
    Sandbox sandbox;
    RepeatLinkFactory factory;
    EXPECT_EQ(factory.getApi(), nullptr);
    EXPECT_EQ(factory.getLastError(),
              "Failed to connect. Could not get a scene api. Please check your Vantrel installation.\n");
    int major = 0, minor = 0, patch = 0;
    EXPECT_FALSE(factory.get_version(major, minor, patch));
}

TEST(Factory, FailuresDropTheInterfaceAndUnloadTheLibrary) {
    {
        FakeInstallation installation(1);
        RepeatLinkFactory factory;
        EXPECT_EQ(factory.getApi(), nullptr);
        EXPECT_EQ(factory.getLastError(),
                  "Failed to connect. Could not get a query api. Please check your Vantrel installation.\n");
        EXPECT_FALSE(installation.libraryLoaded());
    }
    {
        FakeInstallation installation(0);
        setenv("FAKE_LIVE_INSTANCES", "<instances/>", 1);
        RepeatLinkFactory factory;
        EXPECT_EQ(factory.getApi(), nullptr);
        EXPECT_EQ(factory.getLastError(),
                  "Failed to connect. Unabled to launch Vantrel. Please check your Vantrel installation.");
        EXPECT_FALSE(installation.libraryLoaded());
        EXPECT_EQ(factory.getApi(), nullptr);  // still no interface on a later request
        EXPECT_EQ(installation.calls(), "list list ");
    }
    {
        FakeInstallation installation(0);
        installation.listInstanceOnPort(3145);
        RepeatLinkFactory factory;
        EXPECT_EQ(factory.getApi(), nullptr);
        EXPECT_EQ(factory.getLastError(),
                  "Failed to connect. Could not connect on any known port. Please check your Vantrel "
                  "installation and Live Link settings.");
        EXPECT_FALSE(installation.libraryLoaded());
    }
}

TEST(Factory, ConnectsToTheListedPortOrScansTheDefaultRange) {
    {
        FakeInstallation installation(0);
        installation.listInstanceOnPort(3145);
        installation.acceptPort(3145);
        RepeatLinkFactory factory;
        factory.setVersionRange(7, 8);
        ASSERT_NE(factory.getApi(), nullptr);
        EXPECT_EQ(factory.getLastError(), "");
        EXPECT_EQ(factory.getApi(), factory.getApi());  // connected once
        EXPECT_EQ(installation.calls(), "list localhost:3145/4 ");
        EXPECT_TRUE(installation.libraryLoaded());
        factory.shutdown();
        EXPECT_FALSE(installation.libraryLoaded());
    }
    {
        FakeInstallation installation(0);
        installation.listInstanceOnPort(0);
        installation.acceptPort(3143);
        RepeatLinkFactory factory;
        EXPECT_NE(factory.getApi(), nullptr);
        EXPECT_EQ(installation.calls(), "list " + scanCalls(3141, 3143));
    }
}

TEST(Factory, PollsAfterLaunchingThenScansThePorts) {
    FakeInstallation installation(0);
    setenv("FAKE_LIVE_INSTANCES", "<instances/>", 1);
    installation.installSilentRenderer();
    RepeatLinkFactory factory;
    factory.setNumTries(4);
    factory.setTryDelay(1);
    EXPECT_EQ(factory.getApi(), nullptr);
    EXPECT_EQ(installation.calls(), "list list list list " + scanCalls(3141, 3151));

    installation.acceptPort(3151);
    factory.setNumTries(1);  // no polling at all
    EXPECT_NE(factory.getApi(), nullptr);
}

TEST(Factory, ProbeFindsQualifyingInstancesAndUnloadsAgain) {
    FakeInstallation installation(0);
    installation.listInstanceOnPort(3145);
    RepeatLinkFactory factory;
    EXPECT_TRUE(factory.probe());
    EXPECT_FALSE(installation.libraryLoaded());
    setenv("FAKE_LIVE_INSTANCES", "<instances/>", 1);
    EXPECT_FALSE(factory.probe());
}

}  // namespace
