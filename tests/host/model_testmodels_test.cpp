// The test models of assimp-testmodels. The expected counts are the files' own: read
// from their text (glTF JSON, OBJ lines, PLY headers, Collada elements) or, for
// binary FBX, from the node tree and animation keys Assimp shows for them.
#include <gtest/gtest.h>

#include "model_test_support.h"
#include "vantrel_host/model_import.h"
#include "vsp/Reader.h"
#include "vsp/Summary.h"

namespace {

using namespace vantrel_host;
using namespace vantrel_host::testing;
namespace fs = std::filesystem;

// Each model also goes through the built plug-in's export in the runner, which removes
// the temporary folder of the textures the model embeds when it is done or has failed.
TEST(TestModels, CountsMatchWhatTheFilesHoldAndTheExportWritesThem) {
    SKIP_WITHOUT_TEST_MODELS();
    TempDir dir;
    fs::create_directory(dir.File("tmp"));
    const std::string env = "TMPDIR='" + dir.File("tmp") + "'", out = dir.File("out.vsp");
    const std::pair<const char*, const char*> cases[] = {
        // Two nodes; one primitive of 36 indices with material 0.
        {"glTF2/BoxTextured-glTF/BoxTextured.gltf",
         "objects 2, polygons 12, materials 1, cameras 0, lights 0, tracks 0"},
        // The same in binary glTF, its texture embedded.
        {"glTF2/BoxTextured-glTF-Binary/BoxTextured.glb",
         "objects 2, polygons 12, materials 1, cameras 0, lights 0, tracks 0"},
        // The visual scene and three <node>s; a polylist of 12; the bone's 40 keyed
        // matrices move, turn and scale it: three channels.
        {"Collada/box_nested_animation.dae",
         "objects 4, polygons 12, materials 1, cameras 0, lights 0, tracks 9"},
        // 16 nodes, a camera and a lamp; 68 faces; of the ten animated nodes the
        // armature holds still, "Bone" turns and scales, eight bones do all three.
        {"FBX/huesitos.fbx",
         "objects 18, polygons 68, materials 1, cameras 1, lights 1, tracks 78"},
        // The file's root and one "g"; 12 "f"; "usemtl" mtl3, mtl, mtl2.
        {"OBJ/cube_usemtl.obj",
         "objects 2, polygons 12, materials 3, cameras 0, lights 0, tracks 0"},
        // "element vertex 70051" and no faces: a point cloud.
        {"PLY/pond.0.ply", "objects 1, polygons 0, materials 1, cameras 0, lights 0, tracks 0"},
    };
    for (const auto& [file, expected] : cases) {
        SCOPED_TRACE(file);
        const std::string path = (kTestModels / file).string();
        std::string error;
        const ModelDocument model = ImportModel(path, error);
        ASSERT_TRUE(model.document) << error;
        const Counts counts = Count(*model.document);
        EXPECT_EQ(Summary(counts), expected);
        EXPECT_GT(counts.points, 0);

        const std::string run = std::string("--plugins '") + VANTREL_PLUGIN_DIR + "' --document '" +
                                path + "' --command export ";
        CommandRun r = RunHost(run + "--select Nobody", env);
        EXPECT_EQ(r.status, 1) << r.output;
        r = RunHost(run + "--save-as '" + out + "'", env);
        ASSERT_EQ(r.status, 0) << r.output;
        EXPECT_TRUE(fs::is_empty(dir.File("tmp")));
        // The model group, named after the file without suffix, holds a group per object;
        // an animation per track, the cameras; the models without lights, a triangle per
        // polygon.
        const vsp::Node root = vsp::parseFile(out);
        vsp::Summary summary = vsp::summarize(root);
        EXPECT_EQ(summary.nodes[vsp::NodeKind::Group], size_t(counts.objects) + 1);
        const std::string top = model.document->GetFirstObject()->GetName().GetUtf8();
        EXPECT_NE(root.find(fs::path(path).stem().string() + "/" + top), nullptr);
        EXPECT_EQ(summary.nodes[vsp::NodeKind::Animation], size_t(counts.tracks));
        EXPECT_EQ(summary.nodes[vsp::NodeKind::Camera], size_t(counts.cameras));
        if (counts.lights == 0) {
            EXPECT_EQ(summary.triangles, size_t(counts.polygons));
        }
    }
}

TEST(TestModels, InvalidFilesGiveErrorsNotCrashes) {
    SKIP_WITHOUT_TEST_MODELS();
    int tried = 0;
    for (const auto& entry : fs::directory_iterator(kTestModels / "invalid")) {
        const std::string path = entry.path().string(), name = entry.path().filename().string();
        if (!IsModelFile(path)) continue;  // readme.txt
        SCOPED_TRACE(name);
#if defined(__SANITIZE_ADDRESS__)
        // The sanitizer aborts on the refused giant allocation instead of throwing.
        if (name == "OutOfMemory.off") continue;
#endif
        ++tried;
        std::string error;
        const ModelDocument model = ImportModel(path, error);
        if (name == "malformed2.obj") {  // Assimp stands in a default for its missing material
            EXPECT_TRUE(model.document) << error;
            continue;
        }
        EXPECT_FALSE(model.document);
        EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
    }
    EXPECT_GE(tried, 13);
}

}  // namespace
