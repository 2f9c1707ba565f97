#include <gtest/gtest.h>

#include <cmath>

#include "binary_block.h"
#include "vsp/Reader.h"

using vsp::ElementKind;
using vsp::NodeKind;
using vsp::ValueKind;

TEST(VspReader, ReadsEveryValueKindOfListStyleParameters) {
    vsp::Node root = vsp::parse(
        "\"float\" 0.5,\n"
        "\"color\" 1 0.5 0.25,\n"
        "\"double\" -2.5000000000000000,\n"
        "\"inf\" -inf,\n"
        "\"switch\" on,\n"
        "\"text\" \"abc\",\n"
        "\"empty text\" \"\",\n"
        "xX22710a \"x\",\n"  // name "q\n with a quote
        "\"utf8\" xXc3a9,\n"
        "\"unknown code\" ,\n"
        "\"floats\" [ 0,1,2,3,4,5,6,7,8,\n9 ] ,\n"
        "\"colors\" [ 1 2 3,4 5 6 ] ,\n"
        "\"matrices\" [ 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 ,\n"
        "2 0 0 0 0 2 0 0 0 0 2 0 0 0 0 1 \n] ,\n"
        "\"names\" [ \"a\",\nxX620a ] ,\n"
        "\"none\" [  ] ,\n"
        "\"numbered\" ! 5,\n");
    EXPECT_EQ(root.param("float").number(), 0.5);
    EXPECT_EQ(root.param("color").numbers(), (std::vector<double>{1, 0.5, 0.25}));
    EXPECT_EQ(root.param("double").number(), -2.5);
    EXPECT_TRUE(std::isinf(root.param("inf").number()));
    EXPECT_TRUE(root.param("switch").boolean());
    EXPECT_EQ(root.param("text").text(), "abc");
    EXPECT_EQ(root.param("empty text").text(), "");
    EXPECT_EQ(root.param("\"q\n").text(), "x");
    EXPECT_EQ(root.param("utf8").text(), "\xc3\xa9");
    EXPECT_EQ(root.param("unknown code").kind(), ValueKind::Empty);
    EXPECT_EQ(root.param("floats").ints(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(root.param("colors").arity(), 3u);
    EXPECT_EQ(root.param("colors").size(), 2u);
    EXPECT_EQ(root.param("matrices").matrices().at(1)[10], 2);
    EXPECT_EQ(root.param("names").texts(), (std::vector<std::string>{"a", "b\n"}));
    EXPECT_EQ(root.param("none").size(), 0u);
    EXPECT_EQ(root.param("numbered").shaderId(), 5);
    EXPECT_TRUE(root.param("numbered").isSubshader());

    EXPECT_THROW(root.param("color").number(), vsp::QueryError);
    EXPECT_THROW(root.param("float").ints(), vsp::QueryError);
    EXPECT_THROW(root.param("text").boolean(), vsp::QueryError);
    EXPECT_THROW(root.param("missing"), vsp::QueryError);
}

TEST(VspReader, ReadsStatementStyleBlocksAndBareNames) {
    vsp::Node root = vsp::parse(
        "\ncamera \"Cam\" {\n"
        "projection \"perspective\"\n"
        "fov 45\n"
        "reflection map \"tav_envmap\" {\n\"radius\" 25,\n}\n"
        "position 0 0 -1\n"
        "visible on\n"
        "}\n"
        "thumbnail bX0001ff\n"
        "icon bX\n"
        "\ngroup \"g\" {\nflags 1\nspread out 1 2\n}\n");
    const vsp::Node& camera = root.at("Cam");
    EXPECT_EQ(camera.kind, NodeKind::Camera);
    EXPECT_EQ(camera.param("projection").text(), "perspective");
    EXPECT_EQ(camera.param("fov").number(), 45);
    EXPECT_EQ(camera.shader("reflection map").param("radius").number(), 25);
    EXPECT_EQ(camera.param("position").numbers(), (std::vector<double>{0, 0, -1}));
    EXPECT_TRUE(camera.param("visible").boolean());
    EXPECT_EQ(root.param("thumbnail").bytes(), std::string("\x00\x01\xff", 3));
    EXPECT_EQ(root.param("icon").bytes(), "");
    EXPECT_EQ(root.at("g").findStatement("flags")->arg(0).integer(), 1);
    EXPECT_EQ(root.at("g").param("spread out").numbers(), (std::vector<double>{1, 2}));
}

TEST(VspReader, ReadsBinaryBlocksOfEveryLetter) {
    std::string text = "\"c\" [ " + binaryBlock<float>('c', {1, 2, 3, 4, 5, 6}) + "] ,\n" +
                       "\"f\" [ " + binaryBlock<float>('f', {0.25f}) + "] ,\n" + "\"r\" [ " +
                       binaryBlock<double>('r', {0.1, -1e300}) + "] ,\n" + "\"i\" [ " +
                       binaryBlock<int32_t>('i', {-7, 2147483647}) + "] ,\n" + "\"mode\" [\n" +
                       binaryBlock<int32_t>('i', {}) + " ],\n";
    vsp::Node root = vsp::parse(text);
    EXPECT_EQ(root.param("c").binaryLetter(), 'c');
    EXPECT_EQ(root.param("c").size(), 2u);
    EXPECT_EQ(root.param("c").floats(), (std::vector<float>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(root.param("f").floats(), (std::vector<float>{0.25f}));
    EXPECT_EQ(root.param("r").numbers(), (std::vector<double>{0.1, -1e300}));
    EXPECT_EQ(root.param("i").ints(), (std::vector<int>{-7, 2147483647}));
    EXPECT_EQ(root.param("mode").size(), 0u);
    EXPECT_EQ(root.param("mode").binaryLetter(), 'i');
}

TEST(VspReader, ReadsCapturedShadersWithNestedSubshadersAndShaderDefinitions) {
    vsp::Node root = vsp::parse(
        "object \"o\" {\n"
        "material \"m\" {\n"
        "// assuming surface shader\n"
        "surface   \"tav_advanced\" {\n"
        "   \"diffuse\" 1 1 1,\n"
        "   \"diffuse\" ! xX7465780a {\n"  // raw-embedded kind "tex\n"
        "  \"texture\" \"a.png\",\n"
        "  \"inner\" ! \"noise\" {\n\"scale\" 2,\n},\n"
        "  },\n"
        "   }\n"
        "shadow 4\n"
        "}\n"
        "}\n"
        "#define shader 3 my shader {\n\"k\" 1,\n}\n"
        "#define shader \"named\" \"tav_diffuse\" {\n}\n"
        "\"layers\" [\n\"a\" {\n}, \"b\" {\n} ],\n");
    const vsp::Node& surface = root.at("o/m").shader("surface");
    EXPECT_EQ(surface.name, "tav_advanced");
    EXPECT_EQ(surface.param("diffuse").numbers(), (std::vector<double>{1, 1, 1}));
    const vsp::Node& texture = surface.shader("diffuse");
    EXPECT_EQ(texture.name, "tex\n");
    EXPECT_EQ(texture.param("texture").text(), "a.png");
    EXPECT_EQ(texture.shader("inner").param("scale").number(), 2);
    EXPECT_TRUE(surface.parametersNamed("diffuse")[1]->value.isSubshader());
    EXPECT_EQ(root.at("o/m").param("shadow").shaderId(), 4);
    EXPECT_EQ(root.at("o/m").findStatement("//")->arg(0).text(), " assuming surface shader");

    ASSERT_EQ(root.at("3").labels, (std::vector<std::string>{"3", "my shader"}));
    EXPECT_TRUE(root.at("3").definition);
    EXPECT_EQ(root.at("named").labels.at(1), "tav_diffuse");
    EXPECT_EQ(root.param("layers").shaders().at(1)->name, "b");
    EXPECT_EQ(root.all(NodeKind::Shader).size(), 7u);  // embedded shaders are nodes too
}

TEST(VspReader, ReadsEveryStatementAndBlockKeyword) {
    vsp::Node root = vsp::parse(
        "//---id:1---\n"
        "#print \"say \"hi\"\"\n"
        "#error \"bad\nthing\"\n"
        "version 9\n\n"
        "progress \"half\" 0.500\n\n"
        "attribute \"a\" xX62\n"
        "id 4294967295\n"
        "\n#define group \"proto\" {\n"
        "set transform 1 0 0 0 0 1 0 0 0 0 1 0 5 6 7 1\n"
        "scale 1 2 3\nrotate 0 90 0\ntranslate 1 0 0\n"
        "frame 3 {\nmotion 0.5 {\ntransform 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n}\n}\n"
        "}\n"
        "instance \"proto\"\n"
        "#modify \ncamera {\n}\n"
        "#modify material \"m\" {\n}\n"
        "animation \"fbx_animation\" \"Cube Position\" {\n\"timestamps\" [ 0,40 ] ,\n}\n"
        "output \"a\" \"b\" \"c\" {\n}\n"
        "light \"l\" {\n}\n\naccel \"bvh\" {\n}\n"
        "object \"o\" {\nmaterial \"m\"\n}\n"
        "\noptions {\nsamples 4\n}\n\nimage {\n}\n"
        "\nrender\n");
    std::vector<std::string> keywords;
    for (const auto& statement : root.statements) keywords.push_back(statement.keyword);
    EXPECT_EQ(keywords, (std::vector<std::string>{"//", "#print", "#error", "version", "progress",
                                                  "attribute", "id", "instance", "render"}));
    EXPECT_EQ(root.statements[1].arg(0).text(), "say \"hi\"");
    EXPECT_EQ(root.statements[2].arg(0).text(), "bad\nthing");
    EXPECT_EQ(root.statements[4].arg(1).number(), 0.5);
    EXPECT_EQ(root.statements[5].arg(1).text(), "b");
    EXPECT_EQ(root.statements[6].arg(0).integer(), 4294967295LL);

    const vsp::Node& proto = root.at("proto");
    EXPECT_TRUE(proto.definition);
    EXPECT_EQ(proto.findStatement("set transform")->arg(0).matrix()[12], 5);
    EXPECT_EQ(proto.at("3/0.5").findStatement("transform")->arg(0).size(), 16u);
    std::vector<NodeKind> kinds;
    for (const auto& child : root.children) kinds.push_back(child.kind);
    EXPECT_EQ(kinds, (std::vector<NodeKind>{NodeKind::Group, NodeKind::Camera, NodeKind::Material,
                                            NodeKind::Animation, NodeKind::Output, NodeKind::Light,
                                            NodeKind::Accel, NodeKind::Object, NodeKind::Options,
                                            NodeKind::Image}));
    EXPECT_EQ(root.children[8].param("samples").number(), 4);
    EXPECT_TRUE(root.children[1].modification);
    EXPECT_EQ(root.children[3].labels.at(1), "Cube Position");
    EXPECT_EQ(root.at("o").findStatement("material")->arg(0).text(), "m");
}

TEST(VspReader, FindsNodesByPathKindAndName) {
    vsp::Node root = vsp::parse(
        "\ngroup \"doc\" {\n"
        "\ngroup \"Cube\" {\n}\n"
        "\ngroup \"Cube\" {\nobject \"Cube\" {\ngeometry \"triangles\" {\n}\n}\n}\n"
        "}\n");
    const vsp::Node* cube = root.find("doc/Cube/Cube");
    ASSERT_NE(cube, nullptr);  // found in the second "Cube" group
    EXPECT_EQ(cube->kind, NodeKind::Object);
    EXPECT_EQ(cube->offset, root.children[0].children[1].children[0].offset);
    EXPECT_EQ(root.find(std::vector<std::string>{"doc", "Cube"}), &root.children[0].children[0]);
    EXPECT_EQ(root.find("doc/Sphere"), nullptr);
    EXPECT_EQ(root.all(NodeKind::Group).size(), 3u);
    EXPECT_EQ(root.named("Cube").size(), 3u);
    EXPECT_EQ(root.all(NodeKind::Geometry).at(0)->name, "triangles");
    try {
        root.at("doc/Cube/Cube").param("fov");
        FAIL() << "no error";
    } catch (const vsp::QueryError& error) {
        EXPECT_STREQ(error.what(), "object \"Cube\" at offset 49 has no parameter \"fov\"");
    }
}
