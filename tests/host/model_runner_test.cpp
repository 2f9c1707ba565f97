// Models in the runner: opened, refused, and exported through the built plug-in into a
// scene file that the scene-file reader parses, holding what the model holds.
#include <gtest/gtest.h>

#include "model_test_support.h"
#include "vantrel_host/model_import.h"
#include "vsp/Reader.h"
#include "vsp/Summary.h"

namespace {

using namespace vantrel_host;
using namespace vantrel_host::testing;
namespace fs = std::filesystem;

TEST(ModelRunner, UnreadableModelsFailWithStatus1AndLargeOnesShowProgress) {
    TempDir dir;
    const std::string empty = dir.Write("empty.obj", "");
    RunResult r = RunHost("--document '" + empty + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output,
              "vantrel-host: " + empty + ": Assimp cannot read the file: OBJ-file is too small.\n");

    {
        std::ofstream obj(dir.File("big.obj"));
        obj << "o Big\n";
        for (int i = 0; i < 150000; ++i) obj << "v " << i << ".125 " << i % 97 << ".5 0.0625\n";
        for (int i = 1; i + 2 <= 150000; i += 3)
            obj << "f " << i << ' ' << i + 1 << ' ' << i + 2 << '\n';
    }
    ASSERT_GE(fs::file_size(dir.File("big.obj")), 4u << 20);
    r = RunHost("--plugins '" + dir.Path() + "' --document '" + dir.File("big.obj") + "'");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("\rvantrel-host: loading big.obj: 100%\n"
                            "Opened big.obj: 2 objects. No plug-in is loaded.\n"),
              std::string::npos)
        << r.output;
}

// The textures a model embeds lie in a temporary folder that the runner removes when it
// is done or has failed.
TEST(ModelExport, GltfAndFbxExportThroughThePluginAndLeaveNoTextures) {
    SKIP_WITHOUT_TEST_MODELS();
    TempDir dir;
    fs::create_directory(dir.File("tmp"));
    const std::string env = "TMPDIR='" + dir.File("tmp") + "'";
    for (const char* name : {"glTF2/BoxTextured-glTF-Binary/BoxTextured.glb", "FBX/huesitos.fbx"}) {
        const std::string path = (kTestModels / name).string(), out = dir.File("out.vsp");
        std::string error;
        const ModelDocument model = ImportModel(path, error);
        ASSERT_TRUE(model.document) << error;
        const Counts counts = Count(*model.document);
        const std::string run = std::string("--plugins '") + VANTREL_PLUGIN_DIR + "' --document '" +
                                path + "' --command export ";
        RunResult r = RunHost(run + "--save-as '" + out + "'", env);
        ASSERT_EQ(r.status, 0) << r.output;
        EXPECT_TRUE(fs::is_empty(dir.File("tmp"))) << name;
        r = RunHost(run + "--select Nobody", env);
        EXPECT_EQ(r.status, 1) << r.output;
        EXPECT_TRUE(fs::is_empty(dir.File("tmp"))) << name;

        const vsp::Node root = vsp::parseFile(out);
        vsp::Summary summary = vsp::summarize(root);
        // The model group, named after the file without suffix, holds a group per object.
        EXPECT_EQ(summary.nodes[vsp::NodeKind::Group], size_t(counts.objects) + 1) << name;
        const std::string top = model.document->GetFirstObject()->GetName().GetUtf8();
        EXPECT_NE(root.find(fs::path(path).stem().string() + "/" + top), nullptr);
        // An animation per track, the cameras; the box, without lights, its twelve triangles.
        EXPECT_EQ(summary.nodes[vsp::NodeKind::Animation], size_t(counts.tracks)) << name;
        EXPECT_EQ(summary.nodes[vsp::NodeKind::Camera], size_t(counts.cameras)) << name;
        if (counts.lights == 0) {
            EXPECT_EQ(summary.triangles, 12u) << name;
        }
    }
}

}  // namespace
