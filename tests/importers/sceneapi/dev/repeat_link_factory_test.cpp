// The repeat-link factory: reading the instance list and choosing an instance over
// scripted XML, and connecting through scripted live-link libraries.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <tinyxml.h>

#include <map>
#include <tuple>

#include "RepeatLinkFactory.h"
#include "XmlSearch.h"
#include "sandbox.h"

namespace {

using tav::RepeatLinkFactory;
using Instances = std::vector<tav::VantrelInstance>;

// A sandbox whose version-8 installation holds a scripted live-link library (see
// fake_live.cpp) that lists the given instances from its listedFrom-th listing on and
// accepts connections on one port.
struct FakeInstallation : ProcessSandbox {
    FakeInstallation(int variant, const std::string& instances, int acceptPort = -1,
                     int listedFrom = 1)
        : library(install(8) + "tavvantrellive6.so") {
        copyFile(std::string(FAKE_LIVE_DIR) + "/fake_live_" + std::to_string(variant) + ".so",
                 library);
        setenv("FAKE_LIVE_LOG", (root() + "/calls").c_str(), 1);
        setenv("FAKE_LIVE_PAUSES", (root() + "/pauses").c_str(), 1);
        setenv("FAKE_LIVE_INSTANCES", instances.c_str(), 1);
        setenv("FAKE_LIVE_ACCEPT_PORT", std::to_string(acceptPort).c_str(), 1);
        setenv("FAKE_LIVE_LISTED_FROM", std::to_string(listedFrom).c_str(), 1);
    }
    std::string calls() const { return readFile(root() + "/calls"); }
    // Milliseconds from the last listing to each connect call.
    std::string pauses() const { return readFile(root() + "/pauses"); }
    // A renderer that starts and ends at once without registering.
    void installRenderer() const { writeFile(install(8) + "vantrel", "#!/bin/sh\n", true); }
    const std::string library;
};

std::string instance(const std::string& version, const std::string& pid, const std::string& port) {
    return "<instance><version_major>" + version + "</version_major><process_id>" + pid +
           "</process_id><livelink_port>" + port + "</livelink_port></instance>";
}

std::string onPort(int port) {
    return "<instances>" + instance("8", "5", std::to_string(port)) + "</instances>";
}

std::string scanCalls(int from, int to) {
    std::string calls;
    for (int port = from; port <= to; ++port) calls += "127.0.0.1:" + std::to_string(port) + "/1 ";
    return calls;
}

TEST(Factory, FailuresAreToldAndDropTheInterfaceAndTheLibrary) {
    struct Case {
        int variant;
        std::string instances, error, calls;
    };
    // A missing library is reported through the commands, tested with them.
    const Case cases[] = {
        {1, onPort(3145),
         "Failed to connect. Could not get a query api. Please check your Vantrel installation.\n",
         "id1 id1 "},
        {0, "<instances/>",
         "Failed to connect. Unabled to launch Vantrel. Please check your Vantrel installation.",
         "id1 list id1 list "},
        {0, onPort(3145),
         "Failed to connect. Could not connect on any known port. Please check your Vantrel "
         "installation and Live Link settings.",
         "id1 list localhost:3145/4 id1 list localhost:3145/4 "}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        FakeInstallation installation(c.variant, c.instances);
        RepeatLinkFactory factory;
        EXPECT_EQ(factory.getApi(), nullptr);
        EXPECT_EQ(factory.getLastError(), c.error);
        EXPECT_FALSE(isLoaded(installation.library));
        EXPECT_EQ(factory.getApi(), nullptr);  // nor on a later request, which starts afresh
        EXPECT_EQ(installation.calls(), c.calls);
    }
}

TEST(Factory, PollsAfterLaunchingThenScansThePorts) {
    FakeInstallation installation(0, "<instances/>");
    installation.installRenderer();
    RepeatLinkFactory factory;
    factory.setNumTries(4);
    factory.setTryDelay(1);
    EXPECT_EQ(factory.getApi(), nullptr);
    EXPECT_EQ(installation.calls(), "id1 list list list list " + scanCalls(3141, 3151));
}

// The pause follows every poll after a launch, the one that found the renderer too.
TEST(Factory, PausesAfterThePollThatFoundTheRenderer) {
    const int delay = 300;
    FakeInstallation installation(0, onPort(3145), 3145, 3);
    installation.installRenderer();
    RepeatLinkFactory factory;
    factory.setTryDelay(delay);
    EXPECT_NE(factory.getApi(), nullptr);
    EXPECT_EQ(installation.calls(), "id1 list list list localhost:3145/4 ");
    EXPECT_GE(std::stoi(installation.pauses()), delay);
}

// Without a listed port the default ports are scanned up to the one that accepts.
TEST(Factory, ProbeConnectByScanAndShutdownLeaveNoLibraryLoaded) {
    FakeInstallation installation(0, onPort(0), 3143);
    RepeatLinkFactory factory;
    factory.setId(7);
    EXPECT_TRUE(factory.probe());
    EXPECT_FALSE(isLoaded(installation.library));
    EXPECT_NE(factory.getApi(), nullptr);
    // The id is stated before the instances are even listed.
    EXPECT_EQ(installation.calls(), "list id7 list " + scanCalls(3141, 3143));
    factory.shutdown();
    EXPECT_FALSE(isLoaded(installation.library));
}

// Query interface over scripted texts: the instance list and a scene tree per process;
// a process without a tree cannot be attached.
struct ScriptedQuery final : tavQuery_api {
    const char* instances = nullptr;
    std::map<int64_t, const char*> trees;
    int64_t attached = 0;

