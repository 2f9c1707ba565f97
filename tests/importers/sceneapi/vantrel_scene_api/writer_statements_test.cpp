#include <gtest/gtest.h>

#include "writer_output.h"

namespace {

const tavMatrix kIdentity{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

}  // namespace

// Object, geometry, material, group, output and shader blocks show in the tests below.
TEST(WriterBlocks, EachBlockOpensWithItsKeywordAndClosesWithABraceLine) {
    WriterOutput out;
    out->object_begin("cube", false);
    out->object_end();
    out->group_begin("g", false);
    out->group_end();
    out->animation_begin("fbx_animation", "track");
    out->animation_end();
    out->module_begin("tavrtopt.so");
    out->module_end();
    out->light_begin("sun");
    out->light_end();
    out->accel_use("bvh");
    out->accel_end();
    out->matrix_begin("m");
    out->matrix_end();
    out->material_begin("Chrome", false);
    out->material_end();
    EXPECT_EQ(out.take(),
              "#define object \"cube\" {\n}\n"
              "\n#define group \"g\" {\n}\n"
              "animation \"fbx_animation\" \"track\" {\n}\n"
              "load \"tavrtopt.so\" {\n}\n"
              "\nlight \"sun\" {\n}\n"
              "\naccel \"bvh\" {\n}\n"
              "#define matrix \"m\" {\n}\n"
              "\n#define material \"Chrome\" {\n}\n");
}

TEST(WriterBlocks, TopLevelBlocksAreExclusive) {
    WriterOutput out;
    EXPECT_TRUE(out->camera_begin(nullptr));
    EXPECT_FALSE(out->options_begin());
    EXPECT_FALSE(out->image_begin());
    out->camera_end();
    out->object_begin("o", true);
    EXPECT_FALSE(out->camera_begin("cam"));
    out->object_end();
    EXPECT_TRUE(out->camera_begin("cam"));
    out->camera_end();
    EXPECT_TRUE(out->options_begin());
    out->options_end();
    out->shader_begin(nullptr, "tav_envmap");  // a capture does not swallow a top-level block
    EXPECT_TRUE(out->image_begin());
    out->image_end();
    EXPECT_EQ(out.take(),
              "\ncamera {\n}\nobject \"o\" {\n}\n"
              "\ncamera \"cam\" {\n}\n\noptions {\n}\n\nimage {\n}\n");
}

TEST(WriterBlocks, ParameterStyleFollowsTheInnermostBlock) {
    WriterOutput out;
    int on = 1;
    out->set_parameter("top", TAV_BOOL, &on);
    out->object_begin("o", true);
    out->set_parameter("visible", TAV_BOOL, &on);
    out->geometry_use("triangles");
    out->set_parameter("smooth", TAV_BOOL, &on);
    out->geometry_end();
    out->material_begin("m", true);
    out->set_parameter("inherits", TAV_BOOL, &on);
    out->material_end();
    out->object_end();
    // An unmatched options end writes nothing but falls back to list style.
    out->group_begin("g", true);
    out->options_end();
    out->set_parameter("x", TAV_INT, &on);
    EXPECT_EQ(out.take(),
              "\"top\" on,\n"
              "object \"o\" {\nvisible on\n"
              "geometry \"triangles\" {\n\"smooth\" on,\n}\n"
              "material \"m\" {\ninherits on\n}\n"
              "}\n"
              "\ngroup \"g\" {\n\"x\" 1,\n");
}

TEST(WriterStatements, SingleLineStatementsAndWriterOnlyBlocks) {
    WriterOutput out;
    tavMatrix m = kIdentity;
    m.m[1] = 1e-50;  // 0 once rounded to single precision, as every transform is
    m.m[12] = 0.1;
    m.m[13] = -2.5;
    m.m[14] = 1e7;
    out->transform(m);
    out->transform_set(m);
    out->scale(1, 2, 3);
    out->rotate(0.5, 0, -90);
    out->translate(1e-7, 0, 1234567);
    out->set_version(-1);
    out->set_version(9);
    out->set_id(-1);
    out->set_flags(1);
    out->set_progress("Cube", 0.25f);
    out->set_attribute("source file", "source file");
    out->add_comment("// header\n\n");
    out->print("Vantrel \"x\"");
    out->error("bad");
    out->render();
    const char icon[] = {0x00, 0x01, static_cast<char>(0xFF)};
    out->set_icon(icon, 3);
    out->set_data("thumb", icon, 2);
    EXPECT_TRUE(out->camera_modify("cam"));
    out->camera_end();
    out->material_modify("m");
    out->material_end();
    out->geometry_define("mesh", "triangles");
    EXPECT_TRUE(out->geometry_use("ignored inside a definition"));
    out->geometry_end();
    out->instance_create("mesh");
    out->frame_begin(3);
    out->frame_end();
    out->motion_transform(m, 0.5);
    EXPECT_EQ(out.take(),
              "transform 1 0 0 0 0 1 0 0 0 0 1 0 0.1 -2.5 1e+07 1\n"
              "set transform 1 0 0 0 0 1 0 0 0 0 1 0 0.1 -2.5 1e+07 1\n"
              "scale 1 2 3\nrotate 0.5 0 -90\ntranslate 1e-07 0 1.23457e+06\n"
              "version 8\n\nversion 9\n\nid 4294967295\nflags 1\n"
              "progress \"Cube\" 0.250\n\nattribute \"source file\" \"source file\"\n"
              "// header\n\n#print \"Vantrel \"x\"\"\n#error \"bad\"\n\nrender\n"
              "icon bX0001ff\nthumb bX0001\n"
              "#modify \ncamera \"cam\" {\n}\n"
              "#modify material \"m\" {\n}\n"
              "#define geometry \"mesh\" \"triangles\" {\n}\n"
              "instance \"mesh\"\n"
              "frame 3 {\n}\n"
              "motion 0.5 {\ntransform 1 0 0 0 0 1 0 0 0 0 1 0 0.1 -2.5 1e+07 1\n}\n");
}

// Without set_output_mode(0) nothing is indented, as every other test shows.
TEST(WriterStatements, IndentationFollowsTheLevelWhenEnabled) {
    WriterOutput out;
    out->set_output_mode(0);
    out->group_begin("a", true);
    out->group_begin("b", true);
    out->add_comment("one\ntwo\n");
    out->output_begin("a", "b", "c");
    out->output_end();
    out->transform(kIdentity);
    out->group_end();
    out->group_end();
    EXPECT_EQ(out.take(),
              "\ngroup \"a\" {\n"
              "\n group \"b\" {\n"
              "  one\n  two\n"
              "  output \"a\" \"b\" \"c\" {\n  }\n"
              "  transform 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n"
              " }\n"
              "}\n");
}
