#include "LightCamera.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingApi.h"
#include "tavsceneapi_oo.h"

using testing::Contains;
using testing::ElementsAre;
using testing::Not;

namespace {

std::vector<std::string> record(const tav::LightCamera& camera) {
    RecordingApi api;
    tav::PassThroughFactory factory(&api);
    tav::tavSceneapi_oo wrapper(&factory);
    api.calls.clear();
    wrapper.insertNode(camera);
    return api.calls;
}

class NotingAnimation : public tav::Animation {
public:
    void insert(tav::tavSceneapi_oo* wrapper) const override {
        wrapper->get_scene_api()->add_comment("motion");
    }
};

}  // namespace

TEST(CameraRecord, DefaultCameraWritesPerspectiveBlockWithCapturedEnvironment) {
    EXPECT_THAT(record(tav::LightCamera("Cam")),
                ElementsAre("camera_begin Cam", "set_parameter projection string perspective",
                            "set_parameter fov float 60",
                            "shader_begin (anonymous) tav_envmap",
                            "set_parameter texture string startup.hdr",
                            "set_parameter format int 3", "set_parameter radius float 25",
                            "shader_end", "set_parameter reflection map captured shader",
                            "set_parameter position vector 0 0 0",
                            "set_parameter direction vector 0 0 -1",
                            "set_parameter up vector 0 1 0", "camera_end"));
}

TEST(CameraRecord, ProjectionDecidesFieldOfView) {
    tav::LightCamera camera("Cam");
    camera.setFov4(10, 20, 30, 40);
    auto calls = record(camera);
    EXPECT_THAT(calls, Contains("set_parameter fov4 float4 10 20 30 40"));
    EXPECT_THAT(calls, Not(Contains("set_parameter fov float 60")));

    camera.setFov(45);
    EXPECT_THAT(record(camera), Contains("set_parameter fov float 45"));

    camera.setProjection(tav::LightCamera::Orthographic);
    calls = record(camera);
    EXPECT_EQ(calls[1], "set_parameter projection string orthographic");
    EXPECT_EQ(calls[2], "shader_begin (anonymous) tav_envmap");
}

TEST(CameraRecord, ClippingOnlyForPositiveIncreasingRange) {
    tav::LightCamera camera("Cam");
    for (auto range : {std::pair<float, float>{5, 5}, {0, 100}, {-1, -1}, {100, 1}}) {
        camera.setClipping(range.first, range.second);
        for (const std::string& call : record(camera))
            EXPECT_EQ(call.find("clipping"), std::string::npos) << range.first << " " << range.second;
    }
    camera.setClipping(1, 100);
    EXPECT_THAT(record(camera), Contains("set_parameter clipping float2 1 100"));
}

TEST(CameraRecord, LookAtTransformAndAnimationOnlyWhenGiven) {
    tav::LightCamera camera("Cam");
    camera.setPosition(1, 2, 3);
    camera.setLookAt(0, 0, 0);
    tavMatrix m{};
    m.m[12] = 7;
    camera.setTransform(m);
    EXPECT_TRUE(camera.hasTransform());
    auto calls = record(camera);
    EXPECT_THAT(std::vector<std::string>(calls.begin() + 9, calls.end()),
                ElementsAre("set_parameter position vector 1 2 3",
                            "set_parameter direction vector 0 0 -1",
                            "set_parameter look_at vector 0 0 0", "set_parameter up vector 0 1 0",
                            "transform 7", "camera_end"));

    // An animation carries the motion instead of the fixed transform.
    camera.setAnimation(std::make_shared<NotingAnimation>());
    calls = record(camera);
    EXPECT_THAT(calls, Contains("add_comment motion"));
    EXPECT_THAT(calls, Not(Contains("transform 7")));

    for (const std::string& call : record(tav::LightCamera("Plain"))) {
        EXPECT_EQ(call.find("look_at"), std::string::npos);
        EXPECT_EQ(call.find("transform"), std::string::npos);
    }
}
