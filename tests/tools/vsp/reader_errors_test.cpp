// Malformed scene text: each error names what is wrong and the byte offset where.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "vsp/Dump.h"
#include "vsp/Json.h"
#include "vsp/Reader.h"
#include "vsp/Summary.h"

using namespace std::string_literals;

TEST(VspReaderErrors, MalformedInputsReportWhatAndWhere) {
    const std::vector<std::tuple<std::string, size_t, std::string>> cases = {
        {"}\n", 0, "'}' without an open block"},
        {"\ngroup \"g\" {\nflags 1\n", 21, "group \"g\" at offset 1 is not closed"},
        {"\"name 1,\n", 0, "quoted text is not closed on its line"},
        {"\"n\" xX616,\n", 9, "odd number of hex digits"},
        // Binary blocks: bytes 1 2 3, the element letter, a 32-bit count, the elements.
        {"\"n\" [ \1\2\3f\xe8\3\0\0\0\0\0\0] ,\n"s, 6,
         "1000 elements needs 4000 bytes, only 8 remain"},
        {"\"n\" [ \1\2\3q\1\0\0\0\0\0\0\0] ,\n"s, 6, "unknown type 113"},
        {"\"n\" [ \1\2\3c\2\0\0\0\0\0\0\0\0\0\0\0] ,\n"s, 6, "not a multiple of 3"},
        {"\"n\" [ \1\2\3", 6, "cut off in its 8-byte header"},
        {"\"n\" [ 1,2 ,\n", 12, "array opened at offset 4 is not closed"},
        {"\"n\" [ 1 2,3 ] ,\n", 10, "array element of number follows elements of number x2"},
        {"\"n\" 1 2 x,\n", 8, "expected the end of the line, found 'x'"},
        {"stray words\n", 0, "expected a quoted parameter name or a statement"},
        {"\x07\x08", 0, "unexpected byte 0x07"},
        {"transform 1 2 3\n", 15, "transform expects 16 number(s), found 3"},
        {"#include \"x\"\n", 0, "unknown directive"},
        {"#define camera \"c\" {\n}\n", 8, "\"camera\" cannot follow #define"},
        {"object \"o\"\n", 10, "expected '{' to open object"},
        {"object \"o\" { flags 1\n}\n", 13, "expected the end of the line, found 'f'"},
        {"\"s\" ! \"kind\",\n", 12, "expected '{' after the subshader's kind"},
        {"#print \"open\n", 8, "not closed by a quote"},
        {"\"s\" ! 1e300,\n", 6, "integer shader id"},
    };
    for (const auto& [input, offset, message] : cases) {
        SCOPED_TRACE(input);
        try {
            vsp::parse(input);
            ADD_FAILURE() << "accepted";
        } catch (const vsp::ParseError& error) {
            const std::string what = error.what();
            EXPECT_EQ(error.offset(), offset) << what;
            EXPECT_EQ(what.rfind("offset " + std::to_string(offset) + ": ", 0), 0u) << what;
            EXPECT_NE(what.find(message), std::string::npos) << what;
        }
    }
}

// Nesting far deeper than a document reaches reads, and every user of the tree copes
// with it; one level more is refused before the stack can run out.
TEST(VspReaderErrors, NestingReadsUpToItsLimitAndIsRefusedBeyond) {
    constexpr int kLimit = 1000;
    const std::string open = "group \"g\" {\n", leaf = "material \"m\" {\nsurface \"s\" {\n}\n}\n";
    std::string deepest;
    for (int i = 0; i + 2 < kLimit; ++i) deepest += open;
    deepest += leaf;
    for (int i = 0; i + 2 < kLimit; ++i) deepest += "}\n";
    const vsp::Node root = vsp::parse(deepest);
    EXPECT_EQ(root.all(vsp::NodeKind::Shader).size(), 1u);
    EXPECT_EQ(vsp::summarize(root).nodes.at(vsp::NodeKind::Group), size_t(kLimit - 2));
    std::ostringstream tree;
    vsp::printTree(tree, root);
    EXPECT_EQ(vsp::toJson(root)["children"][0]["name"], "g");

    const std::string tooDeep = open + deepest;
    try {
        vsp::parse(tooDeep);
        ADD_FAILURE() << "accepted";
    } catch (const vsp::ParseError& error) {
        EXPECT_EQ(error.offset(), tooDeep.find("\"s\" {"));  // the shader one level too deep
        EXPECT_NE(std::string(error.what()).find("nested more than 1000 deep"), std::string::npos);
    }
}
