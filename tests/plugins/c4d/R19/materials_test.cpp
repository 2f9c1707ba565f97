// Material capture from the host: channels, shaders, texture tags, texture files,
// display colours.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "converter_fixture.h"

using namespace vantrel_host;

namespace {

Material* withChannels(BaseDocument& doc, std::initializer_list<Int32> channels) {
    Material* material = AddStandardMaterial(doc, "Mat");
    for (Int32 channel : channels) material->SetChannelState(channel, true);
    return material;
}

TEST(MaterialCapture, ColourChannelWithBrightnessElseLuminance) {
    ConverterFixture f;
    Material* colour = withChannels(f.doc(), {CHANNEL_COLOR, CHANNEL_LUMINANCE});
    SetParam(SetParam(colour, 2100, Vector(0.8, 0.4, 1)), 2101, 0.5);
    SetParam(colour, 2300, Vector(0, 1, 0));
    TavMat record;
    EXPECT_TRUE(f.loader.getMaterial(colour, record));
    EXPECT_EQ(record.color, Vector(0.4, 0.2, 0.5));

    colour->SetChannelState(CHANNEL_COLOR, false);
    EXPECT_TRUE(f.loader.getMaterial(colour, record));
    EXPECT_EQ(record.color, Vector(0, 1, 0));

    // A colour shader linked from the channel overrides the channel's colour.
    colour->SetChannelState(CHANNEL_COLOR, true);
    SetParam(AddShader(*colour, Xcolor), 1000, Vector(0, 0, 1));
    SetParam(colour, 8000, Link(colour->GetFirstShader()));
    EXPECT_TRUE(f.loader.getMaterial(colour, record));
    EXPECT_EQ(record.color, Vector(0, 0, 1));
}

TEST(MaterialCapture, SpecularChannelsAndTheAlphaShaderScan) {
    ConverterFixture f;
    Material* specular = withChannels(f.doc(), {CHANNEL_SPECULARCOLOR});
    SetParam(specular, 3100, Vector(0.3, 0.3, 0.3));
    TavMat record;
    EXPECT_TRUE(f.loader.getMaterial(specular, record));
    EXPECT_EQ(record.specular, Vector(0.3, 0.3, 0.3));

    Material* reflection = withChannels(f.doc(), {CHANNEL_REFLECTION});
    reflection->GetDataInstance()->SetVector(65, Vector(0.1, 0.2, 0.3));
    EXPECT_FALSE(f.loader.getMaterial(reflection, record));  // no colour found
    EXPECT_EQ(record.specular, Vector(0.1, 0.2, 0.3));

    // With alpha on, only a colour shader in the material's list gives a colour.
    Material* alpha = withChannels(f.doc(), {CHANNEL_ALPHA, CHANNEL_COLOR});
    SetParam(alpha, 2100, Vector(1, 0, 0));
    EXPECT_FALSE(f.loader.getMaterial(alpha, record));
    SetParam(AddShader(*alpha, Xgradient), 1007, GradientData({{0.5, 0.5, 0}, {1, 1, 1}}));
    SetParam(AddShader(*alpha, Xcolor), 1000, Vector(0, 0.5, 0));
    SetParam(AddShader(*alpha, Xcolor), 1000, Vector(9, 9, 9));
    record = TavMat();
    EXPECT_TRUE(f.loader.getMaterial(alpha, record));
    EXPECT_EQ(record.color,
              Vector(0, 0.5, 0));  // the gradient's first knot, then the first colour shader
}

TEST(MaterialCapture, GradientShadersGiveTheirFirstKnotButNeverSucceed) {
    ConverterFixture f;
    BaseShader* gradient = BaseShader::Alloc(1012158);
    SetParam(gradient, 10001, GradientData({{0.1, 0.2, 0.3}}));
    TavMat record;
    EXPECT_FALSE(f.loader.getMaterial(gradient, record));
    EXPECT_EQ(record.color, Vector(0.1, 0.2, 0.3));
    SetParam(gradient, 10001, GradientData({}));  // no knot: colour unchanged
    EXPECT_FALSE(f.loader.getMaterial(gradient, record));
    EXPECT_EQ(record.color, Vector(0.1, 0.2, 0.3));
    EXPECT_FALSE(f.loader.getMaterial(static_cast<BaseShader*>(nullptr), record));
    BaseShader::Free(gradient);
}

TEST(MaterialCapture, TextureTagGivesNamePlacementOrFailure) {
    ConverterFixture f;
    Material* material = withChannels(f.doc(), {CHANNEL_COLOR});
    const std::string euro = "\xe2\x82\xac";
    material->SetName(String(std::string(1021, 'n') + euro));  // 1024 bytes
    PolygonObject* object = AddPolygonObject(f.doc(), "O", {}, {});
    TextureTag* tag = AddTextureTag(*object, material);
    SetParam(SetParam(SetParam(tag, TEXTURETAG_OFFSETX, 0.25), TEXTURETAG_LENGTHY, 2.0),
             TEXTURETAG_TILE, 0);
    tag->SetMl(MatrixMove(Vector(1, 2, 3)));
    TavMat record;
    ASSERT_TRUE(f.loader.getMaterial(tag, record));
    EXPECT_EQ(std::string(record.name), std::string(1021, 'n'));  // cut before the euro sign
    EXPECT_EQ(record.textureTag, tag);
    EXPECT_EQ(record.projection, TEXTURETAG_PROJECTION_UVW);
    EXPECT_EQ(record.textureMatrix.off, Vector(1, 2, 3));
    EXPECT_EQ(record.offsetU, 0.25);
    EXPECT_EQ(record.lengthV, 2.0);
    EXPECT_FALSE(record.tile);

    tag->SetMaterial(AddMaterial(f.doc(), Mhair, "Hair"));
    EXPECT_FALSE(f.loader.getMaterial(tag, record));
    tag->SetMaterial(nullptr);
    EXPECT_FALSE(f.loader.getMaterial(tag, record));
    EXPECT_FALSE(f.loader.getMaterial(AddTag(*object, Tuvw), record));
}

TEST(MaterialCapture, DisplayColourByModeAndLayer) {
    ConverterFixture f;
    BaseObject* object = AddObject(f.doc(), Onull, "O");
    const Vector grey(0.65, 0.65, 0.65);
    EXPECT_EQ(f.loader.getDefaultColor(object), grey);
    SetParam(SetParam(object, ID_BASEOBJECT_USECOLOR, 1), ID_BASEOBJECT_COLOR, Vector(1, 0, 0));
    EXPECT_EQ(f.loader.getDefaultColor(object), Vector(1, 0, 0));
    SetParam(object, ID_BASEOBJECT_USECOLOR, 2);
    EXPECT_EQ(f.loader.getDefaultColor(object), grey);
    SetParam(object, ID_BASEOBJECT_USECOLOR, 3);
    EXPECT_EQ(f.loader.getDefaultColor(object), grey);  // no layer
    object->SetLayerObject(SetParam(AddLayer(f.doc(), "L"), 1009, Vector(0, 0, 1)));
    EXPECT_EQ(f.loader.getDefaultColor(object), Vector(0, 0, 1));
}

// A temporary document folder, removed with everything in it.
struct TempFolder {
    std::string path;
    TempFolder() {
        char pattern[] = "/tmp/vantrel-tex-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    std::string touch(const std::string& name) const {
        std::ofstream(path + "/" + name) << "png";
        return path + "/" + name;
    }
};

TEST(MaterialCapture, TextureFileFoundAsStoredInTexFolderOrBesideDocument) {
    ConverterFixture f;
    TempFolder folder;
    ASSERT_EQ(mkdir((folder.path + "/tex").c_str(), 0700), 0);
    f.loader.documentPath = folder.path;
    const std::string stored = folder.touch("stored.png");
    const std::string inTex = folder.touch("tex/a.png");
    const std::string beside = folder.touch("b.png");
    folder.touch("tex/b.png");
    ASSERT_EQ(mkdir((folder.path + "/tex/c.png").c_str(), 0700), 0);  // a folder is no texture

    EXPECT_EQ(f.loader.resolveTexturePath(Filename(stored.c_str())), stored);
    EXPECT_EQ(f.loader.resolveTexturePath(Filename("/gone/a.png")), inTex);
    EXPECT_EQ(f.loader.resolveTexturePath(Filename("/gone/b.png")), folder.path + "/tex/b.png");
    std::remove((folder.path + "/tex/b.png").c_str());
    EXPECT_EQ(f.loader.resolveTexturePath(Filename("/gone/b.png")), beside);
    EXPECT_EQ(f.loader.resolveTexturePath(Filename("/gone/c.png")), "/gone/c.png");
    EXPECT_EQ(f.loader.resolveTexturePath(Filename("")), "");
    f.loader.documentPath = "";
    EXPECT_EQ(f.loader.resolveTexturePath(Filename("/gone/a.png")), "/gone/a.png");

    // A bitmap shader records the file but gives no colour.
    BaseShader* bitmap = BaseShader::Alloc(Xbitmap);
    SetParam(bitmap, 1000, GeData(Filename(stored.c_str())));
    TavMat record;
    EXPECT_FALSE(f.loader.getMaterial(bitmap, record));
    EXPECT_EQ(record.texture, stored);
    BaseShader::Free(bitmap);
}

}  // namespace
