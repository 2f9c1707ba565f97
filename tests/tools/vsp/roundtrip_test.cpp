// Scenes written by the text writer read back to the same tree in every output mode, and
// damaged copies of them never crash the reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "tavsceneapi_file.h"
#include "vsp/Json.h"
#include "vsp/Reader.h"

namespace {

const char kOddName[] = "Cube \"1\"\nw\xc3\xa4hlen";  // quote, newline and UTF-8: hex-encoded

tavMatrix matrix(double scale, double x) {
    return {{scale, 0, 0, 0, 0, scale, 0, 0, 0, 0, scale, 0, x, 0, 0, 1}};
}

template <class T>
void set(tavScene_api& api, const char* name, tavType type, T value) {
    api.set_parameter(name, type, &value);
}
template <class T>
void setArray(tavScene_api& api, const char* name, tavType element, const std::vector<T>& values) {
    tavArray array{values.data(), static_cast<uint32_t>(values.size())};
    api.set_parameter(name, TAV_ARRAY | element, &array);
}

// What an export writes, plus the writer's other value forms. Values are exact in
// both "%g" text and binary so that every mode reads back the same numbers.
void writeScene(tavScene_api& api) {
    api.add_comment("//---tavrin:dal:7---\n");
    api.print("banner");
    api.set_version(9);
    api.module_begin("tavrtopt.so");
    set(api, "import_mode", TAV_BOOL, 1);
    set(api, "meter_scale", TAV_FLOAT, 100.0f);
    api.set_parameter("import_use_camera", TAV_STRING, "Cam");
    api.module_end();

    api.camera_begin("Cam");
    api.set_parameter("projection", TAV_STRING, "perspective");
    set(api, "fov", TAV_FLOAT, 45.0f);
    api.shader_begin(nullptr, "tav_envmap");
    api.set_parameter("texture", TAV_STRING, "startup.hdr");
    api.shader_end();
    set(api, "reflection map", TAV_SHADER, api.shader_get());
    set(api, "position", TAV_VECTOR, tavVector{0, 0.5, -2});
    api.camera_end();

    api.group_begin("untitled", true);
    api.set_flags(1);
    api.transform(matrix(1, 0));
    api.group_begin(kOddName, true);
    api.set_flags(1);
    api.object_begin(kOddName, true);
    api.geometry_use("triangles");
    setArray<tavColor>(api, "vertices", TAV_COLOR, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}});
    setArray<float>(api, "uv_tex", TAV_FLOAT, {0, 0, 1, 0, 0.5, 1});
    setArray<int>(api, "triangles", TAV_INT, {0, 2, 1, 2, 1, 3});
    api.geometry_end();

    api.shader_begin(nullptr, "texture2_rgb");
    api.set_parameter("texture", TAV_STRING, kOddName);  // raw bytes inside the capture
    set(api, "wrap", TAV_BOOL, 0);
    set(api, "transform_obj_to_uv", TAV_MATRIX, matrix(0.5, 0));
    api.shader_end();
    tavShader* texture = api.shader_get();
    api.shader_begin(nullptr, "tav_advanced");
    set(api, "diffuse", TAV_COLOR, tavColor{1, 1, 1});
    set(api, "ior", TAV_FLOAT, 1.5f);
    set(api, "glossy_samples", TAV_INT, 9);
    api.set_subshader("diffuse", texture);
    api.shader_end();
    tavShader* surface = api.shader_get();
    api.material_begin("Mat", true);
    api.material_set_shader(TAV_SHADER_SURFACE, surface);
    api.material_end();
    api.object_end();

    api.animation_begin("fbx_animation", "Cube.Position");
    set(api, "start_time", TAV_INT, 1);
    setArray<tavMatrix>(api, "matrices", TAV_MATRIX, {matrix(1, 0), matrix(1, 2.5)});
    setArray<int>(api, "timestamps", TAV_INT, {0, 40});
    api.animation_end();
    api.group_end();
    api.group_end();

    api.initialize_array_mode("colors");
    for (float c : {0.f, 0.25f, 0.5f}) {
        tavColor color{c, c, 1};
        api.set_array_parameter(TAV_COLOR, &color);
    }
    api.finalize_array_mode();
    api.initialize_array_mode("ids");
    for (int i = 0; i < 8; ++i) api.set_array_parameter(TAV_INT, &i);
    api.finalize_array_mode();
    const char* names[] = {"a", kOddName};
    setArray<const char*>(api, "names", TAV_STRING, {names[0], names[1]});
    setArray<double>(api, "weights", TAV_DOUBLE, {0.5, -2.25});
    setArray<float>(api, "none", TAV_FLOAT, {});
    api.set_data("thumbnail", "\x00\n\xff", 3);
    api.set_progress("done", 1.0f);
}

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
        writeScene(writer);
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

        EXPECT_EQ(root.findStatement("//")->arg(0).text(), "---tavrin:dal:7---");
        EXPECT_EQ(root.findStatement("#print")->arg(0).text(), "banner");
        EXPECT_EQ(root.findStatement("version")->arg(0).integer(), 9);
        EXPECT_EQ(root.at("tavrtopt.so").param("meter_scale").number(), 100);
        EXPECT_EQ(root.at("Cam").shader("reflection map").param("texture").text(), "startup.hdr");
        EXPECT_EQ(root.at("Cam").param("position").numbers(), (std::vector<double>{0, 0.5, -2}));

        const vsp::Node& object = root.at(std::string("untitled/") + kOddName + "/" + kOddName);
        const vsp::Node& mesh = object.at("triangles");
        EXPECT_EQ(mesh.param("vertices").floats(),
                  (std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}));
        EXPECT_EQ(mesh.param("vertices").arity(), 3u);
        EXPECT_EQ(mesh.param("triangles").ints(), (std::vector<int>{0, 2, 1, 2, 1, 3}));
        const vsp::Node& surface = object.at("Mat").shader("surface");
        EXPECT_EQ(surface.name, "tav_advanced");
        const vsp::Node& texture = surface.shader("diffuse");
        EXPECT_EQ(texture.param("texture").text(), kOddName);
        EXPECT_EQ(texture.param("transform_obj_to_uv").matrix()[0], 0.5);
        const vsp::Node& animation =
            root.at("untitled/" + std::string(kOddName) + "/fbx_animation");
        EXPECT_EQ(animation.labels.at(1), "Cube.Position");
        EXPECT_EQ(animation.param("matrices").matrices().at(1)[12], 2.5);
        EXPECT_EQ(animation.param("timestamps").ints(), (std::vector<int>{0, 40}));

        EXPECT_EQ(root.param("colors").numbers(),
                  (std::vector<double>{0, 0, 1, 0.25, 0.25, 1, 0.5, 0.5, 1}));
        EXPECT_EQ(root.param("ids").ints(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
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
    for (size_t length = 0; length < valid.size(); ++length) tryParse(valid.substr(0, length));

    std::mt19937 random(20240607);
    auto below = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    for (int round = 0; round < 10000; ++round) {
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
