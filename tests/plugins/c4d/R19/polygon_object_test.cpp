// Polygon objects as scene meshes: the built arrays under their names, the split into
// material groups and bad mesh data.
#include <gtest/gtest.h>

#include "converter_fixture.h"

using namespace vantrel_host;

namespace {

using Ints = std::vector<int>;
using Floats = std::vector<float>;
using Groups = std::vector<std::string>;

// "material: polygons" for each scene object, in order.
Groups groupsOf(const vsp::Node& root) {
    Groups groups;
    for (const vsp::Node* object : root.all(vsp::NodeKind::Object)) {
        std::string text = object->all(vsp::NodeKind::Material).at(0)->name + ":";
        const Floats vertices = object->at("triangles").param("vertices").floats();
        for (size_t v = 0; v < vertices.size(); v += 12)
            text += " " + std::to_string(int(vertices[v]));
        groups.push_back(text);
    }
    return groups;
}

TEST(PolygonObject, WritesEachBuiltArrayUnderItsOwnName) {
    ConverterFixture f;
    PolygonObject* object =
        AddPolygonObject(f.doc(), "M", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {5, 5, 5}},
                         {CPolygon(0, 1, 2, 3), CPolygon(4, 2, 1)});
    AddUVWTag(*object, {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                        {{0.5, 0.5, 0}, {1, 0, 0}, {1, 1, 0}, {}}});
    AddTag(*object, Tnormal);
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);
    const vsp::Node mesh = f.parsed().at("M/triangles");
    EXPECT_EQ(mesh.param("vertices").floats(),
              (Floats{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 5, 5, 5}));
    EXPECT_EQ(mesh.param("triangles").ints(), (Ints{0, 3, 1, 2, 1, 3, 4, 1, 2}));
    EXPECT_EQ(mesh.param("triangles_uv").ints(), (Ints{0, 3, 1, 2, 1, 3, 4, 6, 5}));
    EXPECT_EQ(mesh.param("triangles_norm").ints(), (Ints{0, 3, 1, 2, 1, 3, 4, 6, 5}));
    EXPECT_EQ(mesh.param("uv_tex").floats(),
              (Floats{0, 0, 1, 0, 1, 1, 0, 1, 0.5, 0.5, 1, 0, 1, 1}));
    EXPECT_EQ(mesh.param("normals").floats(), Floats(21, 0.0f));  // a normal tag

    // Without UVW tag, normal tag or phong normals only positions and triangles are sent.
    f.loader.writePolygonObject(addPolygons(f.doc(), "Quads", 1, 4), {nullptr}, 0.5f);
    const vsp::Node bare = f.parsed().at("Quads/triangles");
    for (const char* name : {"normals", "triangles_norm", "uv_tex", "triangles_uv"})
        EXPECT_EQ(bare.findParameter(name), nullptr) << name;
}

TEST(PolygonObject, LaterOwnAndRestrictedTagsClaimPolygonsFirstSkippedOnesLeaveThem) {
    ConverterFixture f;
    BaseObject* parent = AddObject(f.doc(), Onull, "Parent");
    TextureTag* inherited = AddTextureTag(*parent, colored(f.doc(), "Inherited"));
    PolygonObject* object = addPolygons(f.doc(), "Quads", 4, 4, parent);
    AddPolygonSelection(*object, "S", {2, 1});
    AddTextureTag(*object, colored(f.doc(), "Earlier"));
    AddTextureTag(*object, colored(f.doc(), "Whole"));
    AddTextureTag(*object, colored(f.doc(), "Part"), "S");
    AddTag(*object, Tphong);
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);
    // Each group, not only the first, gets the host's normals: every quad faces +x.
    const vsp::Node phong = f.parsed();
    for (const vsp::Node* group : phong.all(vsp::NodeKind::Object)) {
        Floats facingX;
        for (int corner = 0; corner < 8; ++corner) facingX.insert(facingX.end(), {1, 0, 0});
        EXPECT_EQ(group->at("triangles").param("normals").floats(), facingX);
    }
    PolygonObject* child = addPolygons(f.doc(), "Quads", 3, 4, parent);
    AddPolygonSelection(*child, "S", {1});
    AddTextureTag(*child, colored(f.doc(), "Own"), "S");
    f.loader.writePolygonObject(child, {nullptr, inherited}, 0.5f);
    EXPECT_EQ(groupsOf(phong), (Groups{"Part: 1 2", "Whole: 0 3"}));
    EXPECT_EQ(groupsOf(f.parsed()), (Groups{"Own: 1", "Inherited: 0 2"}));

    PolygonObject* skipping = addPolygons(f.doc(), "Quads", 2, 4);
    AddPolygonSelection(*skipping, "Empty", {});
    AddTextureTag(*skipping, colored(f.doc(), "Unknown"), "NoSuchSelection");  // whole object
    AddTextureTag(*skipping, AddStandardMaterial(f.doc(), "NoChannels"));      // capture fails
    AddTextureTag(*skipping, AddMaterial(f.doc(), Mhair, "Hair"));             // not standard
    AddTextureTag(*skipping, colored(f.doc(), "Nothing"), "Empty");
    f.loader.writePolygonObject(skipping, {nullptr}, 0.5f);
    f.loader.writePolygonObject(AddPolygonObject(f.doc(), "None", {}, {}), {nullptr}, 0.5f);
    EXPECT_EQ(groupsOf(f.parsed()), (Groups{"Unknown: 0 1"}));
}

TEST(PolygonObject, BadMeshDataIsLeftOutWithoutReadingOutsideItsArrays) {
    ConverterFixture f;
    PolygonObject* object = addPolygons(f.doc(), "Quads", 4, 4);
    object->GetPolygonW()[1].c = 16;  // one past the last point
    object->GetPolygonW()[2].a = -1;
    AddPolygonSelection(*object, "Stale", {3, 7, 900});
    AddTextureTag(*object, colored(f.doc(), "Stale"), "Stale");
    AddUVWTag(*object, std::vector<UVWStruct>(3));  // one record short: no UVs
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);
    EXPECT_EQ(groupsOf(f.parsed()), (Groups{"Stale: 3", "Display color: 0"}));
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);
    EXPECT_EQ(f.parsed().at("Quads/triangles").findParameter("uv_tex"), nullptr);

    object->ResizeObject(3, 4);  // now no polygon has all its points
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);
    EXPECT_EQ(f.take(), "");
}

}  // namespace
