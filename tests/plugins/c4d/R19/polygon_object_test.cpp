// Polygon objects as scene meshes: index patterns, welding, normals, UVs, the split into
// material groups and bad mesh data.
#include <gtest/gtest.h>

#include "converter_fixture.h"

using namespace vantrel_host;

namespace {

using Ints = std::vector<int>;
using Floats = std::vector<float>;
using Groups = std::vector<std::string>;

// Quads that share no points; quad i lies at x = i, so a vertex tells its polygon.
PolygonObject* addQuads(BaseDocument& doc, int count, BaseObject* parent = nullptr) {
    std::vector<Vector> points;
    std::vector<CPolygon> polygons;
    for (double x = 0; x < count; ++x) {
        polygons.emplace_back(points.size(), points.size() + 1, points.size() + 2,
                              points.size() + 3);
        points.insert(points.end(), {{x, 0, 0}, {x, 1, 0}, {x, 1, 1}, {x, 0, 1}});
    }
    return AddPolygonObject(doc, "Quads", points, polygons, parent);
}

Material* colored(BaseDocument& doc, const std::string& name) {
    Material* material = AddStandardMaterial(doc, name);
    material->SetChannelState(CHANNEL_COLOR, true);
    return material;
}

// "material: polygons" for each scene object written since the last call, in order.
Groups groupsWritten(ConverterFixture& f) {
    Groups groups;
    const vsp::Node root = f.parsed();
    for (const vsp::Node* object : root.all(vsp::NodeKind::Object)) {
        std::string text = object->all(vsp::NodeKind::Material).at(0)->name + ":";
        const Floats vertices = object->at("triangles").param("vertices").floats();
        for (size_t v = 0; v < vertices.size(); v += 12)
            text += " " + std::to_string(int(vertices[v]));
        groups.push_back(text);
    }
    return groups;
}

TEST(PolygonObject, TriangleReversesCornersQuadSplitsAlongBDAndPointsWeldInOrderOfFirstUse) {
    ConverterFixture f;
    PolygonObject* object =
        AddPolygonObject(f.doc(), "M", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {5, 5, 5}},
                         {CPolygon(0, 1, 2, 3), CPolygon(4, 2, 1)});
    AddUVWTag(*object, {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                        {{0.5, 0.5, 0}, {1, 0, 0}, {1, 1, 0}, {}}});
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);
    const vsp::Node mesh = f.parsed().at("M/triangles");
    EXPECT_EQ(mesh.param("triangles").ints(), (Ints{0, 3, 1, 2, 1, 3, 4, 1, 2}));
    EXPECT_EQ(mesh.param("triangles_uv").ints(), (Ints{0, 3, 1, 2, 1, 3, 4, 6, 5}));
    EXPECT_EQ(mesh.param("uv_tex").floats(),
              (Floats{0, 0, 1, 0, 1, 1, 0, 1, 0.5, 0.5, 1, 0, 1, 1}));
    EXPECT_EQ(mesh.findParameter("normals"), nullptr);  // neither phong data nor a normal tag

    // Points weld in order of first use, unused ones left out; a normal tag gives zero normals.
    std::vector<Vector> points;
    for (int i = 0; i < 11; ++i) points.emplace_back(i, i % 3, i % 2);
    object = AddPolygonObject(f.doc(), "N", points, {CPolygon(9, 7, 10), CPolygon(10, 7, 3)});
    AddTag(*object, Tnormal);
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);
    const vsp::Node welded = f.parsed().at("N/triangles");
    EXPECT_EQ(welded.param("vertices").floats(), (Floats{9, 0, 1, 7, 1, 1, 10, 1, 0, 3, 0, 1}));
    EXPECT_EQ(welded.param("triangles").ints(), (Ints{0, 2, 1, 2, 3, 1}));
    EXPECT_EQ(welded.param("normals").floats(), Floats(18, 0.0f));
}

