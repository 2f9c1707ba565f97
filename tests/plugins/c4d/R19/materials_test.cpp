// Materials: capture from channels, shaders and texture tags, texture files, display
// colours, numbering, and the shaders written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "C4DText.h"
#include "converter_fixture.h"
#include "sandbox.h"

using namespace vantrel_host;

namespace {

Material* withChannels(BaseDocument& doc, std::initializer_list<Int32> channels,
                       const std::string& name = "Mat") {
    Material* material = AddStandardMaterial(doc, name);
    for (Int32 channel : channels) material->SetChannelState(channel, true);
    return material;
}

// Whether the capture of material finds a colour, and the colour (or field) it leaves.
std::pair<bool, Vector> captured(ConverterFixture& f, Material* material,
                                 Vector64 TavMat::*field = &TavMat::color) {
    TavMat record;
    const bool found = f.loader.getMaterial(material, record);
    return {found, record.*field};
}

TEST(MaterialCapture, ColourAndSpecularChannelsLinkedShadersAndTheAlphaShaderScan) {
    ConverterFixture f;
    Material* m = withChannels(f.doc(), {CHANNEL_COLOR, CHANNEL_LUMINANCE});
    SetParam(SetParam(SetParam(m, MATERIAL_COLOR_COLOR, Vector(0.8, 0.4, 1)),
                      MATERIAL_COLOR_BRIGHTNESS, 0.5),
             MATERIAL_LUMINANCE_COLOR, Vector(0, 1, 0));
    EXPECT_EQ(captured(f, m), std::make_pair(true, Vector(0.4, 0.2, 0.5)));
    m->SetChannelState(CHANNEL_COLOR, false);
    EXPECT_EQ(captured(f, m), std::make_pair(true, Vector(0, 1, 0)));
    SetParam(m, MATERIAL_LUMINANCE_SHADER,
             Link(SetParam(AddShader(*m, Xcolor), COLORSHADER_COLOR, Vector(0, 0, 1))));
    EXPECT_EQ(captured(f, m), std::make_pair(true, Vector(0, 0, 1)));
    // A link to a material, an object or a layer reads as no shader, whatever its type.
    Material* linking = colored(f.doc());
    SetParam(linking, MATERIAL_COLOR_COLOR, Vector(0, 1, 0));
    for (BaseList2D* target : std::initializer_list<BaseList2D*>{AddMaterial(f.doc(), Xcolor, "M"),
                                                                 AddObject(f.doc(), Xcolor, "O"),
                                                                 AddLayer(f.doc(), "L")}) {
        SCOPED_TRACE(target->GetName().GetUtf8());
        SetParam(target, COLORSHADER_COLOR, Vector(9, 9, 9));
        SetParam(linking, MATERIAL_COLOR_SHADER, Link(target));
        EXPECT_EQ(captured(f, linking), std::make_pair(true, Vector(0, 1, 0)));
    }

    // With alpha on, only a colour shader of the material's own list gives a colour;
    // gradients give their first knot but never end the scan.
    Material* alpha = withChannels(f.doc(), {CHANNEL_ALPHA, CHANNEL_COLOR});
    EXPECT_FALSE(captured(f, alpha).first);
    SetParam(AddShader(*alpha, Xgradient2), GRADIENT2SHADER_GRADIENT,
             GradientData({{0.5, 0.5, 0}, {1, 1, 1}}));
    SetParam(AddShader(*alpha, Xgradient), SLA_GRADIENT_GRADIENT,
             GradientData({}));  // no knot: colour kept
    EXPECT_EQ(captured(f, alpha), std::make_pair(false, Vector(0.5, 0.5, 0)));
    SetParam(AddShader(*alpha, Xcolor), COLORSHADER_COLOR, Vector(0, 0.5, 0));
    SetParam(AddShader(*alpha, Xcolor), COLORSHADER_COLOR, Vector(9, 9, 9));
    EXPECT_EQ(captured(f, alpha), std::make_pair(true, Vector(0, 0.5, 0)));

    // The colour channel's own shader link overrides its colour; a gradient gives its first
    // knot.
    Material* linked = colored(f.doc());
    SetParam(linked, MATERIAL_COLOR_COLOR, Vector(1, 1, 1));
    SetParam(linked, MATERIAL_COLOR_SHADER,
             Link(SetParam(AddShader(*linked, Xcolor), COLORSHADER_COLOR, Vector(0.5, 0, 0))));
    EXPECT_EQ(captured(f, linked), std::make_pair(true, Vector(0.5, 0, 0)));
    SetParam(linked, MATERIAL_COLOR_SHADER,
             Link(SetParam(AddShader(*linked, Xgradient), SLA_GRADIENT_GRADIENT,
                           GradientData({{0, 0.25, 0}, {1, 1, 1}}))));
    EXPECT_EQ(captured(f, linked), std::make_pair(true, Vector(0, 0.25, 0)));

    // Specular channels (8, then 9) give the specular colour and count as found; without
    // their colour they still shut out the reflection channel's fallback.
    for (Int32 channel : {CHANNEL_SPECULAR, CHANNEL_SPECULARCOLOR}) {
        SCOPED_TRACE(channel);
        Material* coloured = withChannels(f.doc(), {channel});
        SetParam(coloured, MATERIAL_SPECULAR_COLOR, Vector(0.3, 0, 0));
        EXPECT_EQ(captured(f, coloured, &TavMat::specular),
                  std::make_pair(true, Vector(0.3, 0, 0)));
        Material* uncoloured = withChannels(f.doc(), {channel, CHANNEL_REFLECTION});
        uncoloured->GetDataInstance()->SetVector(MATERIAL_REFLECTION_COLOR, Vector(0.1, 0.2, 0.3));
        EXPECT_EQ(captured(f, uncoloured, &TavMat::specular), std::make_pair(false, Vector()));
    }
    Material* reflection = withChannels(f.doc(), {CHANNEL_REFLECTION});
    reflection->GetDataInstance()->SetVector(MATERIAL_REFLECTION_COLOR, Vector(0.1, 0.2, 0.3));
    EXPECT_EQ(captured(f, reflection, &TavMat::specular),
              std::make_pair(false, Vector(0.1, 0.2, 0.3)));  // no colour found
}

TEST(MaterialCapture, TextureTagGivesCutNameAndPlacementOrFails) {
    ConverterFixture f;
    Material* material = colored(f.doc());
    material->SetName(String(std::string(1021, 'n') + "\xe2\x82\xac"));  // 1024 bytes
    TextureTag* tag = AddTextureTag(*AddObject(f.doc(), Onull, "O"), material);
    SetParam(SetParam(SetParam(tag, TEXTURETAG_OFFSETX, 0.25), TEXTURETAG_LENGTHY, 2.0),
             TEXTURETAG_TILE, 0);
    tag->SetMl(MatrixMove(Vector(1, 2, 3)));
    TavMat record;
    ASSERT_TRUE(f.loader.getMaterial(tag, record));
    EXPECT_EQ(std::string(record.name), std::string(1021, 'n'));  // cut before the euro sign
    EXPECT_EQ(record.textureMatrix.off, Vector(1, 2, 3));
    EXPECT_EQ(std::make_tuple(record.offsetU, record.lengthV, record.tile),
              std::make_tuple(0.25, 2.0, false));
    tag->SetMaterial(AddMaterial(f.doc(), Mhair, "Hair"));
    EXPECT_FALSE(f.loader.getMaterial(tag, record));
}

TEST(MaterialCapture, DisplayColourByModeAndLayer) {
    ConverterFixture f;
    BaseObject* object = AddObject(f.doc(), Onull, "O");
    const Vector grey(0.65, 0.65, 0.65);
    EXPECT_EQ(f.loader.getDefaultColor(object), grey);
    EXPECT_EQ(f.loader.getDefaultColor(SetParam(object, ID_BASEOBJECT_USECOLOR, 2)), grey);
    object->SetLayerObject(SetParam(AddLayer(f.doc(), "L"), ID_LAYER_COLOR, Vector(0, 0, 1)));
    EXPECT_EQ(f.loader.getDefaultColor(SetParam(object, ID_BASEOBJECT_USECOLOR, 3)),
              Vector(0, 0, 1));
    // Mode 1 takes the object's own colour, which reads as black when the object has none.
    EXPECT_EQ(f.loader.getDefaultColor(SetParam(object, ID_BASEOBJECT_USECOLOR, 1)),
              Vector(0, 0, 0));
}

// "object: material xN" for every scene object of the walk, N its triangle count.
std::vector<std::string> meshMaterials(const vsp::Node& root) {
    std::vector<std::string> found;
    for (const vsp::Node* object : root.all(vsp::NodeKind::Object))
        found.push_back(object->name + ": " + object->all(vsp::NodeKind::Material).at(0)->name +
                        " x" +
                        std::to_string(object->at("triangles").param("triangles").size() / 3));
    return found;
}

TEST(MaterialsThroughTheWalk, AncestorsTagsReachChildrenCachesAndDeformedMeshes) {
    ConverterFixture f;
    BaseObject* parent = AddObject(f.doc(), Onull, "Parent");
    AddTextureTag(*parent, colored(f.doc()));  // "Mat"
    addPolygons(f.doc(), "Child", 3, 3, AddObject(f.doc(), Onull, "Between", parent));

    // A tag restricted to a selection its own object lacks is resolved against the
    // selections of each mesh it reaches.
    BaseObject* rig = AddObject(f.doc(), Onull, "Rig");
    AddTextureTag(*rig, colored(f.doc(), "Part"), "S");
    AddPolygonSelection(*addPolygons(f.doc(), "Selected", 3, 3, rig), "S", {1});

    for (bool deformed : {false, true}) {
        BaseObject* generator = AddObject(f.doc(), Onull, deformed ? "Deformer" : "Generator");
        AddTextureTag(*generator, colored(f.doc(), deformed ? "Bent" : "Made"));
        PolygonObject* cache = addPolygons(f.doc(), "Cache", 3, 3);
        deformed ? generator->SetDeformCache(cache) : generator->SetCache(cache);
    }

    EXPECT_EQ(meshMaterials(f.loaded()),
              (std::vector<std::string>{"Child: Mat x3", "Selected: Part x1",
                                        "Selected: Display color x2", "Cache: Made x3",
                                        "Cache: Bent x3"}));
}

TEST(MaterialsThroughTheWalk, MeshesKeepTheirHostNamesTextsAndDisplayColour) {
    ConverterFixture f;
    // Quotes and bytes beyond ASCII are written hex-encoded; they must come back unchanged.
    const std::string name = "W\xc3\xbcrfel \"1\"", texture = "/maps/Holz \xc3\xa4.png";
    PolygonObject* mesh = addPolygons(f.doc(), name, 3, 3);
    Material* material = colored(f.doc(), "B\xc3\xb6se");
    SetParam(AddShader(*material, Xbitmap), BITMAPSHADER_FILENAME,
             GeData(Filename(texture.c_str())));
    SetParam(material, MATERIAL_COLOR_SHADER, Link(material->GetFirstShader()));
    AddTextureTag(*mesh, material, "S");
    AddPolygonSelection(*mesh, "S", {0});
    // The display colour, mode 1, colours the polygons no tag takes.
    SetParam(SetParam(mesh, ID_BASEOBJECT_USECOLOR, 1), ID_BASEOBJECT_COLOR, Vector(0.25, 0.5, 1));
    // However long, the scene object keeps its whole name (its group's is cut).
    const std::string longName(1100, 'n');
    addPolygons(f.doc(), longName, 3, 3);

    const vsp::Node root = f.loaded();
    EXPECT_EQ(meshMaterials(root),
              (std::vector<std::string>{name + ": B\xc3\xb6se x1", name + ": Display color x2",
                                        longName + ": Display color #1 x3"}));
    const auto materials = root.at("untitled/" + name).all(vsp::NodeKind::Material);
    EXPECT_EQ(materials.at(0)->shader("surface").shader("diffuse").param("texture").text(),
              texture);
    EXPECT_EQ(materials.at(1)->shader("surface").param("diffuse").floats(),
              (std::vector<float>{0.25, 0.5, 1}));
}

TEST(MaterialCapture, TextureFileFoundAsStoredInTexFolderOrBesideDocument) {
    ConverterFixture f;
    Sandbox folder;
    const std::string dir = f.documentPath() = folder.root();
    std::filesystem::create_directories(dir + "/tex/c.png");  // a folder is no texture
    for (const char* file : {"/stored.png", "/tex/a.png", "/tex/b.png", "/b.png"})
        std::ofstream(dir + file) << "png";
    EXPECT_EQ(f.loader.resolveTexturePath(Filename((dir + "/stored.png").c_str())),
              dir + "/stored.png");
    EXPECT_EQ(f.loader.resolveTexturePath(Filename("/gone/a.png")), dir + "/tex/a.png");
    EXPECT_EQ(f.loader.resolveTexturePath(Filename("/gone/b.png")), dir + "/tex/b.png");
    std::filesystem::remove(dir + "/tex/b.png");
    EXPECT_EQ(f.loader.resolveTexturePath(Filename("/gone/b.png")), dir + "/b.png");
    EXPECT_EQ(f.loader.resolveTexturePath(Filename("/gone/c.png")), "/gone/c.png");
    EXPECT_EQ(f.loader.resolveTexturePath(Filename("")), "");
}

TEST(MaterialWriting, EqualRecordsShareANumberAndLongNamesKeepIt) {
    ConverterFixture f;
    TavMat chrome, sameKey, longer, red, huge, hugeRed;
    copyUtf8(chrome.name, sizeof chrome.name, "Chrome");
    sameKey = longer = chrome;
    sameKey.projection = 2;
    sameKey.specular = Vector64(0.5, 0, 0);
    longer.lengthU = 2.0;
    red.color = Vector64(1, 0, 0);
    copyUtf8(huge.name, sizeof huge.name, std::string(1018, 'x') + "\xe2\x82\xac");  // 1021 bytes
    hugeRed = huge;
    hugeRed.color = red.color;
    for (const TavMat& record : {chrome, sameKey, longer, chrome, TavMat(), red, huge, hugeRed})
        f.loader.writeMaterial(record);
    std::vector<std::string> names;
    const vsp::Node root = f.parsed();
    for (const vsp::Node* material : root.all(vsp::NodeKind::Material))
        names.push_back(material->name);
    EXPECT_EQ(names, (std::vector<std::string>{"Chrome", "Chrome", "Chrome #1", "Chrome",
                                               "Display color", "Display color #1", huge.name,
                                               std::string(1018, 'x') + " #1"}));
}

TEST(MaterialWriting, SurfaceShaderChoiceAndTexturePlacement) {
    ConverterFixture f;
    TavMat record;
    record.specular = Vector64(0.000001, 0, 0);
    f.loader.writeMaterial(record);
    record.specular = Vector64(0.0000011, 0, 0);
    f.loader.writeMaterial(record);
    record.specular = Vector64(0, 0, 0);
    record.texture = "/maps/wood.png";
    record.tile = false;
    f.loader.writeMaterial(record);
    record.projection = TEXTURETAG_PROJECTION_FLAT;
    // Turned a quarter about z and scaled by 2, at (4, 0, 0): a transposed inverse shows.
    record.textureMatrix = Matrix64({4, 0, 0}, {0, 2, 0}, {-2, 0, 0}, {0, 0, 2});
    f.loader.writeMaterial(record);

    const vsp::Node root = f.parsed();
    const auto materials = root.all(vsp::NodeKind::Material);
    EXPECT_EQ(materials.at(0)->shader("surface").name, "tav_diffuse");
    const vsp::Node& advanced = materials.at(1)->shader("surface");
    EXPECT_EQ(advanced.name, "tav_advanced");
    EXPECT_EQ(advanced.parametersNamed("diffuse").size(), 1u);  // no texture subshader
    const vsp::Node& uv = materials.at(2)->shader("surface").shader("diffuse");
    EXPECT_EQ(uv.param("texture").text(), "/maps/wood.png");
    EXPECT_FALSE(uv.param("wrap").boolean());
    EXPECT_EQ(uv.param("uv_projection").integer(), 4);
    EXPECT_EQ(uv.param("uv_flags").integer(), 62);
    EXPECT_EQ(uv.findParameter("transform_obj_to_uv"), nullptr);
    const vsp::Node& flat = materials.at(3)->shader("surface").shader("diffuse");
    EXPECT_EQ(flat.param("uv_projection").integer(), 5);
    EXPECT_EQ(flat.findParameter("uv_flags"), nullptr);
    // Every element of the inverse placement halved: its axes (0, -1/2, 0), (1/2, 0, 0),
    // (0, 0, 1/2) and offset (0, 2, 0).
    EXPECT_EQ(flat.param("transform_obj_to_uv").matrix(),
              (vsp::Matrix16{0, -0.25, 0, 0, 0.25, 0, 0, 0, 0, 0, 0.25, 0, 0, 1, 0, 1}));
}

}  // namespace
