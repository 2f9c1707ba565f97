// The preview renderer on scene text written here: faults in the file are reported, not
// fatal where a picture can still be made, and pictures do not depend on threads.
#include <gtest/gtest.h>

#include <string>

#include "picture_test_support.h"
#include "render.h"
#include "scene.h"
#include "vsp/Reader.h"

namespace {

// One quad facing the framing camera, with UVs and the given surface shader text.
std::string quadScene(const std::string& surface, const std::string& triangles = "0 2 1 0 3 2") {
    return "group \"g\" {\nobject \"quad\" {\ngeometry \"triangles\" {\n"
           "\"vertices\" [ -1 -1 0 1 -1 0 1 1 0 -1 1 0 ],\n\"uv_tex\" [ 0 1 1 1 1 0 0 0 ],\n"
           "\"triangles_uv\" [ " +
           triangles + " ],\n\"triangles\" [ " + triangles +
           " ],\n}\n"
           "material \"m\" {\nsurface " +
           surface + "\n}\n}\n}\n";
}

const char* kGreyDiffuse = "\"tav_diffuse\" {\n\"diffuse\" 0.5 0.5 0.5,\n}";

preview::Picture renderText(const std::string& text, preview::RenderSettings settings,
                            preview::Scene* sceneOut = nullptr) {
    const preview::Scene scene = preview::sceneFromTree(vsp::parse(text), ".");
    if (sceneOut) *sceneOut = scene;
    return preview::render(scene, settings);
}

// Enough tiles for the threads to share them out, and a surface whose mix of mirror and
// diffuse makes every pixel depend on its random numbers.
TEST(PreviewRender, SamePictureWhateverTheThreadsAndAnotherForAnotherSeed) {
    const std::string scene =
        quadScene("\"tav_advanced\" {\n\"diffuse\" 0.5 0.5 0.5,\n\"specular\" 0.4 0.4 0.4,\n}");
    preview::RenderSettings settings;
    settings.width = 160, settings.height = 120, settings.samples = 2;
    settings.threads = 1;
    const preview::Picture one = renderText(scene, settings);
    settings.threads = 4;
    EXPECT_EQ(renderText(scene, settings).rgb, one.rgb);
    settings.seed = 2;
    EXPECT_NE(renderText(scene, settings).rgb, one.rgb);
}

TEST(PreviewRender, UnreadableTextureIsReportedOnceAndShowsTheColour) {
    const std::string surface =
        "\"tav_advanced\" {\n\"diffuse\" 0.9 0.1 0.1,\n"
        "\"diffuse\" ! \"texture2_rgb\" {\n\"texture\" \"/nonexistent/t.png\",\n}\n}";
    preview::Scene scene;
    preview::RenderSettings settings;
    settings.width = 16, settings.height = 12, settings.samples = 2;
    const preview::Picture picture = renderText(quadScene(surface), settings, &scene);
    ASSERT_EQ(scene.warnings.size(), 1u);
    EXPECT_NE(scene.warnings[0].find("/nonexistent/t.png"), std::string::npos);
    const uint8_t* centre = &picture.rgb[(6 * 16 + 8) * 3];
    EXPECT_GT(centre[0], 2 * centre[2]);  // the material's red
}

TEST(VspRender, ExitCodesAndMessages) {
    Sandbox folder;  // a temporary folder
    const std::string good = folder.root() + "/good.vsp", badIndex = folder.root() + "/bad.vsp",
                      out = folder.root() + "/out.png";
    writeFile(good, quadScene(kGreyDiffuse));
    writeFile(badIndex, quadScene(kGreyDiffuse, "0 2 1 0 3 7"));
    const struct {
        std::string arguments;
        int status;
        std::string message;  // part of the output
    } cases[] = {
        {"'" + good + "' --out '" + out + "' --width 8 --height 8 --samples 1", 0, "wrote"},
        {"'" + good + "' --width 8", 2, "usage"},
        {"'" + good + "' --out '" + out + "' --samples 0", 2, "bad argument"},
        {"'" + folder.root() + "/missing.vsp' --out '" + out + "'", 1, "missing.vsp"},
        {"'" + badIndex + "' --out '" + out + "'", 1, "index 7 outside 4"},
        {"'" + good + "' --out '" + folder.root() + "/no/such/folder.png" +
             "' --width 8 --height 8",
         1, "folder.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const auto result = runCommand("'" VSP_RENDER "' " + c.arguments);
        EXPECT_EQ(result.status, c.status) << result.output;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
    }
    EXPECT_EQ(picture_test::readPng(out).width, 8);
}

}  // namespace
