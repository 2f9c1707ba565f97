#include "LightCamera.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingApi.h"

using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;

namespace {

class NotingAnimation : public tav::Animation {
public:
    void insert(tav::tavSceneapi_oo* wrapper) const override {
        wrapper->get_scene_api()->add_comment("motion");
    }
};

}  // namespace

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
    EXPECT_THAT(calls, Not(Contains("set_parameter fov 0x3 60")));

    camera.setFov(45);
    EXPECT_THAT(recordInsert(camera), Contains("set_parameter fov 0x3 45"));

    camera.setProjection(tav::LightCamera::Orthographic);
    calls = recordInsert(camera);
    EXPECT_EQ(calls[1], "set_parameter projection 0xa orthographic");
    EXPECT_EQ(calls[2], "shader_begin (anonymous) tav_envmap");
}

TEST(CameraRecord, ClippingOnlyForPositiveIncreasingRange) {
    tav::LightCamera camera("Cam");
    for (auto range : {std::pair<float, float>{5, 5}, {0, 100}, {-1, -1}, {100, 1}}) {
        camera.setClipping(range.first, range.second);
        EXPECT_THAT(recordInsert(camera), Not(Contains(HasSubstr("clipping")))) << range.first;
    }
    camera.setClipping(1, 100);
    EXPECT_THAT(recordInsert(camera), Contains("set_parameter clipping 0xe 1 100"));
}

TEST(CameraRecord, LookAtTransformAndAnimationOnlyWhenGiven) {
    tav::LightCamera camera("Cam");
    camera.setPosition(1, 2, 3);
    camera.setLookAt(0, 0, 0);
    tavMatrix m{};
    m.m[12] = 7;
    camera.setTransform(m);
    EXPECT_TRUE(camera.hasTransform());
    auto calls = recordInsert(camera);
    EXPECT_THAT(std::vector<std::string>(calls.begin() + 9, calls.end()),
                ElementsAre("set_parameter position 0x5 1 2 3",
                            "set_parameter direction 0x5 0 0 -1", "set_parameter look_at 0x5 0 0 0",
                            "set_parameter up 0x5 0 1 0", "transform 7", "camera_end"));

    // An animation carries the motion instead of the fixed transform.
    camera.setAnimation(std::make_shared<NotingAnimation>());
    calls = recordInsert(camera);
    EXPECT_THAT(calls, Contains("add_comment motion"));
    EXPECT_THAT(calls, Not(Contains("transform 7")));

    calls = recordInsert(tav::LightCamera("Plain"));
    EXPECT_THAT(calls, Not(Contains(HasSubstr("look_at"))));
    EXPECT_THAT(calls, Not(Contains(HasSubstr("transform"))));
}
