// The scene wrapper and the scene records inserted through it, over a back end that
// records the calls the tests care about as readable lines: parameters show their type
// code in hex and their values.
#include "tavsceneapi_oo.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "LightCamera.h"
#include "LightModule.h"
#include "NullApi.h"

using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;

namespace {

class RecordingApi : public NullApi {
public:
    std::vector<std::string> calls;
    tavShader captured;  // the handle shader_get hands out

    bool module_begin(const char* name) override { return add("module_begin", name); }
    void module_end() override { add("module_end"); }
    bool camera_begin(const char* name) override { return add("camera_begin", name); }
    void camera_end() override { add("camera_end"); }
    void transform(const tavMatrix& m) override { add("transform", m.m[12]); }
    bool shader_begin(const char* name, int id) override { return add("shader_begin", name, id); }
    bool shader_begin(const char* name, const char* kind) override {
        return add("shader_begin", name ? name : "(anonymous)", kind);
    }
    void shader_end() override { add("shader_end"); }
    tavShader* shader_get() override { return &captured; }
    void set_id(int id) override { add("set_id", id); }
    void add_comment(const char* text) override { add("add_comment", text); }

    bool set_parameter(const char* name, tavType type, const void* value) override {
        std::ostringstream line;
        line << "set_parameter " << name << std::hex << " 0x" << type << std::dec;
        size_t count = 1;
        if (type & TAV_ARRAY) {
            const auto* array = static_cast<const tavArray*>(value);
            value = array->data;
            count = array->count;
            line << " count " << count;
        }
        const tavType element = type & ~TAV_ARRAY;
        if (element == TAV_STRING) {
            line << ' ' << static_cast<const char*>(value);
        } else if (element == TAV_SHADER) {
            line << (*static_cast<tavShader* const*>(value) == &captured ? " captured" : " other");
        } else if (element == TAV_BOOL || element == TAV_INT) {
            put<int32_t>(line, value, count);
        } else if (element == TAV_DOUBLE || element == TAV_VECTOR) {
            put<double>(line, value, element == TAV_VECTOR ? 3 * count : count);
        } else if (element != TAV_MATRIX) {  // float, float2, colour, float4
            const size_t per = element == TAV_FLOAT4_B ? 4
                               : element == TAV_COLOR  ? 3
                               : element == TAV_FLOAT2 ? 2
                                                       : 1;
            put<float>(line, value, per * count);
        }
        calls.push_back(line.str());
        return true;
    }

private:
    template <class T>
    static void put(std::ostream& out, const void* values, size_t n) {
        for (size_t i = 0; i < n; ++i) out << ' ' << static_cast<const T*>(values)[i];
    }

    template <class... Args>
    bool add(const char* operation, const Args&... args) {
        std::ostringstream line;
        line << operation;
        ((line << ' ' << args), ...);
        calls.push_back(line.str());
        return true;
    }
};

// The calls a scene record makes when inserted through a wrapper.
std::vector<std::string> recordInsert(const tav::LightNode& node) {
    RecordingApi api;
    tav::PassThroughFactory factory(&api);
    tav::tavSceneapi_oo wrapper(&factory);
    api.calls.clear();
    wrapper.insertNode(node);
    return api.calls;
}

struct NotingAnimation : tav::Animation {
    void insert(tav::tavSceneapi_oo* wrapper) const override {
        wrapper->get_scene_api()->add_comment("motion");
    }
};

// A wrapper whose announcement is already cleared from the record.
struct WrapperCalls : testing::Test {
    WrapperCalls() { api.calls.clear(); }
    RecordingApi api;
    tav::PassThroughFactory factory{&api};
    tav::tavSceneapi_oo wrapper{&factory};
};

}  // namespace

