// The scene wrapper and the camera record over the text writer, whose text shows each
// value's type: "on"/"off" for a bool, fixed point for a double, %g for floats, quotes
// for a text, one bracket per array with its elements.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "LightCamera.h"
#include "LightModule.h"
#include "tavsceneapi_oo.h"
#include "writer_output.h"

namespace {

// A wrapper over a text writer, its announcement already taken.
struct WrapperText : testing::Test {
    WrapperText() { out.take(); }
    WriterOutput out;
    tav::PassThroughFactory factory{&*out};
    tav::tavSceneapi_oo wrapper{&factory};
};

const char* const kAnnouncement =
    "#print \"Vantrel SceneApi oo 9.0.206  (built Tue Jun  4 11:19:06 2019)\"\nversion 9\n\n";

// A camera block: its first lines, the environment shader every camera captures, the rest.
std::string cameraBlock(const std::string& first, const std::string& rest) {
    return "\ncamera \"Cam\" {\n" + first +
           "reflection map \"tav_envmap\" {\n\"texture\" \"startup.hdr\",\n\"format\" 3,\n"
           "\"radius\" 25,\n}\n" +
           rest + "}\n";
}

}  // namespace

TEST_F(WrapperText, TypedSettersArraysAndTransformsPickTheirOperation) {
    // A string literal must not silently become a bool: it throws before reaching the interface.
    EXPECT_THAT([&] { wrapper.set_parameter("s", "literal"); },
                testing::ThrowsMessage<std::invalid_argument>(
                    testing::StrEq("const char * are deprecated")));
    EXPECT_EQ(out.take(), "");

    wrapper.set_parameter("b", true);
    wrapper.set_parameter("off", false);
    wrapper.set_parameter("i", -7);
    wrapper.set_parameter("f", 0.5f);
    wrapper.set_parameter("d", 2.25);
    wrapper.set_parameter("v", tavVector{1e39, 2, 3});  // beyond float: read as doubles
    wrapper.set_parameter("c", tavColor{0.5f, 0.25f, 1});
    wrapper.set_parameter("s", std::string("text"));
    wrapper.set_array("fa", std::vector<float>{1, 2.5f});
    wrapper.set_array("da", std::vector<double>{0.5, 1.5});
    wrapper.set_array("ia", std::vector<int>{4});
    wrapper.set_array("ma", std::vector<tavMatrix>(2));
    wrapper.set_vec3_array("p", std::vector<float>{1, 2, 3, 4, 5, 6, 7});
    wrapper.set_array("empty", std::vector<float>{});
    const tavMatrix m{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 4, 5, 6, 1}};
    wrapper.set_transform(m, true);
    wrapper.set_transform(m);
    EXPECT_EQ(out.take(),
              "\"b\" on,\n\"off\" off,\n\"i\" -7,\n\"f\" 0.5,\n\"d\" 2.2500000000000000,\n"
              "\"v\" 1e+39 2 3,\n\"c\" 0.5 0.25 1,\n\"s\" \"text\",\n"
              "\"fa\" [ 1,2.5 ] ,\n\"da\" [ 0.5000000000000000,1.5000000000000000 ] ,\n"
              "\"ia\" [ 4 ] ,\n"
              "\"ma\" [ 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ,\n0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 \n] ,\n"
              "\"p\" [ 1 2 3,4 5 6 ] ,\n\"empty\" [ ] ,\n"
              "set transform 1 0 0 0 0 1 0 0 0 0 1 0 4 5 6 1\n"
              "transform 1 0 0 0 0 1 0 0 0 0 1 0 4 5 6 1\n");
}

// The factory prepares only an interface it supplied; without one nothing at all is sent.
TEST(SceneWrapper, FactoryInitAndAnnouncementOnlyWithAnInterface) {
    struct CountingFactory : tav::LightFactory {
        tavScene_api* getApi() override { return api; }
        void init(tav::tavSceneapi_oo*) override { ++inits; }
        void shutdown() override {}
        tavScene_api* api = nullptr;
        int inits = 0;
    };
    WriterOutput out;
    for (bool withInterface : {false, true}) {
        SCOPED_TRACE(withInterface);
        CountingFactory factory;
        if (withInterface) factory.api = &*out;
        tav::tavSceneapi_oo wrapper(&factory);
        EXPECT_EQ(wrapper.get_scene_api(), factory.api);
        EXPECT_EQ(factory.inits, withInterface ? 1 : 0);
        EXPECT_EQ(out.take(), withInterface ? kAnnouncement : "");
    }
}

