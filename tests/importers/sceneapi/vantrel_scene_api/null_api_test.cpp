#include <gtest/gtest.h>

#include "NullApi.h"

TEST(NullApi, RefusesEveryBlockAndAnswersNothing) {
    NullApi api;
    tavScene_api& scene = api;
    EXPECT_FALSE(scene.group_begin("g", true));
    EXPECT_FALSE(scene.object_begin("o", true));
    EXPECT_FALSE(scene.geometry_use("triangles"));
    EXPECT_FALSE(scene.animation_begin("a", "b"));
    EXPECT_FALSE(scene.animation_end());
    EXPECT_FALSE(scene.options_begin());
    EXPECT_FALSE(scene.camera_begin(nullptr));
    EXPECT_FALSE(scene.material_begin("m", true));
    EXPECT_FALSE(scene.shader_begin(nullptr, "tav_diffuse"));
    EXPECT_FALSE(scene.set_parameter("x", TAV_INT, nullptr));
    EXPECT_FALSE(scene.connect("127.0.0.1", 3141, 1));
    EXPECT_FALSE(scene.render());
    EXPECT_EQ(scene.shader_get(), nullptr);
    EXPECT_EQ(scene.geometry_get(), nullptr);
    EXPECT_EQ(scene.get_array_type(), 0);
    EXPECT_EQ(scene.get_parameter_type("x"), 0);
}

TEST(NullApi, GetVersionLeavesOutputsUntouched) {
    NullApi api;
    int major = 11, minor = 12, patch = 13;
    EXPECT_FALSE(api.get_version(major, minor, patch));
    EXPECT_EQ(major, 11);
    EXPECT_EQ(minor, 12);
    EXPECT_EQ(patch, 13);
}
