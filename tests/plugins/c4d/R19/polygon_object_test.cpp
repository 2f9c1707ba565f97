// Splitting a polygon object into material groups: tag precedence, layers, bad meshes.
#include <gtest/gtest.h>

#include "converter_fixture.h"

using namespace vantrel_host;

namespace {

// Quads that share no points; quad i lies at x = i, so a vertex tells its polygon.
PolygonObject* addQuads(BaseDocument& doc, int count, BaseObject* parent = nullptr) {
    std::vector<Vector> points;
    std::vector<CPolygon> polygons;
    for (int i = 0; i < count; ++i) {
        points.insert(points.end(),
                      {{double(i), 0, 0}, {double(i), 1, 0}, {double(i), 1, 1}, {double(i), 0, 1}});
        polygons.emplace_back(4 * i, 4 * i + 1, 4 * i + 2, 4 * i + 3);
    }
    return AddPolygonObject(doc, "Quads", points, polygons, parent);
}

Material* colored(BaseDocument& doc, const std::string& name) {
    Material* material = AddStandardMaterial(doc, name);
    material->SetChannelState(CHANNEL_COLOR, true);
    return material;
}

// "material: polygons" for each scene object written, in order.
std::vector<std::string> groupsWritten(ConverterFixture& f) {
    std::vector<std::string> groups;
    const vsp::Node root = f.parsed();
    for (const vsp::Node* object : root.all(vsp::NodeKind::Object)) {
        std::string text = object->all(vsp::NodeKind::Material).at(0)->name + ":";
        const std::vector<float> vertices = object->at("triangles").param("vertices").floats();
        for (size_t v = 0; v < vertices.size(); v += 12)
            text += " " + std::to_string(int(vertices[v]));
        groups.push_back(text);
    }
    return groups;
}

using Groups = std::vector<std::string>;

TEST(PolygonObject, LaterTagWinsAndRestrictedTagsClaimTheirSelectionFirst) {
    ConverterFixture f;
    PolygonObject* twoWhole = addQuads(f.doc(), 2);
    AddTextureTag(*twoWhole, colored(f.doc(), "A"));
    AddTextureTag(*twoWhole, colored(f.doc(), "B"));
    f.loader.writePolygonObject(twoWhole, {nullptr}, 0.5f);
    EXPECT_EQ(groupsWritten(f), (Groups{"B: 0 1"}));

    PolygonObject* split = addQuads(f.doc(), 4);
    AddPolygonSelection(*split, "S", {2, 1});
    AddTextureTag(*split, colored(f.doc(), "Whole"));
    AddTextureTag(*split, colored(f.doc(), "Part"), "S");
    f.loader.writePolygonObject(split, {nullptr}, 0.5f);
    EXPECT_EQ(groupsWritten(f), (Groups{"Part: 1 2", "Whole: 0 3"}));
}

TEST(PolygonObject, OwnTagsBeatInheritedOnesAndDisplayColourTakesTheRest) {
    ConverterFixture f;
    BaseObject* parent = AddObject(f.doc(), Onull, "Parent");
    TextureTag* inherited = AddTextureTag(*parent, colored(f.doc(), "Parent"));
    PolygonObject* child = addQuads(f.doc(), 3, parent);
    AddPolygonSelection(*child, "S", {1});
    AddTextureTag(*child, colored(f.doc(), "Own"), "S");
    f.loader.writePolygonObject(child, {nullptr, inherited}, 0.5f);
    EXPECT_EQ(groupsWritten(f), (Groups{"Own: 1", "Parent: 0 2"}));

    f.loader.writePolygonObject(child, {nullptr}, 0.5f);
    EXPECT_EQ(groupsWritten(f), (Groups{"Own: 1", "Display color: 0 2"}));

    PolygonObject* bare = addQuads(f.doc(), 1);
    SetParam(SetParam(bare, ID_BASEOBJECT_USECOLOR, 1), ID_BASEOBJECT_COLOR, Vector(1, 0, 0));
    f.loader.writePolygonObject(bare, {nullptr}, 0.5f);
    const vsp::Node root = f.parsed();
    EXPECT_EQ(root.at("Quads/Display color #1").shader("surface").param("diffuse").floats(),
              (std::vector<float>{1, 0, 0}));
}

TEST(PolygonObject, SkippedEntriesLeaveTheirPolygonsToLaterOnes) {
    ConverterFixture f;
    PolygonObject* object = addQuads(f.doc(), 2);
    AddPolygonSelection(*object, "Empty", {});
    AddTextureTag(*object, colored(f.doc(), "Missing"), "NoSuchSelection");  // whole object
    AddTextureTag(*object, AddStandardMaterial(f.doc(), "NoChannels"));      // capture fails
    AddTextureTag(*object, AddMaterial(f.doc(), Mhair, "Hair"));             // not standard
    AddTextureTag(*object, colored(f.doc(), "Nothing"), "Empty");
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);
    EXPECT_EQ(groupsWritten(f), (Groups{"Missing: 0 1"}));

    PolygonObject* empty = AddPolygonObject(f.doc(), "Empty", {}, {});
    f.loader.writePolygonObject(empty, {nullptr}, 0.5f);
    EXPECT_EQ(f.take(), "");
}

TEST(PolygonObject, LayerThatHidesTheObjectOrCannotBeReadSuppressesIt) {
    ConverterFixture f;
    PolygonObject* object = addQuads(f.doc(), 1);
    LayerObject* layer = AddLayer(f.doc(), "Layer");
    object->SetLayerObject(layer);
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);  // visibility unreadable
    SetParam(SetParam(layer, 1001, 1), 1002, 0);
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);
    EXPECT_EQ(groupsWritten(f), Groups{});
    SetParam(layer, 1002, 1);
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);
    EXPECT_EQ(groupsWritten(f), (Groups{"Display color: 0"}));
}

TEST(PolygonObject, BadMeshDataIsLeftOutWithoutReadingOutsideItsArrays) {
    ConverterFixture f;
    PolygonObject* object = addQuads(f.doc(), 4);
    object->GetPolygonW()[1].c = 16;  // one past the last point
    object->GetPolygonW()[2].a = -1;
    AddPolygonSelection(*object, "Stale", {3, 7, 900});
    AddTextureTag(*object, colored(f.doc(), "Stale"), "Stale");
    AddTag(*object, Tphong);
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);
    EXPECT_EQ(groupsWritten(f), (Groups{"Stale: 3", "Display color: 0"}));

    // A UVW tag short of records gives no UVs; phong normals still come.
    AddUVWTag(*object, std::vector<UVWStruct>(3));
    f.loader.writePolygonObject(object, {nullptr}, 0.5f);
    const vsp::Node mesh = f.parsed().at("Quads/triangles");
    EXPECT_EQ(mesh.findParameter("uv_tex"), nullptr);
    EXPECT_EQ(mesh.param("normals").size(), 4u);

    PolygonObject* allBad = addQuads(f.doc(), 1);
    allBad->ResizeObject(3, 1);  // the quad's fourth point is gone
    f.loader.writePolygonObject(allBad, {nullptr}, 0.5f);
    EXPECT_EQ(f.take(), "");
}

}  // namespace
