#include "tavsceneapi_oo.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "RecordingApi.h"

using testing::ElementsAre;

namespace {

// Hands out an interface (or none) and notes in log when the wrapper lets it prepare it.
class RecordingFactory : public tav::PassThroughFactory {
public:
    RecordingFactory(RecordingApi* api, RecordingApi* log) : PassThroughFactory(api), log(log) {}
    void init(tav::tavSceneapi_oo*) override { log->calls.push_back("factory init"); }

private:
    RecordingApi* log;
};

// A wrapper whose announcement is already cleared from the record.
struct WrapperCalls : testing::Test {
    WrapperCalls() { api.calls.clear(); }
    RecordingApi api;
    tav::PassThroughFactory factory{&api};
    tav::tavSceneapi_oo wrapper{&factory};
};

}  // namespace

TEST(SceneWrapperInit, PreparesThenAnnouncesBannerAndVersionOnlyWithInterface) {
    RecordingApi api;
    RecordingFactory factory(&api, &api);
    tav::tavSceneapi_oo wrapper(&factory);
    EXPECT_EQ(wrapper.get_scene_api(), &api);
    EXPECT_THAT(api.calls,
                ElementsAre("factory init",
                            "print Vantrel SceneApi oo 9.0.206  (built Tue Jun  4 11:19:06 2019)",
                            "set_version 9"));

    RecordingApi log;
    RecordingFactory none(nullptr, &log);
    EXPECT_EQ(tav::tavSceneapi_oo(&none).get_scene_api(), nullptr);
    EXPECT_TRUE(log.calls.empty());

    tav::tavSceneapi_oo nullBackEnd;  // accepts everything, produces nothing
    nullBackEnd.begin_group("g");
    nullBackEnd.set_array("f", std::vector<float>{1});
    EXPECT_EQ(nullBackEnd.createInstanceID(), 1);
}

TEST_F(WrapperCalls, TypedSettersPickCodeAndLayout) {
    wrapper.set_parameter("b", true);
    wrapper.set_parameter("off", false);
    wrapper.set_parameter("i", -7);
    wrapper.set_parameter("f", 0.5f);
    wrapper.set_parameter("d", 2.25);
    wrapper.set_parameter("v", tavVector{1, 2, 3});
    wrapper.set_parameter("c", tavColor{0.5f, 0.25f, 1});
    wrapper.set_parameter("s", std::string("text"));
    EXPECT_THAT(api.calls,
                ElementsAre("set_parameter b 0x7 1", "set_parameter off 0x7 0",
                            "set_parameter i 0x6 -7", "set_parameter f 0x3 0.5",
                            "set_parameter d 0x4 2.25", "set_parameter v 0x5 1 2 3",
                            "set_parameter c 0x1 0.5 0.25 1", "set_parameter s 0xa text"));

    api.calls.clear();
    try {
        wrapper.set_parameter("s", "literal");
        ADD_FAILURE() << "the const char* setter must throw";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "const char * are deprecated");
    }
    EXPECT_TRUE(api.calls.empty());
}

TEST_F(WrapperCalls, ArraysCarryElementCodeAndCount) {
    wrapper.set_array("f", std::vector<float>{1, 2, 3});
    wrapper.set_array("d", std::vector<double>{0.5, 1.5});
    wrapper.set_array("i", std::vector<int>{4});
    wrapper.set_array("m", std::vector<tavMatrix>(2));
    wrapper.set_vec3_array("p", std::vector<float>{1, 2, 3, 4, 5, 6, 7});
    wrapper.set_array("empty", std::vector<float>{});
    EXPECT_THAT(
        api.calls,
        ElementsAre("set_parameter f 0x8003 count 3 1 2 3",
                    "set_parameter d 0x8004 count 2 0.5 1.5", "set_parameter i 0x8006 count 1 4",
                    "set_parameter m 0x8009 count 2", "set_parameter p 0x8001 count 2 1 2 3 4 5 6",
                    "set_parameter empty 0x8003 count 0"));
}

TEST_F(WrapperCalls, IdsCountFromOneAndRestartWithNewInterface) {
    EXPECT_EQ(wrapper.createInstanceID(), 1);
    EXPECT_EQ(wrapper.createInstanceID(), 2);
    EXPECT_EQ(wrapper.shaderBegin("lambert"), 1);
    EXPECT_EQ(wrapper.shaderBegin("phong"), 2);
    EXPECT_THAT(api.calls, ElementsAre("set_id 1", "set_id 2", "shader_begin lambert 1",
                                       "shader_begin phong 2"));
    RecordingApi second;
    wrapper.setSceneapi(&second);
    EXPECT_EQ(wrapper.createInstanceID(), 1);
    EXPECT_EQ(wrapper.shaderBegin("lambert"), 1);
    EXPECT_THAT(second.calls, ElementsAre("set_id 1", "shader_begin lambert 1"));
}

TEST_F(WrapperCalls, ForwardsGroupsTransformsAndMessages) {
    tavMatrix m{};
    m.m[12] = 4;
    wrapper.begin_group("g");
    wrapper.set_flags(1);
    wrapper.set_transform(m);
    wrapper.set_transform(m, true);
    wrapper.end_group();
    wrapper.setProgress("walk", 0.5f);
    wrapper.message("hello");
    wrapper.error("bad");
    EXPECT_THAT(api.calls,
                ElementsAre("group_begin g 1", "set_flags 1", "transform 4", "transform_set 4",
                            "group_end", "set_progress walk 0.5", "print hello", "error bad"));
}

TEST(SceneWrapperName, DropsFolderAndLastExtension) {
    EXPECT_EQ(tav::tavSceneapi_oo::get_scene_name("dir/scene.c4d"), "scene");
    EXPECT_EQ(tav::tavSceneapi_oo::get_scene_name("scene"), "scene");
    EXPECT_EQ(tav::tavSceneapi_oo::get_scene_name("a/b.c/scene"), "scene");
    EXPECT_EQ(tav::tavSceneapi_oo::get_scene_name("a/scene.tar.gz"), "scene.tar");
}
