// Scenes written by the text writer read back to the same tree in every output mode, and
// damaged copies of them never crash the reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "sample_scene.h"
#include "tavsceneapi_file.h"
#include "vsp/Json.h"
#include "vsp/Reader.h"

namespace {

using sample_scene::kOddName;

// The tree without what legitimately differs between modes: offsets and binary letters.
void stripModeDetails(nlohmann::json& json) {
    if (json.is_object()) {
        json.erase("offset");
        json.erase("binary");
    }
    if (json.is_structured())
        for (auto& item : json) stripModeDetails(item);
}

std::string written(tavScene_api_output_mode mode) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* stream = open_memstream(&buffer, &size);
    {
        tavScene_api_file writer(stream, false);
        writer.set_output_mode(mode);
        sample_scene::writeScene(writer);
    }
    std::fclose(stream);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

}  // namespace

TEST(VspRoundTrip, WriterScenesReadBackToTheSameTreeInEveryMode) {
    nlohmann::json reference;
    const tavScene_api_output_mode modes[] = {TAV_OUTPUT_DEFAULT,
                                              TAV_OUTPUT_DEFAULT | TAV_OUTPUT_BINARY,
                                              TAV_OUTPUT_BINARY, 0};  // indented without the flag
    for (tavScene_api_output_mode mode : modes) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        const vsp::Node root = vsp::parse(written(mode));

        EXPECT_EQ(root.at("Cam").shader("reflection map").param("texture").text(), "startup.hdr");

        const vsp::Node& object = root.at(std::string("untitled/") + kOddName + "/" + kOddName);
        EXPECT_EQ(object.at("triangles").param("vertices").arity(), 3u);
        const vsp::Node& texture = object.at("Mat").shader("surface").shader("diffuse");
        EXPECT_EQ(texture.param("texture").text(), kOddName);
        EXPECT_EQ(texture.param("transform_obj_to_uv").matrix()[0], 0.5);

        EXPECT_EQ(root.param("colors").numbers(),
                  (std::vector<double>{0, 0, 1, 0.25, 0.25, 1, 0.5, 0.5, 1}));
        EXPECT_EQ(root.param("names").texts(), (std::vector<std::string>{"a", kOddName}));
        EXPECT_EQ(root.param("weights").numbers(), (std::vector<double>{0.5, -2.25}));
        EXPECT_EQ(root.param("none").size(), 0u);
        EXPECT_EQ(root.param("thumbnail").bytes(), std::string("\x00\n\xff", 3));

        nlohmann::json tree = vsp::toJson(root);
        stripModeDetails(tree);
        if (reference.is_null())
            reference = tree;
        else
            EXPECT_EQ(tree, reference);
    }
}

// Every prefix and many random mutations of that scene either parse or fail with an
// offset inside the input; the sanitizer build checks every access.
TEST(VspRoundTrip, TruncatedAndMutatedScenesNeverCrashTheReader) {
    const std::string valid = written(TAV_OUTPUT_DEFAULT | TAV_OUTPUT_BINARY);
    auto tryParse = [](const std::string& input) {
        try {
            vsp::parse(input);
        } catch (const vsp::ParseError& error) {
            ASSERT_LE(error.offset(), input.size());
        }
    };
    for (size_t length = 0; length < valid.size(); ++length) {
        SCOPED_TRACE("first " + std::to_string(length) + " bytes");
        tryParse(valid.substr(0, length));
    }

    std::mt19937 random(20240607);
    auto below = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    for (int round = 0; round < 10000; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::string mutated = valid;
        for (size_t edits = 1 + below(4); edits > 0 && !mutated.empty(); --edits) {
            const size_t at = below(mutated.size()), how = below(3);
            const char byte = static_cast<char>(below(256));
            if (how == 0)
                mutated[at] = byte;
            else if (how == 1)
                mutated.insert(at, 1, byte);
            else
                mutated.erase(at, 1 + below(8));
        }
        tryParse(mutated);
    }
}
