#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "converter_fixture.h"

using vantrel_host::AddObject;
using vantrel_host::SetParam;

namespace {

class LightTest : public ::testing::Test {
protected:
    LightTest() { f.take(); }

    BaseObject* light(Int32 type, Float brightness = 1.0) {
        BaseObject* op = SetParam(AddObject(f.doc(), Olight, "Lamp"), 90002, GeData(type));
        return SetParam(op, 90001, GeData(brightness));
    }
    vsp::Node write(BaseObject* op) {
        f.loader.writeLight("Lamp", op);
        return f.parsed();
    }
    static const vsp::Node& mesh(const vsp::Node& root) { return root.at("Lamp/triangles"); }
    static const vsp::Node& shader(const vsp::Node& root) {
        return root.at("Lamp/Lamp").shader("surface");
    }
    int power(BaseObject* op) { return shader(write(op)).param("power").integer(); }

    ConverterFixture f;
};

TEST_F(LightTest, PointAndSpotLightsAreAUnitOctahedronWithPower100) {
    const vsp::Node root = write(SetParam(light(0), 90000, GeData(Vector(1, 0.5, 0.25))));
    const std::vector<float> unit = {0, -1, 0, 1, 0, 0, 0, 0, 1, -1, 0, 0, 0, 0, -1, 0, 1, 0};
    EXPECT_EQ(mesh(root).param("vertices").floats(), unit);
    EXPECT_EQ(mesh(root).param("normals").floats(), unit);
    EXPECT_EQ(
        mesh(root).param("triangles").ints(),
        (std::vector<int>{2, 1, 0, 1, 2, 5, 3, 2, 0, 2, 3, 5, 4, 3, 0, 3, 4, 5, 1, 4, 0, 4, 1, 5}));
    EXPECT_EQ(shader(root).name, "tav_point_light");
    EXPECT_EQ(shader(root).param("power").integer(), 100);
    EXPECT_EQ(shader(root).param("color").floats(), (std::vector<float>{1, 0.5, 0.25}));
    EXPECT_FALSE(shader(root).param("lumen").boolean());
    EXPECT_EQ(shader(root).param("radius").number(), 0.0);
    EXPECT_EQ(shader(root).findParameter("visible in shadows"), nullptr);

    f.loader.writeLight("Lamp", light(0));
    const std::string point = f.take();
    f.loader.writeLight("Lamp", light(1));
    EXPECT_EQ(f.take(), point);
}

TEST_F(LightTest, AreaLightSpansHalfItsSizeAndIsHidden) {
    BaseObject* op = light(8);
    SetParam(op, 100010, GeData(200.0));
    SetParam(op, 100011, GeData(100.0));
    SetParam(op, 100012, GeData(0.0));
    const vsp::Node root = write(op);
    EXPECT_EQ(mesh(root).param("vertices").floats(),
              (std::vector<float>{0, -50, 0, 100, 0, 0, 0, 0, 0, -100, 0, 0, 0, 0, 0, 0, 50, 0}));
    EXPECT_EQ(shader(root).name, "tav_mesh_light");
    for (const char* flag : {"visible to the eye", "visible in reflections", "visible in shadows"})
        EXPECT_FALSE(shader(root).param(flag).boolean()) << flag;
    EXPECT_EQ(shader(root).findParameter("radius"), nullptr);
}

TEST_F(LightTest, PhotometricCandelaConvertsToLumenOtherUnitsPassThrough) {
    BaseObject* op = light(0, 3.0);
    SetParam(op, 90046, GeData(Int32(1)));
    SetParam(op, 90043, GeData(100.0));
    SetParam(op, 90037, GeData(Int32(1)));
    const vsp::Node root = write(op);
    EXPECT_EQ(shader(root).param("power").integer(), 1256);
    EXPECT_TRUE(shader(root).param("lumen").boolean());
    SetParam(op, 90037, GeData(Int32(0)));
    EXPECT_EQ(power(op), 100);
    // 12.566, not 4π: 1349 cd would give 16952 with the exact factor.
    SetParam(op, 90037, GeData(Int32(1)));
    SetParam(op, 90043, GeData(1349.0));
    EXPECT_EQ(power(op), 16951);
}

TEST_F(LightTest, PowerTruncatesTowardZeroAndSaturates) {
    EXPECT_EQ(power(light(0, 0.005)), 0);
    EXPECT_EQ(power(light(0, -0.019)), -1);
    EXPECT_EQ(power(light(0, 1e30)), std::numeric_limits<int>::max());
    EXPECT_EQ(power(light(0, std::numeric_limits<double>::quiet_NaN())), 0);
}

}  // namespace
