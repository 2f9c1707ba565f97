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

}  // namespace

TEST(SceneWrapper, InitPreparesThenAnnouncesBannerAndVersion) {
    RecordingApi api;
    RecordingFactory factory(&api, &api);
    tav::tavSceneapi_oo wrapper(&factory);
    EXPECT_EQ(wrapper.get_scene_api(), &api);
    EXPECT_THAT(api.calls,
                ElementsAre("factory init",
                            "print Vantrel SceneApi oo 9.0.206  (built Tue Jun  4 11:19:06 2019)",
                            "set_version 9"));
}

TEST(SceneWrapper, WithoutInterfaceNothingIsPreparedOrAnnounced) {
    RecordingApi log;
    RecordingFactory factory(nullptr, &log);
    tav::tavSceneapi_oo wrapper(&factory);
    EXPECT_EQ(wrapper.get_scene_api(), nullptr);
    EXPECT_TRUE(log.calls.empty());
}

TEST(SceneWrapper, TypedSettersPickCodeAndLayout) {
    RecordingApi api;
    tav::PassThroughFactory factory(&api);
    tav::tavSceneapi_oo wrapper(&factory);
    api.calls.clear();
    wrapper.set_parameter("b", true);
    wrapper.set_parameter("off", false);
    wrapper.set_parameter("i", -7);
    wrapper.set_parameter("f", 0.5f);
    wrapper.set_parameter("d", 2.25);
    wrapper.set_parameter("v", tavVector{1, 2, 3});
    wrapper.set_parameter("c", tavColor{0.5f, 0.25f, 1});
    wrapper.set_parameter("s", std::string("text"));
    EXPECT_THAT(api.calls, ElementsAre("set_parameter b bool 1", "set_parameter off bool 0",
                                       "set_parameter i int -7", "set_parameter f float 0.5",
                                       "set_parameter d double 2.25", "set_parameter v vector 1 2 3",
                                       "set_parameter c color 0.5 0.25 1",
                                       "set_parameter s string text"));

    api.calls.clear();
    try {
        wrapper.set_parameter("s", "literal");
        ADD_FAILURE() << "the const char* setter must throw";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "const char * are deprecated");
    }
    EXPECT_TRUE(api.calls.empty());
}

TEST(SceneWrapper, ArraysCarryElementCodeAndCount) {
    RecordingApi api;
    tav::PassThroughFactory factory(&api);
    tav::tavSceneapi_oo wrapper(&factory);
    api.calls.clear();
    wrapper.set_array("f", std::vector<float>{1, 2, 3});
    wrapper.set_array("d", std::vector<double>{0.5, 1.5});
    wrapper.set_array("i", std::vector<int>{4});
    wrapper.set_array("m", std::vector<tavMatrix>(2));
    wrapper.set_vec3_array("p", std::vector<float>{1, 2, 3, 4, 5, 6, 7});
    wrapper.set_array("empty", std::vector<float>{});
    EXPECT_THAT(api.calls, ElementsAre("set_parameter f array 8003 count 3 1 2 3",
                                       "set_parameter d array 8004 count 2 0.5 1.5",
                                       "set_parameter i array 8006 count 1 4",
                                       "set_parameter m array 8009 count 2",
                                       "set_parameter p array 8001 count 2 1 2 3 4 5 6",
                                       "set_parameter empty array 8003 count 0"));
}

TEST(SceneWrapper, IdsCountFromOneAndRestartWithNewInterface) {
    RecordingApi first, second;
    tav::PassThroughFactory factory(&first);
    tav::tavSceneapi_oo wrapper(&factory);
    EXPECT_EQ(wrapper.createInstanceID(), 1);
    EXPECT_EQ(wrapper.createInstanceID(), 2);
    EXPECT_EQ(wrapper.shaderBegin("lambert"), 1);
    EXPECT_EQ(wrapper.shaderBegin("phong"), 2);
    wrapper.setSceneapi(&second);
    EXPECT_EQ(wrapper.createInstanceID(), 1);
    EXPECT_EQ(wrapper.shaderBegin("lambert"), 1);
    EXPECT_THAT(first.only("set_id"), ElementsAre("set_id 1", "set_id 2"));
    EXPECT_THAT(first.only("shader_begin"),
                ElementsAre("shader_begin lambert 1", "shader_begin phong 2"));
    EXPECT_THAT(second.calls, ElementsAre("set_id 1", "shader_begin lambert 1"));
}

TEST(SceneWrapper, ForwardsGroupsTransformsAndMessages) {
    RecordingApi api;
    tav::PassThroughFactory factory(&api);
    tav::tavSceneapi_oo wrapper(&factory);
    api.calls.clear();
    tavMatrix m{};
    m.m[12] = 4;
    wrapper.begin_group("g");
    wrapper.set_flags(1);
    wrapper.set_transform(m);
    wrapper.set_transform(m, true);
    wrapper.shaderEnd();
    wrapper.end_group();
    wrapper.setProgress("walk", 0.5f);
    wrapper.message("hello");
    wrapper.error("bad");
    EXPECT_THAT(api.calls,
                ElementsAre("group_begin g 1", "set_flags 1", "transform 4", "transform_set 4",
                            "shader_end", "group_end", "set_progress walk 0.5", "print hello",
                            "error bad"));
}

TEST(SceneWrapper, SceneNameDropsFolderAndExtension) {
    EXPECT_EQ(tav::tavSceneapi_oo::get_scene_name("dir/scene.c4d"), "scene");
    EXPECT_EQ(tav::tavSceneapi_oo::get_scene_name("scene"), "scene");
    EXPECT_EQ(tav::tavSceneapi_oo::get_scene_name("a/b.c/scene"), "scene");
    EXPECT_EQ(tav::tavSceneapi_oo::get_scene_name("a/scene.tar.gz"), "scene.tar");
}

TEST(SceneWrapper, DefaultWrapperAcceptsEverything) {
    tav::tavSceneapi_oo wrapper;
    ASSERT_NE(wrapper.get_scene_api(), nullptr);
    wrapper.begin_group("g");
    wrapper.set_array("f", std::vector<float>{1});
    wrapper.end_group();
    EXPECT_EQ(wrapper.createInstanceID(), 1);
}
