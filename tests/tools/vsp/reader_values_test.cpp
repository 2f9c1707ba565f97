// The reader on hand-written text: the forms that the round trip through the writer
// leaves open, statements and directives, and the query interface.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "scene_arrays.h"
#include "vsp/Reader.h"

using vsp::NodeKind;

TEST(VspReader, ReadsSpecialNumbersEmptyValuesAndShaderIdsAndRefusesMismatchedQueries) {
    const vsp::Node root = vsp::parse(
        "\"double\" -2.5000000000000000,\n"
        "\"inf\" -inf,\n"
        "\"text\" \"abc\",\n"
        "\"unknown code\" ,\n"
        "\"colors\" [ 1 2 3,4 5 6 ] ,\n"
        "\"numbered\" ! 5,\n");
    EXPECT_EQ(root.param("double").number(), -2.5);
    EXPECT_TRUE(std::isinf(root.param("inf").number()));
    EXPECT_EQ(root.param("unknown code").kind(), vsp::ValueKind::Empty);
    EXPECT_EQ(root.param("colors").size(), 2u);
    EXPECT_TRUE(root.param("numbered").isSubshader());
    EXPECT_EQ(root.param("numbered").shaderId(), 5);

    EXPECT_THROW(root.param("colors").number(), vsp::QueryError);
    EXPECT_THROW(root.param("double").ints(), vsp::QueryError);
    EXPECT_THROW(root.param("text").boolean(), vsp::QueryError);
    EXPECT_THROW(root.param("missing"), vsp::QueryError);
}

