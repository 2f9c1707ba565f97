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

Material* withChannels(BaseDocument& doc, std::initializer_list<Int32> channels) {
    Material* material = AddStandardMaterial(doc, "Mat");
    for (Int32 channel : channels) material->SetChannelState(channel, true);
    return material;
}

TEST(MaterialCapture, ColourAndSpecularChannelsLinkedShadersAndTheAlphaShaderScan) {
    ConverterFixture f;
    Material* m = withChannels(f.doc(), {CHANNEL_COLOR, CHANNEL_LUMINANCE});
    SetParam(SetParam(SetParam(m, 2100, Vector(0.8, 0.4, 1)), 2101, 0.5), 2300, Vector(0, 1, 0));
    TavMat record;
    EXPECT_TRUE(f.loader.getMaterial(m, record));
    EXPECT_EQ(record.color, Vector(0.4, 0.2, 0.5));
    m->SetChannelState(CHANNEL_COLOR, false);
    EXPECT_TRUE(f.loader.getMaterial(m, record));
    EXPECT_EQ(record.color, Vector(0, 1, 0));
    SetParam(m, 8002, Link(SetParam(AddShader(*m, Xcolor), 1000, Vector(0, 0, 1))));
    EXPECT_TRUE(f.loader.getMaterial(m, record));
    EXPECT_EQ(record.color, Vector(0, 0, 1));
    // A link to a material, an object or a layer reads as no shader, whatever its type.
    Material* linking = withChannels(f.doc(), {CHANNEL_COLOR});
    SetParam(linking, 2100, Vector(0, 1, 0));
    for (BaseList2D* target : std::initializer_list<BaseList2D*>{AddMaterial(f.doc(), Xcolor, "M"),
                                                                 AddObject(f.doc(), Xcolor, "O"),
                                                                 AddLayer(f.doc(), "L")}) {
        SCOPED_TRACE(target->GetName().GetUtf8());
        SetParam(target, 1000, Vector(9, 9, 9));
        SetParam(linking, 8000, Link(target));
        EXPECT_TRUE(f.loader.getMaterial(linking, record));
        EXPECT_EQ(record.color, Vector(0, 1, 0));
    }

    // With alpha on, only a colour shader of the material's own list gives a colour;
    // gradients give their first knot but never end the scan.
    Material* alpha = withChannels(f.doc(), {CHANNEL_ALPHA, CHANNEL_COLOR});
    EXPECT_FALSE(f.loader.getMaterial(alpha, record));
    SetParam(AddShader(*alpha, 1012158), 10001, GradientData({{0.5, 0.5, 0}, {1, 1, 1}}));
    SetParam(AddShader(*alpha, Xgradient), 1007, GradientData({}));  // no knot: colour kept
    EXPECT_FALSE(f.loader.getMaterial(alpha, record));
    EXPECT_EQ(record.color, Vector(0.5, 0.5, 0));
    SetParam(AddShader(*alpha, Xcolor), 1000, Vector(0, 0.5, 0));
    SetParam(AddShader(*alpha, Xcolor), 1000, Vector(9, 9, 9));
    EXPECT_TRUE(f.loader.getMaterial(alpha, record));
    EXPECT_EQ(record.color, Vector(0, 0.5, 0));

    // Specular channels give the specular colour; reflection falls back to its own one.
    EXPECT_TRUE(f.loader.getMaterial(
        SetParam(withChannels(f.doc(), {CHANNEL_SPECULARCOLOR}), 3100, Vector(0.3, 0, 0)), record));
    EXPECT_EQ(record.specular, Vector(0.3, 0, 0));
    Material* reflection = withChannels(f.doc(), {CHANNEL_REFLECTION});
    reflection->GetDataInstance()->SetVector(65, Vector(0.1, 0.2, 0.3));
    EXPECT_FALSE(f.loader.getMaterial(reflection, record));  // no colour found
    EXPECT_EQ(record.specular, Vector(0.1, 0.2, 0.3));
}

TEST(MaterialCapture, TextureTagGivesCutNameAndPlacementOrFails) {
    ConverterFixture f;
    Material* material = withChannels(f.doc(), {CHANNEL_COLOR});
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
    EXPECT_EQ(f.loader.getDefaultColor(SetParam(object, 907, 2)), grey);
    object->SetLayerObject(SetParam(AddLayer(f.doc(), "L"), 1009, Vector(0, 0, 1)));
    EXPECT_EQ(f.loader.getDefaultColor(SetParam(object, 907, 3)), Vector(0, 0, 1));
}

TEST(MaterialCapture, TextureFileFoundAsStoredInTexFolderOrBesideDocument) {
    ConverterFixture f;
    Sandbox folder;
    const std::string dir = f.loader.documentPath = folder.root();
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
    record.textureMatrix = MatrixMove(Vector(4, 0, 0)) * MatrixScale(Vector(2, 2, 2));
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
    // Every element of the inverse placement halved: scale 1/2 gives 1/4, offset -2 gives -1.
    EXPECT_EQ(flat.param("transform_obj_to_uv").matrix(),
              (vsp::Matrix{0.25, 0, 0, 0, 0, 0.25, 0, 0, 0, 0, 0.25, 0, -1, 0, 0, 1}));
}

}  // namespace