TEST_F(WrapperCalls, TypedSettersPickCodeAndLayout) {
    // A string literal must not silently become a bool: it throws before reaching the interface.
    EXPECT_THAT([&] { wrapper.set_parameter("s", "literal"); },
                testing::ThrowsMessage<std::invalid_argument>(
                    testing::StrEq("const char * are deprecated")));
    EXPECT_TRUE(api.calls.empty());

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

TEST(SceneWrapperName, DropsFolderAndLastExtension) {
    EXPECT_EQ(tav::tavSceneapi_oo::get_scene_name("dir/scene.c4d"), "scene");
    EXPECT_EQ(tav::tavSceneapi_oo::get_scene_name("scene"), "scene");
    EXPECT_EQ(tav::tavSceneapi_oo::get_scene_name("a/b.c/scene"), "scene");
    EXPECT_EQ(tav::tavSceneapi_oo::get_scene_name("a/scene.tar.gz"), "scene.tar");
}

TEST(CameraRecord, DefaultCameraWritesPerspectiveBlockWithCapturedEnvironment) {
    EXPECT_THAT(
        recordInsert(tav::LightCamera("Cam")),
        ElementsAre("camera_begin Cam", "set_parameter projection 0xa perspective",
                    "set_parameter fov 0x3 60", "shader_begin (anonymous) tav_envmap",
                    "set_parameter texture 0xa startup.hdr", "set_parameter format 0x6 3",
                    "set_parameter radius 0x3 25", "shader_end",
                    "set_parameter reflection map 0x10000 captured",
                    "set_parameter position 0x5 0 0 0", "set_parameter direction 0x5 0 0 -1",
                    "set_parameter up 0x5 0 1 0", "camera_end"));
}

TEST(CameraRecord, ProjectionDecidesFieldOfView) {
    tav::LightCamera camera("Cam");
    camera.setFov4(10, 20, 30, 40);
    auto calls = recordInsert(camera);
    EXPECT_THAT(calls, Contains("set_parameter fov4 0xf 10 20 30 40"));
    EXPECT_THAT(calls, Not(Contains(HasSubstr("fov 0x3"))));
    camera.setFov(45);
    EXPECT_THAT(recordInsert(camera), Contains("set_parameter fov 0x3 45"));
    camera.setProjection(tav::LightCamera::Orthographic);
    calls = recordInsert(camera);
    EXPECT_EQ(calls[1], "set_parameter projection 0xa orthographic");
    EXPECT_EQ(calls[2], "shader_begin (anonymous) tav_envmap");
}

TEST(CameraRecord, ClippingLookAtAndTransformOnlyWhenValidOrGiven) {
    tav::LightCamera camera("Cam");
    for (auto range : {std::pair<float, float>{5, 5}, {0, 100}, {-1, -1}, {100, 1}}) {
        camera.setClipping(range.first, range.second);
        EXPECT_THAT(recordInsert(camera), Not(Contains(HasSubstr("clipping")))) << range.first;
    }
    camera.setClipping(1, 100);
    camera.setPosition(1, 2, 3);
    camera.setLookAt(0, 0, 0);
    tavMatrix m{};
    m.m[12] = 7;
    camera.setTransform(m);
    const auto calls = recordInsert(camera);
    EXPECT_THAT(
        std::vector<std::string>(calls.begin() + 9, calls.end()),
        ElementsAre("set_parameter position 0x5 1 2 3", "set_parameter direction 0x5 0 0 -1",
                    "set_parameter look_at 0x5 0 0 0", "set_parameter up 0x5 0 1 0",
                    "set_parameter clipping 0xe 1 100", "transform 7", "camera_end"));
    // An animation carries the motion instead of the fixed transform.
    camera.setAnimation(std::make_shared<NotingAnimation>());
    const auto animated = recordInsert(camera);
    EXPECT_THAT(animated, Contains("add_comment motion"));
    EXPECT_THAT(animated, Not(Contains("transform 7")));
}

// The order and values the plug-in sends are checked end to end; the camera name is
// the module's only optional parameter.
TEST(ImportOptionsModule, NamesTheCameraOnlyWhenGivenJustBeforeExt) {
    tav::DefaultRTModule module;
    EXPECT_THAT(recordInsert(module), Not(Contains(HasSubstr("import_use_camera"))));
    module.setImportUseCamera("Cam");
    const auto calls = recordInsert(module);
    ASSERT_GE(calls.size(), 3u);
    EXPECT_THAT(std::vector<std::string>(calls.end() - 3, calls.end()),
                ElementsAre("set_parameter import_use_camera 0xa Cam", "set_parameter ext 0x7 1",
                            "module_end"));
}