TEST(PolygonObject, EveryGroupCarriesThePhongNormalsAndCornerIndicesOfItsOwnCorners) {
    ConverterFixture f;
    // Quad i is tilted by i, so every polygon has its own normals; the last is a triangle.
    std::vector<Vector> points;
    std::vector<CPolygon> polygons;
    for (int i = 0; i < 5; ++i) {
        const Int32 a = Int32(points.size());
        polygons.emplace_back(a, a + 1, a + 2, i == 4 ? a + 2 : a + 3);
        points.insert(
            points.end(),
            {{double(i), 0, 0}, {i + 1.0, 0, 0.5 * i}, {i + 1.0, 1, 0.5 * i}, {double(i), 1, 0}});
    }
    PolygonObject* object = AddPolygonObject(f.doc(), "M", points, polygons);
    AddTag(*object, Tphong);
    AddPolygonSelection(*object, "Middle", {1, 2});  // consecutive quads
    AddTextureTag(*object, colored(f.doc(), "Middle"), "Middle");
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);

    Vector32* phong = object->CreatePhongNormals();
    auto expected = [phong](Ints group) {
        Floats normals;
        for (int p : group)
            for (int corner = 0; corner < (p == 4 ? 3 : 4); ++corner)
                normals.insert(normals.end(), {phong[4 * p + corner].x, phong[4 * p + corner].y,
                                               phong[4 * p + corner].z});
        return normals;
    };
    // A longer run of quads after a shorter one: their corner indices are one pattern.
    PolygonObject* quads = addQuads(f.doc(), 3);
    AddTag(*quads, Tphong);
    f.loader.writePolygonObject(quads, {nullptr}, 0.5f);

    const vsp::Node root = f.parsed();
    const std::vector<const vsp::Node*> objects = root.all(vsp::NodeKind::Object);
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(objects[0]->at("triangles").param("normals").floats(), expected({1, 2}));
    EXPECT_EQ(objects[0]->at("triangles").param("triangles_norm").ints(),
              (Ints{0, 3, 1, 2, 1, 3, 4, 7, 5, 6, 5, 7}));
    EXPECT_EQ(objects[1]->at("triangles").param("normals").floats(), expected({0, 3, 4}));
    EXPECT_EQ(objects[1]->at("triangles").param("triangles_norm").ints(),
              (Ints{0, 3, 1, 2, 1, 3, 4, 7, 5, 6, 5, 7, 8, 10, 9}));
    EXPECT_EQ(objects[2]->at("triangles").param("triangles_norm").ints(),
              (Ints{0, 3, 1, 2, 1, 3, 4, 7, 5, 6, 5, 7, 8, 11, 9, 10, 9, 11}));
    DeleteMem(phong);
}

TEST(PolygonObject, LaterOwnAndRestrictedTagsClaimPolygonsFirstSkippedOnesLeaveThem) {
    ConverterFixture f;
    BaseObject* parent = AddObject(f.doc(), Onull, "Parent");
    TextureTag* inherited = AddTextureTag(*parent, colored(f.doc(), "Inherited"));
    PolygonObject* object = addQuads(f.doc(), 4, parent);
    AddPolygonSelection(*object, "S", {2, 1});
    AddTextureTag(*object, colored(f.doc(), "Earlier"));
    AddTextureTag(*object, colored(f.doc(), "Whole"));
    AddTextureTag(*object, colored(f.doc(), "Part"), "S");
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);
    PolygonObject* child = addQuads(f.doc(), 3, parent);
    AddPolygonSelection(*child, "S", {1});
    AddTextureTag(*child, colored(f.doc(), "Own"), "S");
    f.loader.writePolygonObject(child, {nullptr, inherited}, 0.5f);
    EXPECT_EQ(groupsWritten(f), (Groups{"Part: 1 2", "Whole: 0 3", "Own: 1", "Inherited: 0 2"}));

    PolygonObject* skipping = addQuads(f.doc(), 2);
    AddPolygonSelection(*skipping, "Empty", {});
    AddTextureTag(*skipping, colored(f.doc(), "Unknown"), "NoSuchSelection");  // whole object
    AddTextureTag(*skipping, AddStandardMaterial(f.doc(), "NoChannels"));      // capture fails
    AddTextureTag(*skipping, AddMaterial(f.doc(), Mhair, "Hair"));             // not standard
    AddTextureTag(*skipping, colored(f.doc(), "Nothing"), "Empty");
    f.loader.writePolygonObject(skipping, {nullptr}, 0.5f);
    f.loader.writePolygonObject(AddPolygonObject(f.doc(), "None", {}, {}), {nullptr}, 0.5f);
    EXPECT_EQ(groupsWritten(f), (Groups{"Unknown: 0 1"}));
}

TEST(PolygonObject, BadMeshDataIsLeftOutWithoutReadingOutsideItsArrays) {
    ConverterFixture f;
    PolygonObject* object = addQuads(f.doc(), 4);
    object->GetPolygonW()[1].c = 16;  // one past the last point
    object->GetPolygonW()[2].a = -1;
    AddPolygonSelection(*object, "Stale", {3, 7, 900});
    AddTextureTag(*object, colored(f.doc(), "Stale"), "Stale");
    AddUVWTag(*object, std::vector<UVWStruct>(3));  // one record short: no UVs
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);
    EXPECT_EQ(groupsWritten(f), (Groups{"Stale: 3", "Display color: 0"}));
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);
    EXPECT_EQ(f.parsed().at("Quads/triangles").findParameter("uv_tex"), nullptr);

    object->ResizeObject(3, 4);  // now no polygon has all its points
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);
    EXPECT_EQ(f.take(), "");
}

}  // namespace