TEST_F(WrapperText, ImportOptionsSendTheirDefaultsAndACameraOnlyWhenNamed) {
    const std::string first =
        "load \"tavrtopt.so\" {\n\"import_mode\" on,\n\"import_merge_groups\" on,\n"
        "\"import_merge_objects\" on,\n\"import_up_vector\" 0,\n\"meter_scale\" 1,\n"
        "\"import_keep_original\" off,\n\"import_center_geometry\" on,\n"
        "\"import_snap_to_ground\" off,\n\"import_adjust_camera\" on,\n"
        "\"import_adjust_environment\" on,\n";
    tav::DefaultRTModule options;
    wrapper.insertNode(options);
    EXPECT_EQ(out.take(), first + "\"ext\" on,\n}\n");
    options.setImportUseCamera("Cam");
    wrapper.insertNode(options);
    EXPECT_EQ(out.take(), first + "\"import_use_camera\" \"Cam\",\n\"ext\" on,\n}\n");
}

TEST_F(WrapperText, IdsCountFromOneAndRestartWithNewInterface) {
    EXPECT_EQ(wrapper.createInstanceID(), 1);
    EXPECT_EQ(wrapper.createInstanceID(), 2);
    EXPECT_EQ(wrapper.shaderBegin("lambert"), 1);
    wrapper.shaderEnd();
    EXPECT_EQ(wrapper.shaderBegin("phong"), 2);
    wrapper.shaderEnd();
    WriterOutput second;
    wrapper.setSceneapi(&*second);
    EXPECT_EQ(wrapper.createInstanceID(), 1);
    EXPECT_EQ(wrapper.shaderBegin("lambert"), 1);
    EXPECT_EQ(out.take(),
              "id 1\nid 2\n#define shader 1 lambert {\n}\n#define shader 2 phong {\n}\n");
    EXPECT_EQ(second.take(), "id 1\n#define shader 1 lambert {\n");
}

TEST(SceneWrapperName, DropsFolderAndLastExtension) {
    EXPECT_EQ(tav::tavSceneapi_oo::get_scene_name("dir/scene.c4d"), "scene");
    EXPECT_EQ(tav::tavSceneapi_oo::get_scene_name("scene"), "scene");
    EXPECT_EQ(tav::tavSceneapi_oo::get_scene_name("a/b.c/scene"), "scene");
    EXPECT_EQ(tav::tavSceneapi_oo::get_scene_name("a/scene.tar.gz"), "scene.tar");
}

TEST_F(WrapperText, CameraWritesItsEnvironmentAndOptionalPartsOnlyWhenValidOrGiven) {
    tav::LightCamera camera("Cam");
    wrapper.insertNode(camera);
    EXPECT_EQ(out.take(), cameraBlock("projection \"perspective\"\nfov 60\n",
                                      "position 0 0 0\ndirection 0 0 -1\nup 0 1 0\n"));
    for (auto range : {std::pair<float, float>{5, 5}, {0, 100}, {-1, -1}, {100, 1}}) {
        camera.setClipping(range.first, range.second);
        wrapper.insertNode(camera);
        EXPECT_THAT(out.take(), testing::Not(testing::HasSubstr("clipping"))) << range.first;
    }
    // An orthographic camera has no field of view.
    camera.setProjection(tav::LightCamera::Orthographic);
    camera.setClipping(1, 100);
    camera.setPosition(1, 2, 3);
    camera.setLookAt(0, 0, 0);
    tavMatrix m{};
    m.m[12] = 7;
    camera.setTransform(m);
    wrapper.insertNode(camera);
    EXPECT_EQ(out.take(), cameraBlock("projection \"orthographic\"\n",
                                      "position 1 2 3\ndirection 0 0 -1\nlook_at 0 0 0\n"
                                      "up 0 1 0\nclipping 1 100\n"
                                      "transform 0 0 0 0 0 0 0 0 0 0 0 0 7 0 0 0\n"));
}
