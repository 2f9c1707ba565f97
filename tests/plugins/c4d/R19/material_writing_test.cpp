// Material records as scene materials: numbering, surface shader choice, texture shader.
#include <gtest/gtest.h>

#include "C4DText.h"
#include "converter_fixture.h"

namespace {

TavMat named(const std::string& name) {
    TavMat record;
    copyUtf8(record.name, sizeof record.name, name);
    return record;
}

std::vector<std::string> materialNames(ConverterFixture& f) {
    std::vector<std::string> names;
    const vsp::Node root = f.parsed();
    for (const vsp::Node* material : root.all(vsp::NodeKind::Material))
        names.push_back(material->name);
    return names;
}

TEST(MaterialNumbering, EqualRecordsShareANumberAndOtherPlacementsCountOn) {
    ConverterFixture f;
    TavMat chrome = named("Chrome");
    TavMat sameKey = chrome;
    sameKey.projection = 2;
    sameKey.specular = Vector64(0.5, 0, 0);
    TavMat longer = chrome;
    longer.lengthU = 2.0;
    TavMat grey, red;
    red.color = Vector64(1, 0, 0);
    for (const TavMat& record : {chrome, sameKey, longer, chrome, grey, red, grey})
        f.loader.writeMaterial(record);
    EXPECT_EQ(materialNames(f),
              (std::vector<std::string>{"Chrome", "Chrome", "Chrome #1", "Chrome", "Display color",
                                        "Display color #1", "Display color"}));

    TavMat shortTexture = chrome, longTexture = chrome, untiled = chrome;
    shortTexture.texture = "ab";
    longTexture.texture = "abc";
    untiled.tile = false;
    EXPECT_TRUE(shortTexture < longTexture);
    EXPECT_TRUE(untiled < chrome);
    EXPECT_TRUE(named("B") < named("a"));  // bytes, not letters
}

TEST(MaterialNumbering, LongNamesAreCutAtACharacterBoundaryKeepingTheNumber) {
    ConverterFixture f;
    const std::string euro = "\xe2\x82\xac";
    TavMat first = named(std::string(1018, 'x') + euro);  // 1021 bytes
    TavMat second = first;
    second.color = Vector64(0, 0, 0);
    f.loader.writeMaterial(first);
    f.loader.writeMaterial(second);
    const std::vector<std::string> names = materialNames(f);
    EXPECT_EQ(names.at(0), std::string(1018, 'x') + euro);
    EXPECT_EQ(names.at(1), std::string(1018, 'x') + " #1");  // 1021 bytes
}

TEST(MaterialWriting, AdvancedShaderOnlyAboveTheSpecularThreshold) {
    ConverterFixture f;
    TavMat record;
    record.specular = Vector64(0.000001, 0, 0);
    f.loader.writeMaterial(record);
    record.specular = Vector64(0.0000011, 0, 0);
    f.loader.writeMaterial(record);
    const vsp::Node root = f.parsed();
    const auto materials = root.all(vsp::NodeKind::Material);
    EXPECT_EQ(materials.at(0)->shader("surface").name, "tav_diffuse");
    const vsp::Node& advanced = materials.at(1)->shader("surface");
    EXPECT_EQ(advanced.name, "tav_advanced");
    EXPECT_EQ(advanced.param("specular").floats(), (std::vector<float>{0.0000011f, 0, 0}));
    EXPECT_TRUE(advanced.param("fresnel").boolean());
    EXPECT_EQ(advanced.param("ior").number(), 1.5);
    EXPECT_EQ(advanced.param("glossy_samples").integer(), 9);
}

TEST(MaterialWriting, TextureShaderWithUvOrFlatPlacement) {
    ConverterFixture f;
    TavMat uv;
    uv.texture = "/maps/wood.png";
    uv.projection = 6;
    uv.tile = false;
    uv.lengthU = 0.5;
    f.loader.writeMaterial(uv);
    TavMat flat = uv;
    flat.projection = 2;
    flat.textureMatrix = MatrixMove(Vector(4, 0, 0)) * MatrixScale(Vector(2, 2, 2));
    f.loader.writeMaterial(flat);

    const vsp::Node root = f.parsed();
    const auto materials = root.all(vsp::NodeKind::Material);
    const vsp::Node& uvSurface = materials.at(0)->shader("surface");
    EXPECT_EQ(uvSurface.name, "tav_advanced");
    const vsp::Node& uvTexture = uvSurface.shader("diffuse");
    EXPECT_EQ(uvTexture.name, "texture2_rgb");
    EXPECT_EQ(uvTexture.param("texture").text(), "/maps/wood.png");
    EXPECT_FALSE(uvTexture.param("wrap").boolean());
    EXPECT_EQ(uvTexture.param("uv_projection").integer(), 4);
    EXPECT_EQ(uvTexture.param("uv_flags").integer(), 62);
    EXPECT_EQ(uvTexture.param("scale_u").number(), 0.5);
    EXPECT_EQ(uvTexture.findParameter("transform_obj_to_uv"), nullptr);

    const vsp::Node& flatTexture = materials.at(1)->shader("surface").shader("diffuse");
    EXPECT_EQ(flatTexture.param("uv_projection").integer(), 5);
    EXPECT_EQ(flatTexture.findParameter("uv_flags"), nullptr);
    // Every element of the inverse placement halved: scale 1/2 -> 1/4, offset -2 -> -1.
    const vsp::Matrix expected{0.25, 0, 0, 0, 0, 0.25, 0, 0, 0, 0, 0.25, 0, -1, 0, 0, 1};
    EXPECT_EQ(flatTexture.param("transform_obj_to_uv").matrix(), expected);
}

}  // namespace
