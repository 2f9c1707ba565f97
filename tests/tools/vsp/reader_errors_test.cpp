#include <gtest/gtest.h>

#include <random>

#include "binary_block.h"
#include "vsp/Reader.h"

namespace {

struct Malformed {
    std::string input;
    size_t offset;
    std::string message;
};

}  // namespace

TEST(VspReaderErrors, MalformedInputsReportWhatAndWhere) {
    std::string nested;
    for (int i = 0; i < 300; ++i) nested += "light \"l\" {\n";
    const std::vector<Malformed> cases = {
        {"}\n", 0, "'}' without an open block"},
        {"\ngroup \"g\" {\nflags 1\n", 21, "group \"g\" at offset 1 is not closed"},
        {"\"name 1,\n", 0, "quoted text is not closed on its line"},
        {"\"n\" xX616,\n", 9, "odd number of hex digits"},
        {"\"n\" [ " + binaryBlock<float>('f', {1}, 1000) + "] ,\n", 6,
         "1000 elements needs 4000 bytes, only 8 remain"},
        {"\"n\" [ " + binaryBlock<float>('q', {1}) + "] ,\n", 6, "unknown type 113"},
        {"\"n\" [ " + binaryBlock<float>('c', {1, 2}) + "] ,\n", 6, "not a multiple of 3"},
        {"\"n\" [ \x01\x02\x03", 6, "cut off in its 8-byte header"},
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
        {nested, 200 * 12, "nested more than 200 deep"},
    };
    for (const auto& bad : cases) {
        try {
            vsp::parse(bad.input);
            ADD_FAILURE() << "accepted: " << bad.input;
        } catch (const vsp::ParseError& error) {
            EXPECT_EQ(error.offset(), bad.offset) << error.what();
            EXPECT_NE(std::string(error.what()).find(bad.message), std::string::npos)
                << error.what();
            EXPECT_EQ(std::string(error.what()).rfind("offset " + std::to_string(bad.offset), 0),
                      0u);
        }
    }
}

// Every prefix and many random mutations of a file using every construct either parse
// or fail with an offset inside the input; the sanitizer build checks every access.
TEST(VspReaderErrors, TruncatedAndMutatedFilesNeverCrash) {
    const std::string valid =
        "//---tavrin:dal:7---\n#print \"banner\"\nversion 9\n\n"
        "load \"tavrtopt.so\" {\n\"import_mode\" on,\n\"meter_scale\" 100,\n}\n"
        "\ncamera \"c\" {\nfov 45\nreflection map \"tav_envmap\" {\n\"radius\" 25,\n}\n}\n"
        "\ngroup xX610a {\nflags 1\ntransform 1 0 0 0 0 1 0 0 0 0 -1 0 0 0 0 1\n"
        "object \"o\" {\ngeometry \"triangles\" {\n\"vertices\" [ " +
        binaryBlock<float>('c', {0, 0, 0, 1, 0, 0, 0, 1, 0}) + "] ,\n\"triangles\" [ " +
        binaryBlock<int32_t>('i', {0, 2, 1}) + "] ,\n\"uv\" [\n" + binaryBlock<double>('r', {0.5}) +
        " ],\n}\n" +
        "material \"m\" {\nsurface \"tav_advanced\" {\n\"diffuse\" ! \"texture2_rgb\" {\n"
        "\"texture\" \"a.png\",\n},\n}\n}\n}\n"
        "animation \"fbx_animation\" \"t\" {\n\"matrices\" [ 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 \n] "
        ",\n"
        "\"names\" [ \"a\",\n] ,\n}\n}\ndata bX00ff\n";
    ASSERT_NO_THROW(vsp::parse(valid));
    auto tryParse = [](const std::string& input) {
        try {
            vsp::parse(input);
        } catch (const vsp::ParseError& error) {
            ASSERT_LE(error.offset(), input.size());
        }
    };
    for (size_t length = 0; length < valid.size(); ++length) tryParse(valid.substr(0, length));

    std::mt19937 random(20240607);
    auto below = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    for (int round = 0; round < 10000; ++round) {
        std::string mutated = valid;
        for (int edits = 1 + static_cast<int>(below(4)); edits > 0; --edits) {
            size_t at = below(mutated.size());
            char byte = static_cast<char>(below(256));
            switch (below(3)) {
                case 0:
                    mutated[at] = byte;
                    break;
                case 1:
                    mutated.insert(mutated.begin() + static_cast<long>(at), byte);
                    break;
                default:
                    mutated.erase(at, 1 + below(8));
                    break;
            }
            if (mutated.empty()) mutated = "}";
        }
        tryParse(mutated);
    }
}