TEST(VspReader, ReadsCapturedShadersWithNestedSubshadersAndShaderDefinitions) {
    const vsp::Node root = vsp::parse(
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
    EXPECT_EQ(surface.param("diffuse").numbers(), (std::vector<double>{1, 1, 1}));
    const vsp::Node& texture = surface.shader("diffuse");
    EXPECT_EQ(texture.name, "tex\n");
    EXPECT_EQ(texture.shader("inner").param("scale").number(), 2);
    EXPECT_EQ(root.at("o/m").param("shadow").shaderId(), 4);
    EXPECT_EQ(root.at("o/m").findStatement("//")->arg(0).text(), " assuming surface shader");

    ASSERT_EQ(root.at("3").labels, (std::vector<std::string>{"3", "my shader"}));
    EXPECT_TRUE(root.at("3").definition);
    EXPECT_EQ(root.at("named").labels.at(1), "tav_diffuse");
    EXPECT_EQ(root.param("layers").shaders().at(1)->name, "b");
    EXPECT_EQ(root.all(NodeKind::Shader).size(), 7u);  // embedded shaders are nodes too
}

TEST(VspReader, ReadsStatementsDirectivesAndNestedBlocks) {
    const vsp::Node root = vsp::parse(
        "//---id:1---\n"
        "#print \"say \"hi\"\"\n"
        "#error \"bad\nthing\"\n"
        "version 9\n\n"
        "progress \"half\" 0.500\n\n"
        "attribute \"a\" xX62\n"
        "id 4294967295\n"
        "icon bX\n"
        "\n#define group \"proto\" {\n"
        "set transform 1 0 0 0 0 1 0 0 0 0 1 0 5 6 7 1\n"
        "scale 1 2 3\nrotate 0 90 0\ntranslate 1 0 0\n"
        "frame 3 {\nmotion 0.5 {\ntransform 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n}\n}\n"
        "}\n"
        "instance \"proto\"\n"
        "#modify \ncamera {\nvisible on\n}\n"
        "#modify material \"m\" {\n}\n"
        "object \"o\" {\nmaterial \"m\"\n}\n"
        "\noptions {\nsamples 4\n}\n"
        "\nrender\n");
    std::vector<std::string> keywords;
    for (const auto& statement : root.statements) keywords.push_back(statement.keyword);
    EXPECT_EQ(keywords, (std::vector<std::string>{"//", "#print", "#error", "version", "progress",
                                                  "attribute", "id", "instance", "render"}));
    EXPECT_EQ(root.statements[1].arg(0).text(), "say \"hi\"");
    EXPECT_EQ(root.statements[2].arg(0).text(), "bad\nthing");
    EXPECT_EQ(root.statements[5].arg(1).text(), "b");
    EXPECT_EQ(root.statements[6].arg(0).integer(), 4294967295LL);
    EXPECT_EQ(root.param("icon").bytes(), "");

    const vsp::Node& proto = root.at("proto");
    EXPECT_TRUE(proto.definition);
    EXPECT_EQ(proto.findStatement("set transform")->arg(0).matrix()[12], 5);
    EXPECT_EQ(proto.at("3/0.5").findStatement("transform")->arg(0).size(), 16u);
    std::vector<NodeKind> kinds;
    for (const auto& child : root.children) kinds.push_back(child.kind);
    EXPECT_EQ(kinds, (std::vector<NodeKind>{NodeKind::Group, NodeKind::Camera, NodeKind::Material,
                                            NodeKind::Object, NodeKind::Options}));
    EXPECT_TRUE(root.children[1].modification);
    EXPECT_TRUE(root.children[1].param("visible").boolean());
    EXPECT_EQ(root.children[4].param("samples").number(), 4);
    EXPECT_EQ(root.at("o").findStatement("material")->arg(0).text(), "m");
}

TEST(VspReader, FindsNodesByPathKindAndName) {
    const vsp::Node root = vsp::parse(
        "\ngroup \"doc\" {\n"
        "\ngroup \"Cube\" {\n}\n"
        "\ngroup \"Cube\" {\nobject \"Cube\" {\ngeometry \"triangles\" {\n}\n}\n}\n"
        "}\n");
    const vsp::Node* cube = root.find("doc/Cube/Cube");
    ASSERT_EQ(cube, &root.children[0].children[1].children[0]);  // in the second "Cube" group
    EXPECT_EQ(root.find(std::vector<std::string>{"doc", "Cube"}), &root.children[0].children[0]);
    EXPECT_EQ(root.find("doc/Sphere"), nullptr);
    EXPECT_EQ(root.named("Cube").size(), 3u);
    try {
        cube->param("fov");
        FAIL() << "no error";
    } catch (const vsp::QueryError& error) {
        EXPECT_STREQ(error.what(), "object \"Cube\" at offset 49 has no parameter \"fov\"");
    }
}

TEST(VspReader, KeepsBinaryArraysAsWrittenAndJoinsTheirBlocks) {
    const vsp::Node root = vsp::parse(
        "\"f\" [ " + binaryBlock('f', 2, std::vector<float>{0.1f, -2}) + ", " +
        binaryBlock('f', 1, std::vector<float>{3.5f}) + " ] ,\n" + "\"i\" [ " +
        binaryBlock('i', 2, std::vector<int32_t>{-7, 2147483647}) + " ] ,\n" + "\"c\" [ " +
        binaryBlock('c', 6, std::vector<float>{1, 2, 3, 4, 5, 6}) + " ] ,\n" + "\"r\" [ " +
        binaryBlock('r', 2, std::vector<double>{0.1, 1e300}) + " ] ,\n" + "\"text\" [ 1, 2 ] ,\n");
    const vsp::Value& floats = root.param("f");
    EXPECT_EQ(floats.floatArray(), (std::vector<float>{0.1f, -2, 3.5f}));
    EXPECT_EQ(floats.floats(), floats.floatArray());
    EXPECT_EQ(floats.numbers(), (std::vector<double>{0.1f, -2, 3.5f}));
    EXPECT_EQ(floats.numberAt(2), 3.5);
    EXPECT_EQ(floats.size(), 3u);
    EXPECT_THROW(floats.numberAt(3), vsp::QueryError);
    EXPECT_THROW(floats.ints(), vsp::QueryError);
    EXPECT_THROW(floats.intArray(), vsp::QueryError);

    const vsp::Value& ints = root.param("i");
    EXPECT_EQ(ints.intArray(), (std::vector<int32_t>{-7, 2147483647}));
    EXPECT_EQ(ints.ints(), (std::vector<int>{-7, 2147483647}));
    EXPECT_EQ(ints.numbers(), (std::vector<double>{-7, 2147483647}));
    EXPECT_THROW(ints.floatArray(), vsp::QueryError);

    const vsp::Value& colours = root.param("c");
    EXPECT_EQ(colours.size(), 2u);
    EXPECT_EQ(colours.arity(), 3u);
    EXPECT_EQ(colours.floatArray().back(), 6);
    EXPECT_EQ(root.param("r").numbers(), (std::vector<double>{0.1, 1e300}));
    EXPECT_THROW(root.param("r").floatArray(), vsp::QueryError);
    EXPECT_THROW(root.param("text").floatArray(), vsp::QueryError);
    EXPECT_EQ(root.param("text").numberCount(), 2u);
}