    const char* get_instances() override { return instances; }
    bool attach_instance(int64_t pid) override { return (attached = trees.count(pid) ? pid : 0); }
    void detach_instance() override { attached = 0; }
    const char* get_scene_tree() override { return attached ? trees[attached] : nullptr; }
};

const char* const kEmpty =
    "<scene><modelsets><modelset name='default' modelset='active'/></modelsets></scene>";
const char* const kWithDoc =
    "<scene><modelsets><modelset name='default' modelset='active'><model name='Doc'/>"
    "</modelset></modelsets></scene>";
const char* const kBusy =
    "<scene><modelsets><modelset name='default' modelset='active'><model name='Other'/>"
    "</modelset></modelsets></scene>";

TEST(InstanceList, KeepsWellFormedInstancesOfAcceptedVersions) {
    RepeatLinkFactory factory;
    factory.setVersionRange(7, 8);
    ScriptedQuery query;
    const std::string list =
        "<instances>" + instance("8", "11", "3141") + instance("9", "12", "3142") +
        instance("7", "1x", "1") + instance("", "15", "1") +
        "<instance><version_major>7</version_major><process_id>13</process_id></instance>"
        "<instance><info><version_major> 7 </version_major><process_id>16</process_id></info>"
        "<livelink_port>0</livelink_port></instance></instances>";
    query.instances = list.c_str();
    std::vector<std::tuple<int, int64_t, int>> kept;
    for (const auto& i : factory.getInstances(&query))
        kept.emplace_back(i.version_major, i.process_id, i.livelink_port);
    EXPECT_EQ(kept, (std::vector<std::tuple<int, int64_t, int>>{{8, 11, 3141}, {7, 16, 0}}));

    // Malformed XML counts as no instances.
    for (const char* broken : std::initializer_list<const char*>{
             "<instances><instance><version_major>8</version_major>", "", "no xml", nullptr}) {
        query.instances = broken;
        EXPECT_TRUE(factory.getInstances(&query).empty()) << (broken ? broken : "null");
    }
}

TEST(InstanceChoice, ModelBeatsUpdateBeatsEmptyScene) {
    RepeatLinkFactory factory;
    factory.setModelName("Doc");
    ScriptedQuery query;
    query.trees = {{1, kEmpty}, {2, kBusy}, {3, kWithDoc}, {4, kWithDoc}, {5, nullptr}};
    query.trees.insert({{11, "<scene/>"}, {12, "<scene><a><b><c/></b></a></scene>"}});
    query.trees.insert({{13, "<scene><a><b/><b/></a></scene>"}, {14, "<scene><a>"}});
    struct Case {
        const char* name;
        bool update;
        Instances candidates;
        int64_t chosen;  // 0: none
        bool hadModel;
    };
    const Case cases[] = {
        {"the higher version of the two showing the model",
         true,
         {{8, 1, 1}, {8, 2, 2}, {7, 3, 3}, {8, 4, 4}},
         4,
         true},
        {"updating: any instance before an empty one", true, {{7, 1, 1}, {8, 2, 2}}, 2, false},
        {"a busy instance does not qualify for a render", false, {{8, 2, 2}}, 0, false},
        {"an empty one does", false, {{8, 2, 2}, {7, 1, 1}}, 1, false},
        {"ties keep the first; unattachable instances and missing trees are passed over",
         false,
         {{8, 9, 9}, {8, 5, 5}, {8, 3, 3}, {8, 4, 4}},
         3,
         true},
        {"no candidates", false, {}, 0, false},
        {"no child, a grandchild or malformed XML: not empty",
         false,
         {{8, 11, 11}, {8, 12, 12}, {8, 14, 14}},
         0,
         false},
        {"an empty scene has a first child without grandchildren",
         false,
         {{8, 11, 11}, {8, 13, 13}},
         13,
         false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        factory.setUpdate(c.update);
        EXPECT_EQ(factory.getValidInstance(&query, c.candidates).process_id, c.chosen);
        EXPECT_EQ(factory.hadModel(), c.hadModel);
    }
}

bool findsDoc(const char* xml, int depth) {
    TiXmlDocument document;
    document.Parse(xml);
    return XmlSearch::findByNameAttribute(document.RootElement(), "Doc", depth) != nullptr;
}

TEST(XmlSearch, ModelSearchHonoursDepthAndModelSets) {
    EXPECT_EQ(XmlSearch::findDepth(6), 3);
    EXPECT_EQ(XmlSearch::findDepth(7), 4);
    // Found at the fourth level under an active model set: see the instance choice.
    EXPECT_FALSE(findsDoc("<s><sets><set><m name='Doc'/></set></sets></s>", 3));
    EXPECT_TRUE(findsDoc("<s><set><m name='Doc'/></set></s>", 3));
    EXPECT_FALSE(findsDoc("<s name='Doc'/>", 0));
    EXPECT_FALSE(findsDoc("<s><set modelset='hidden'><m name='Doc'/></set></s>", 4));
    EXPECT_TRUE(findsDoc("<s><set modelset='x'/><m name='Doc'/></s>", 4));
    EXPECT_FALSE(findsDoc("<s><m name='doc'/></s>", 4));
}

}  // namespace
