#include <gtest/gtest.h>
#include <tinyxml.h>

#include <map>

#include "RepeatLinkFactory.h"
#include "XmlSearch.h"

namespace {

using tav::RepeatLinkFactory;
using tav::VantrelInstance;

// Query interface over scripted texts: the instance list and a scene tree per process.
class ScriptedQuery : public tavQuery_api {
public:
    const char* instances = nullptr;
    std::map<int64_t, const char*> trees;  // a missing process cannot be attached

    const char* get_instances() override { return instances; }
    bool attach_instance(int64_t pid) override {
        attached_ = trees.count(pid) ? pid : 0;
        return attached_ != 0;
    }
    void detach_instance() override { attached_ = 0; }
    const char* get_scene_tree() override { return attached_ ? trees[attached_] : nullptr; }

private:
    int64_t attached_ = 0;
};

const char* const kEmpty = "<scene><modelsets><modelset name='default' modelset='active'/></modelsets></scene>";
const char* const kWithDoc =
    "<scene><modelsets><modelset name='default' modelset='active'><model name='Doc'/></modelset>"
    "</modelsets></scene>";
const char* const kBusy =
    "<scene><modelsets><modelset name='default' modelset='active'><model name='Other'/></modelset>"
    "</modelsets></scene>";

std::vector<VantrelInstance> list(std::initializer_list<VantrelInstance> instances) {
    return instances;
}

TEST(InstanceList, KeepsWellFormedInstancesOfAcceptedVersions) {
    RepeatLinkFactory factory;
    factory.setVersionRange(7, 8);
    ScriptedQuery query;
    query.instances =
        "<instances>"
        "<instance><version_major>8</version_major><process_id>11</process_id><livelink_port>3141</livelink_port></instance>"
        "<instance><version_major>9</version_major><process_id>12</process_id><livelink_port>3142</livelink_port></instance>"
        "<instance><version_major>7</version_major><process_id>13</process_id></instance>"
        "<instance><version_major>7</version_major><process_id>1x</process_id><livelink_port>1</livelink_port></instance>"
        "<instance><version_major></version_major><process_id>15</process_id><livelink_port>1</livelink_port></instance>"
        "<instance><info><version_major> 7 </version_major><process_id>16</process_id></info>"
        "<livelink_port>0</livelink_port></instance>"
        "</instances>";
    const auto instances = factory.getInstances(&query);
    ASSERT_EQ(instances.size(), 2u);
    EXPECT_EQ(instances[0].version_major, 8);
    EXPECT_EQ(instances[0].process_id, 11);
    EXPECT_EQ(instances[0].livelink_port, 3141);
    EXPECT_EQ(instances[1].version_major, 7);
    EXPECT_EQ(instances[1].process_id, 16);
    EXPECT_EQ(instances[1].livelink_port, 0);

    for (const char* broken : {"<instances><instance><version_major>8</version_major>", "", "no xml"}) {
        query.instances = broken;
        EXPECT_TRUE(factory.getInstances(&query).empty()) << broken;
    }
    query.instances = nullptr;
    EXPECT_TRUE(factory.getInstances(&query).empty());
}

TEST(InstanceChoice, ModelBeatsUpdateBeatsEmptyScene) {
    RepeatLinkFactory factory;
    factory.setModelName("Doc");
    ScriptedQuery query;
    query.trees = {{1, kEmpty}, {2, kBusy}, {3, kWithDoc}, {4, kWithDoc}};

    factory.setUpdate(true);
    VantrelInstance chosen = factory.getValidInstance(&query, list({{8, 1, 1}, {8, 2, 2}, {7, 3, 3}, {8, 4, 4}}));
    EXPECT_EQ(chosen.process_id, 4);  // the higher version of the two showing the model
    EXPECT_TRUE(factory.hadModel());

    chosen = factory.getValidInstance(&query, list({{7, 1, 1}, {8, 2, 2}}));
    EXPECT_EQ(chosen.process_id, 2);  // updating: any instance before an empty one
    EXPECT_FALSE(factory.hadModel());

    factory.setUpdate(false);
    chosen = factory.getValidInstance(&query, list({{8, 2, 2}}));
    EXPECT_EQ(chosen.version_major, 0);  // a busy instance does not qualify for a render
    chosen = factory.getValidInstance(&query, list({{8, 2, 2}, {7, 1, 1}}));
    EXPECT_EQ(chosen.process_id, 1);

    // Ties keep the first; unattachable instances and missing trees are passed over.
    query.trees[5] = nullptr;
    chosen = factory.getValidInstance(&query, list({{8, 9, 9}, {8, 5, 5}, {8, 3, 3}, {8, 4, 4}}));
    EXPECT_EQ(chosen.process_id, 3);
    EXPECT_TRUE(factory.hadModel());
    factory.getValidInstance(&query, {});
    EXPECT_FALSE(factory.hadModel());
}

TEST(InstanceChoice, EmptySceneNeedsAFirstChildWithoutGrandchildren) {
    RepeatLinkFactory factory;
    ScriptedQuery query;
    query.trees = {{1, "<scene/>"}, {2, "<scene><a><b><c/></b></a></scene>"}, {3, "<scene><a><b/><b/></a></scene>"},
                   {4, "<scene><a>"}};
    EXPECT_EQ(factory.getValidInstance(&query, list({{8, 1, 1}, {8, 2, 2}, {8, 4, 4}})).version_major, 0);
    EXPECT_EQ(factory.getValidInstance(&query, list({{8, 1, 1}, {8, 3, 3}})).process_id, 3);
}

bool findsDoc(const char* xml, int depth) {
    TiXmlDocument document;
    document.Parse(xml);
    return XmlSearch::findByNameAttribute(document.RootElement(), "Doc", depth) != nullptr;
}

TEST(XmlSearch, ModelSearchHonoursDepthAndModelSets) {
    EXPECT_EQ(XmlSearch::findDepth(6), 3);
    EXPECT_EQ(XmlSearch::findDepth(7), 4);
    const char* fourth = "<s><sets><set><m name='Doc'/></set></sets></s>";
    EXPECT_TRUE(findsDoc(fourth, 4));
    EXPECT_FALSE(findsDoc(fourth, 3));
    EXPECT_TRUE(findsDoc("<s><set><m name='Doc'/></set></s>", 3));
    EXPECT_FALSE(findsDoc("<s name='Doc'/>", 0));
    EXPECT_FALSE(findsDoc("<s><set modelset='hidden'><m name='Doc'/></set></s>", 4));
    EXPECT_TRUE(findsDoc("<s><set modelset='active'><m name='Doc'/></set></s>", 4));
    EXPECT_TRUE(findsDoc("<s><set modelset='x'/><m name='Doc'/></s>", 4));
    EXPECT_FALSE(findsDoc("<s><m name='doc'/></s>", 4));

    TiXmlDocument document;
    document.Parse("<a><b><c id='1'/></b><c id='2'/></a>");
    EXPECT_STREQ(XmlSearch::findElement(document.RootElement(), "c")->Attribute("id"), "1");
    EXPECT_EQ(XmlSearch::findElement(document.RootElement(), "a"), document.RootElement());
    EXPECT_EQ(XmlSearch::findElement(document.RootElement(), "d"), nullptr);
}

}  // namespace
