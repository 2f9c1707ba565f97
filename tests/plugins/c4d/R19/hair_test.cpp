#include <gtest/gtest.h>

#include <vector>

#include "converter_fixture.h"
#include "vantrel_host/document_file.h"

using vantrel_host::AddMaterial;
using vantrel_host::AddObject;
using vantrel_host::AddShader;
using vantrel_host::AddTag;
using vantrel_host::GradientData;
using vantrel_host::Link;
using vantrel_host::SetParam;

namespace {

class HairTest : public ::testing::Test {
protected:
    HairTest() { f.take(); }

    // Guide g's point p lies at (g, p, 0); guide g's root UV is (g, 0.5).
    HairObject* hair(Int32 count, Int32 segments) {
        auto* op = static_cast<HairObject*>(AddObject(f.doc(), Ohair, "Fur"));
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
    BaseMaterial* tag(HairObject* op, const std::string& name, Float root, Float tip) {
        BaseMaterial* material = AddMaterial(f.doc(), Mhair, name);
        SetParam(material, 3009, GeData(root));
        SetParam(material, 3010, GeData(tip));
        SetParam(AddTag(*op, Thairmaterial, name), 1000, Link(material));
        return material;
    }
    std::vector<BaseTag*> tags(HairObject* op) {
        std::vector<BaseTag*> list = {nullptr};
        for (BaseTag* t = op->GetFirstTag(); t; t = t->GetNext()) list.push_back(t);
        return list;
    }
    vsp::Node write(HairObject* op) {
        f.loader.writeHairObject(op, tags(op), 1.0f);
        EXPECT_FALSE(op->IsLocked());
        return f.parsed();
    }
    static const vsp::Node& curves(const vsp::Node& root) {
        return root.at("Fur/tav_bezier_curves");
    }
    // The one material written inside the hair object.
    static const vsp::Node& material(const vsp::Node& root) {
        return *root.at("Fur").all(vsp::NodeKind::Material).at(0);
    }
    static std::vector<float> color(const vsp::Node& root) {
        return material(root).shader("surface").param("diffuse").floats();
    }

    ConverterFixture f;
};

TEST_F(HairTest, RadiiRunFromRootToTipWithoutATag) {
    const vsp::Node root = write(hair(2, 4));
    const vsp::Node& geometry = curves(root);
    EXPECT_EQ(geometry.param("radius").number(), 0.5);
    EXPECT_EQ(geometry.param("order").integer(), 2);
    EXPECT_EQ(geometry.param("nvertices").ints(), (std::vector<int>{5, 5}));
    EXPECT_EQ(geometry.param("curve_uv").floats(), (std::vector<float>{0, 0.5, 1, 0.5}));
    const std::vector<float> points = geometry.param("p").floats();
    ASSERT_EQ(points.size(), 30u);
    EXPECT_EQ(std::vector<float>(points.begin() + 15, points.begin() + 21),
              (std::vector<float>{1, 0, 0, 1, 1, 0}));
    const std::vector<float> radii = geometry.param("pr").floats();
    const std::vector<float> expected = {0.5f, 0.4f, 0.3f, 0.2f, 0.1f};
    ASSERT_EQ(radii.size(), 10u);
    for (size_t i = 0; i < radii.size(); ++i) EXPECT_FLOAT_EQ(radii[i], expected[i % 5]) << i;
}

TEST_F(HairTest, GuidesWithoutSegmentsOrWithoutGuidesStillWriteTheObject) {
    const vsp::Node bare = write(hair(2, 0));
    EXPECT_EQ(curves(bare).param("nvertices").ints(), (std::vector<int>{0, 0}));
    EXPECT_EQ(curves(bare).param("curve_uv").size(), 4u);
    EXPECT_EQ(curves(bare).param("p").size(), 0u);
    EXPECT_EQ(curves(bare).param("pr").size(), 0u);

    const vsp::Node none = write(hair(0, 3));
    for (const char* array : {"p", "pr", "curve_uv", "nvertices"})
        EXPECT_EQ(curves(none).param(array).size(), 0u) << array;
}

TEST_F(HairTest, ObjectWithoutGuidesWritesNothing) {
    HairObject* op = hair(1, 1);
    op->SetGuides(nullptr);
    f.loader.writeHairObject(op, tags(op), 1.0f);
    EXPECT_FALSE(op->IsLocked());
    EXPECT_EQ(f.take(), "");
}

TEST_F(HairTest, IncompleteGuidesAreLeftOut) {
    HairObject* op = hair(3, 2);
    op->Lock(&f.doc(), nullptr, false, 0);
    op->GenerateHair(0)->SetPointCount(8);  // guide 2 lacks its last point
    op->Unlock();
    const vsp::Node root = write(op);
    EXPECT_EQ(curves(root).param("nvertices").ints(), (std::vector<int>{3, 3}));
    EXPECT_EQ(curves(root).param("p").size(), 6u);
    EXPECT_EQ(curves(root).param("curve_uv").size(), 4u);
}

TEST_F(HairTest, PointsLeaveTheObjectsLocalFrame) {
    HairObject* op = hair(1, 1);
    op->SetRelPos(Vector(10, 0, 0));
    op->SetRelScale(Vector(2, 2, 2));
    EXPECT_EQ(curves(write(op)).param("p").floats(), (std::vector<float>{-5, 0, 0, -5, 0.5, 0}));
    op->SetRelScale(Vector(0, 0, 0));  // singular: no transform at all
    EXPECT_EQ(curves(write(op)).param("p").floats(), (std::vector<float>{0, 0, 0, 0, 1, 0}));
}

TEST_F(HairTest, MaterialWithoutATagTakesTheDisplayColour) {
    HairObject* op = hair(1, 1);
    SetParam(op, 907, GeData(Int32(1)));
    const vsp::Node root = write(SetParam(op, 908, GeData(Vector(0.25, 0.5, 1))));
    EXPECT_EQ(material(root).name, "Display color");
    EXPECT_EQ(color(root), (std::vector<float>{0.25, 0.5, 1}));
}

TEST_F(HairTest, FrontTagWinsWhereItSuppliesAValue) {
    HairObject* op = hair(1, 1);
    BaseMaterial* front = tag(op, "Front", 2.0, 1.0);
    BaseMaterial* back = tag(op, "Back", 4.0, 3.0);
    BaseShader* red = SetParam(AddShader(*front, Xcolor), 1000, GeData(Vector(1, 0, 0)));
    SetParam(front, 3000, Link(red));
    SetParam(back, 3139, GradientData({Vector(0, 0, 1)}));
    vsp::Node root = write(op);
    EXPECT_EQ(curves(root).param("pr").floats(), (std::vector<float>{2, 1}));
    EXPECT_EQ(material(root).name, "Front");
    EXPECT_EQ(color(root), (std::vector<float>{1, 0, 0}));  // no gradient: the shader's

    SetParam(front, 3139, GradientData({}));  // no knots, no colour
    EXPECT_EQ(color(write(op)), (std::vector<float>{1, 0, 0}));
    SetParam(front, 3139, GradientData({Vector(0, 1, 0)}));
    EXPECT_EQ(color(write(op)), (std::vector<float>{0, 1, 0}));  // the gradient beats the shader

    SetParam(op->GetFirstTag(), 1000, GeData());  // the front tag keeps only its name
    root = write(op);
    EXPECT_EQ(curves(root).param("pr").floats(), (std::vector<float>{4, 3}));
    EXPECT_EQ(curves(root).param("radius").number(), 0.5);
    EXPECT_EQ(material(root).name, "Front #2");
    EXPECT_EQ(color(root), (std::vector<float>{0, 0, 1}));
}

TEST_F(HairTest, LongTagNameIsCutAtACharacterBoundary) {
    HairObject* op = hair(1, 1);
    tag(op, std::string(1022, 'a') + "\xc3\xa9", 0.5, 0.1);
    EXPECT_EQ(material(write(op)).name, std::string(1022, 'a'));
}

const vsp::Node& objectNamed(const vsp::Node& root, const std::string& name) {
    for (const vsp::Node* node : root.named(name))
        if (node->kind == vsp::NodeKind::Object) return *node;
    throw vsp::QueryError("no object " + name);
}

TEST(LightsAndHairInTheWalk, DemoDocumentWritesTwoLightsAndItsHair) {
    ConverterFixture f;
    std::string error;
    const std::unique_ptr<BaseDocument> demo = vantrel_host::BuildDemoDocument(error);
    ASSERT_TRUE(demo) << error;
    f.loader.load(demo.get());
    const vsp::Node root = f.parsed();
    EXPECT_EQ(objectNamed(root, "Sun").at("Sun").shader("surface").name, "tav_point_light");
    EXPECT_EQ(objectNamed(root, "Panel").at("Panel").shader("surface").name, "tav_mesh_light");
    const vsp::Node& fur = objectNamed(root, "Fur");
    EXPECT_EQ(fur.at("tav_bezier_curves").param("nvertices").ints(), (std::vector<int>{4, 4}));
    EXPECT_EQ(fur.at("Fur").shader("surface").param("diffuse").floats(),
              (std::vector<float>{0.35f, 0.2f, 0.1f}));
}

}  // namespace
