// Lights as small emitting octahedra, and hair objects as bezier curves whose radii and
// material the hair material tags decide.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "converter_fixture.h"

using namespace vantrel_host;

namespace {

using Floats = std::vector<float>;
using Ints = std::vector<int>;

class LightTest : public ::testing::Test {
protected:
    BaseObject* light(Int32 type, Float brightness = 1.0) {
        return SetParam(SetParam(AddObject(f.doc(), Olight, "Lamp"), LIGHT_TYPE, type),
                        LIGHT_BRIGHTNESS, brightness);
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

TEST_F(LightTest, PointAndSpotLightsAreUnitOctahedraAreaLightsHalfTheirSizeAndHidden) {
    const vsp::Node root = write(SetParam(light(0), LIGHT_COLOR, Vector(1, 0.5, 0.25)));
    const Floats unit = {0, -1, 0, 1, 0, 0, 0, 0, 1, -1, 0, 0, 0, 0, -1, 0, 1, 0};
    EXPECT_EQ(mesh(root).param("vertices").floats(), unit);
    EXPECT_EQ(mesh(root).param("normals").floats(), unit);
    EXPECT_EQ(mesh(root).param("triangles").ints(),
              (Ints{2, 1, 0, 1, 2, 5, 3, 2, 0, 2, 3, 5, 4, 3, 0, 3, 4, 5, 1, 4, 0, 4, 1, 5}));
    EXPECT_EQ(shader(root).name, "tav_point_light");
    EXPECT_EQ(shader(root).param("color").floats(), (Floats{1, 0.5, 0.25}));
    EXPECT_FALSE(shader(root).param("lumen").boolean());
    EXPECT_EQ(shader(root).param("radius").number(), 0.0);
    EXPECT_EQ(shader(root).findParameter("visible in shadows"), nullptr);

    f.loader.writeLight("Lamp", light(0));
    const std::string point = f.take();
    f.loader.writeLight("Lamp", light(1));
    EXPECT_EQ(f.take(), point);

    const vsp::Node area = write(
        SetParam(SetParam(SetParam(light(8), LIGHT_AREA_SIZE_X, 200.0), LIGHT_AREA_SIZE_Y, 100.0),
                 LIGHT_AREA_SIZE_Z, 40.0));
    EXPECT_EQ(mesh(area).param("vertices").floats(),
              (Floats{0, -50, 0, 100, 0, 0, 0, 0, 20, -100, 0, 0, 0, 0, -20, 0, 50, 0}));
    EXPECT_EQ(shader(area).name, "tav_mesh_light");
    for (const char* flag : {"visible to the eye", "visible in reflections", "visible in shadows"})
        EXPECT_FALSE(shader(area).param(flag).boolean()) << flag;
    EXPECT_EQ(shader(area).findParameter("radius"), nullptr);
}

TEST_F(LightTest, PowerIsPhotometricLumenOrBrightnessTruncatedTowardZeroAndSaturated) {
    BaseObject* op =
        SetParam(SetParam(light(0, 3.0), LIGHT_PHOTOMETRIC, 1), LIGHT_PHOTOMETRIC_INTENSITY, 100.0);
    const vsp::Node root = write(SetParam(op, LIGHT_PHOTOMETRIC_UNIT, 1));
    EXPECT_EQ(shader(root).param("power").integer(), 1256);
    EXPECT_TRUE(shader(root).param("lumen").boolean());
    EXPECT_EQ(power(SetParam(op, LIGHT_PHOTOMETRIC_UNIT, 0)), 100);
    // 12.566, not 4π: 1349 cd would give 16952 with the exact factor.
    SetParam(op, LIGHT_PHOTOMETRIC_UNIT, 1);
    EXPECT_EQ(power(SetParam(op, LIGHT_PHOTOMETRIC_INTENSITY, 1349.0)), 16951);

    // 0.29 in single precision times 100 in double precision is 28.99999917; a product
    // in single precision would round up to 29.
    EXPECT_EQ(power(light(0, 0.29)), 28);
    EXPECT_EQ(power(light(0, -0.019)), -1);
    EXPECT_EQ(power(light(0, 1e30)), std::numeric_limits<int>::max());
    EXPECT_EQ(power(light(0, std::numeric_limits<double>::quiet_NaN())), 0);
}

class HairTest : public ::testing::Test {
protected:
    // Guide g's point p lies at (g, p, 0); guide g's root UV is (g, 0.5).
    HairObject* hair(Int32 count, Int32 segments, BaseObject* parent = nullptr) {
        auto* op = static_cast<HairObject*>(AddObject(f.doc(), Ohair, "Fur", parent));
        HairGuides* guides = HairGuides::Alloc(count, segments);
        const Int32 perGuide = segments > 0 ? segments + 1 : 0;
        for (Int32 g = 0; g < count; ++g) {
            guides->SetRootUV(g, Vector(g, 0.5, 0));
            for (Int32 p = 0; p < perGuide; ++p)
                guides->GetPoints()[g * perGuide + p] = Vector(g, p, 0);
        }
        op->SetGuides(guides);
        return op;
    }
    // Appends a hair material tag named name, linking a new hair material with these radii.
    BaseMaterial* tag(BaseObject* op, const std::string& name, Float root, Float tip) {
        BaseMaterial* material = AddMaterial(f.doc(), Mhair, name);
        SetParam(SetParam(material, HAIRMATERIAL_ROOT_RADIUS, root), HAIRMATERIAL_TIP_RADIUS, tip);
        SetParam(AddTag(*op, Thairmaterial, name), HAIRMATERIALTAG_MATERIAL, Link(material));
        return material;
    }
    // Writes the object as the document walk does, with the tags it carries.
    vsp::Node write(HairObject* op) {
        f.loader.browseHierarchy(op, {nullptr}, true, true, 1.0f, false);
        EXPECT_FALSE(op->IsLocked());
        return f.parsed();
    }
    static const vsp::Node& curves(const vsp::Node& root) {
        return root.at("Fur/Fur/tav_bezier_curves");
    }
    // The one material written inside the hair object.
    static const vsp::Node& material(const vsp::Node& root) {
        return *root.at("Fur/Fur").all(vsp::NodeKind::Material).at(0);
    }
    static Floats color(const vsp::Node& root) {
        return material(root).shader("surface").param("diffuse").floats();
    }

    ConverterFixture f;
};

TEST_F(HairTest, CurvesRunFromRootToTipInTheLocalFrameAndLeaveOutIncompleteGuides) {
    const vsp::Node root = write(hair(2, 4));
    const vsp::Node& geometry = curves(root);
    EXPECT_EQ(geometry.param("nvertices").ints(), (Ints{5, 5}));
    EXPECT_EQ(geometry.param("curve_uv").floats(), (Floats{0, 0.5, 1, 0.5}));
    const Floats points = geometry.param("p").floats();
    ASSERT_EQ(points.size(), 30u);
    EXPECT_EQ(Floats(points.begin() + 15, points.begin() + 21), (Floats{1, 0, 0, 1, 1, 0}));
    const Floats radii = geometry.param("pr").floats();
    const Floats expected = {0.5f, 0.4f, 0.3f, 0.2f, 0.1f};
    ASSERT_EQ(radii.size(), 10u);
    for (size_t i = 0; i < radii.size(); ++i) EXPECT_FLOAT_EQ(radii[i], expected[i % 5]) << i;

    HairObject* op = hair(1, 1);
    op->SetRelPos(Vector(10, 0, 0));
    op->SetRelScale(Vector(2, 2, 2));
    EXPECT_EQ(curves(write(op)).param("p").floats(), (Floats{-5, 0, 0, -5, 0.5, 0}));
    op->SetRelScale(Vector(0, 0, 0));  // singular: no transform at all
    EXPECT_EQ(curves(write(op)).param("p").floats(), (Floats{0, 0, 0, 0, 1, 0}));

    // Guides without segments, or no guides: the object with empty curves.
    const vsp::Node bare = write(hair(2, 0));
    EXPECT_EQ(curves(bare).param("nvertices").ints(), (Ints{0, 0}));
    EXPECT_EQ(curves(bare).param("curve_uv").size(), 4u);
    const vsp::Node none = write(hair(0, 3));
    for (const char* array : {"p", "pr", "curve_uv", "nvertices"})
        EXPECT_EQ(curves(none).param(array).size(), 0u) << array;

    op = hair(3, 2);
    op->Lock(&f.doc(), nullptr, false, 0);
    op->GenerateHair(0)->SetPointCount(8);  // guide 2 lacks its last point
    op->Unlock();
    const vsp::Node incomplete = write(op);
    EXPECT_EQ(curves(incomplete).param("nvertices").ints(), (Ints{3, 3}));
    EXPECT_EQ(curves(incomplete).param("curve_uv").size(), 4u);

    op->SetGuides(nullptr);  // an object without guides writes nothing
    EXPECT_EQ(write(op).find("Fur/Fur"), nullptr);
}

TEST_F(HairTest, MaterialIsTheDisplayColourOrWhatTheFrontmostTagSuppliesUnderItsCutName) {
    HairObject* op = hair(1, 1);
    SetParam(SetParam(op, ID_BASEOBJECT_USECOLOR, 1), ID_BASEOBJECT_COLOR, Vector(0.25, 0.5, 1));
    vsp::Node root = write(op);
    EXPECT_EQ(material(root).name, "Display color");
    EXPECT_EQ(color(root), (Floats{0.25, 0.5, 1}));

    BaseMaterial* front = tag(op, "Front", 2.0, 1.0);
    BaseMaterial* back = tag(op, "Back", 4.0, 3.0);
    SetParam(front, HAIRMATERIAL_COLOR_SHADER,
             Link(SetParam(AddShader(*front, Xcolor), COLORSHADER_COLOR, Vector(1, 0, 0))));
    SetParam(back, HAIRMATERIAL_GRADIENT, GradientData({Vector(0, 0, 1)}));
    root = write(op);
    EXPECT_EQ(curves(root).param("pr").floats(), (Floats{2, 1}));
    EXPECT_EQ(material(root).name, "Front");
    EXPECT_EQ(color(root), (Floats{1, 0, 0}));  // no gradient: the shader's

    SetParam(front, HAIRMATERIAL_GRADIENT, GradientData({Vector(0, 1, 0)}));
    EXPECT_EQ(color(write(op)), (Floats{0, 1, 0}));  // the gradient beats the shader

    SetParam(op->GetFirstTag(), HAIRMATERIALTAG_MATERIAL,
             GeData());  // the front tag keeps only its name
    root = write(op);
    EXPECT_EQ(curves(root).param("pr").floats(), (Floats{4, 3}));
    EXPECT_EQ(material(root).name, "Front #2");
    EXPECT_EQ(color(root), (Floats{0, 0, 1}));

    HairObject* named = hair(1, 1);
    tag(named, std::string(1022, 'a') + "\xc3\xa9", 0.5, 0.1);
    EXPECT_EQ(material(write(named)).name, std::string(1022, 'a'));

    // A tag on an ancestor reaches the hair below it.
    BaseObject* groom = AddObject(f.doc(), Onull, "Groom");
    tag(groom, "Groom", 3.0, 2.0);
    hair(1, 1, groom);
    f.loader.browseHierarchy(groom, {nullptr}, true, true, 1.0f, false);
    root = f.parsed();
    EXPECT_EQ(root.at("Groom/Fur/Fur/tav_bezier_curves").param("pr").floats(), (Floats{3, 2}));
    EXPECT_EQ(root.at("Groom/Fur/Fur").all(vsp::NodeKind::Material).at(0)->name, "Groom");
}

}  // namespace
