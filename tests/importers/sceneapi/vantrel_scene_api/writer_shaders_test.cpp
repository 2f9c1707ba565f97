#include <gtest/gtest.h>

#include "writer_output.h"

namespace {

tavShader* capture_texture(tavScene_api& api) {
    api.shader_begin(nullptr, "texture2_rgb");
    api.set_parameter("texture", TAV_STRING, "wood.png");
    api.shader_end();
    return api.shader_get();
}

std::string text(tavShader* shader) { return static_cast<tavString*>(shader)->text; }

}  // namespace

// Raw bytes cannot take indentation: a capture holding them is embedded exactly as captured.
TEST(WriterCapture, ShadersGoInTheirSlotsRawCapturesUnindentedUnknownSlotsAsSurface) {
    WriterOutput out;
    out->set_output_mode(0);
    out->shader_begin(nullptr, "tav_diffuse");
    out->set_parameter("name", TAV_STRING, "caf\xc3\xa9");
    out->shader_end();
    tavShader* shader = out->shader_get();
    EXPECT_EQ(static_cast<tavString*>(shader)->raw, 1);
    out->shader_begin(nullptr, "tav_advanced");
    out->set_subshader("diffuse", shader);
    out->shader_end();
    EXPECT_EQ(static_cast<tavString*>(out->shader_get())->raw, 1);

    out->material_begin("m", true);
    out->material_set_shader(TAV_SHADER_SHADOW, shader);
    out->material_set_shader(TAV_SHADER_VOLUME, 2);
    out->material_set_shader(TAV_SHADER_REFLECTION_MAP, 4);
    out->material_set_shader(static_cast<tavShader_type>(7), 5);
    out->material_set_shader(TAV_SHADER_SURFACE, static_cast<tavShader*>(nullptr));
    out->material_end();
    EXPECT_EQ(out.take(),
              "material \"m\" {\n"
              " shadow \"tav_diffuse\" {\n \"name\" xX636166c3a9,\n}\n"
              " volume 2\n reflection map 4\n // assuming surface shader\n surface 5\n}\n");
}

TEST(WriterCapture, NestedCapturesStayInTheOuterAndNumberedShadersGoToTheStream) {
    WriterOutput out;
    out->shader_push();  // the caller's own save of the target, around everything below
    out->shader_begin(nullptr, "tav_advanced");
    tavShader* outer = out->shader_get();
    out->shader_push();
    tavShader* texture = capture_texture(*out);
    out->shader_pop();
    out->set_subshader("diffuse", texture);
    out->shader_begin("tav_diffuse", 3);
    out->shader_end();
    out->shader_begin("wood", "texture2_rgb");
    out->shader_end();
    out->set_subshader("bump", 3);
    out->shader_end();
    EXPECT_EQ(out->shader_get(), outer);
    // Every shader_end took off what its shader_begin put on the target stack.
    out->shader_pop();
    EXPECT_EQ(out->shader_get(), nullptr);
    EXPECT_EQ(
        std::string(static_cast<tavString*>(outer)->text),
        "\"tav_advanced\" {\n\"diffuse\" ! \"texture2_rgb\" {\n\"texture\" \"wood.png\",\n},\n"
        "\"bump\" ! 3,\n}");
    EXPECT_EQ(out.take(),
              "#define shader 3 tav_diffuse {\n}\n"
              "#define shader \"wood\" \"texture2_rgb\" {\n}\n");
}

// Without shader_push and shader_pop the closed inner capture stays the target, so what the
// outer writes next lands in it; levels and the capture flag still come back.
TEST(WriterCapture, NestedCaptureWithoutPushAndPopLeavesTheInnerAsTarget) {
    WriterOutput out;
    out->set_output_mode(0);
    const int32_t one = 1;
    out->shader_begin(nullptr, "tav_advanced");
    tavShader* outer = out->shader_get();
    out->set_parameter("a", TAV_INT, &one);
    tavShader* inner = capture_texture(*out);
    out->set_parameter("b", TAV_INT, &one);
    out->shader_end();
    EXPECT_EQ(out->shader_get(), inner);
    EXPECT_EQ(text(outer), "\"tav_advanced\" {\n \"a\" 1,\n");
    EXPECT_EQ(text(inner), "\"texture2_rgb\" {\n \"texture\" \"wood.png\",\n} \"b\" 1,\n}");
    out->material_use("m");
    EXPECT_EQ(out.take(), "material \"m\"\n");
}

TEST(WriterCapture, ShaderParameterIsEmbeddedAtLevelTwo) {
    WriterOutput out;
    out->set_output_mode(0);
    tavShader* texture = capture_texture(*out);
    out->camera_begin("cam");
    out->set_parameter("reflection map", TAV_SHADER, &texture);
    out->camera_end();
    EXPECT_EQ(out.take(),
              "\ncamera \"cam\" {\n"
              " reflection map   \"texture2_rgb\" {\n   \"texture\" \"wood.png\",\n  }\n"
              "}\n");
}

TEST(WriterCapture, EmbeddingACaptureWithoutTextWritesNothing) {
    tavScene_api_file silent(static_cast<FILE*>(nullptr), false);
    silent.shader_begin(nullptr, "tav_diffuse");
    silent.shader_end();
    tavShader* empty = silent.shader_get();
    ASSERT_NE(empty, nullptr);

    WriterOutput out;
    out->shader_begin(nullptr, "tav_advanced");
    out->set_subshader("diffuse", empty);
    out->shader_end();
    EXPECT_EQ(std::string(static_cast<tavString*>(out->shader_get())->text),
              "\"tav_advanced\" {\n\"diffuse\" ! ,\n}");
}
