// Models through the built plug-in: "Export to .vsp" in the runner writes a scene
// file that the scene-file reader parses, holding what the model holds.
#include <gtest/gtest.h>

#include "model_test_support.h"
#include "test_support.h"
#include "vantrel_host/model_import.h"
#include "vsp/Reader.h"
#include "vsp/Summary.h"

namespace {

using namespace vantrel_host;
using namespace vantrel_host::testing;

TEST(ModelExport, GltfAndFbxExportThroughThePlugin) {
    SKIP_WITHOUT_TEST_MODELS();
    TempDir dir;
    for (const char* name : {"glTF2/BoxTextured-glTF/BoxTextured.gltf", "FBX/huesitos.fbx"}) {
        const std::string path = (kTestModels / name).string();
        std::string error;
        const ModelDocument model = ImportModel(path, error);
        ASSERT_TRUE(model.document) << error;
        const Counts counts = Count(*model.document);

        const std::string out = dir.File("out.vsp");
        const RunResult r =
            RunHost("", std::string("--plugins '") + VANTREL_PLUGIN_DIR + "' --document '" + path +
                            "' --command export --save-as '" + out + "'");
        ASSERT_EQ(r.status, 0) << r.output;
        const vsp::Node root = vsp::parseFile(out);
        vsp::Summary summary = vsp::summarize(root);
        // The model group, named after the file without suffix, holds a group per object.
        EXPECT_EQ(summary.nodes[vsp::NodeKind::Group], size_t(counts.objects) + 1) << name;
        const std::string top = model.document->GetFirstObject()->GetName().GetUtf8();
        EXPECT_NE(root.find(std::filesystem::path(path).stem().string() + "/" + top), nullptr);
        // An animation per track, the cameras; the box, without lights, its twelve triangles.
        EXPECT_EQ(summary.nodes[vsp::NodeKind::Animation], size_t(counts.tracks)) << name;
        EXPECT_EQ(summary.nodes[vsp::NodeKind::Camera], size_t(counts.cameras)) << name;
        if (counts.lights == 0) {
            EXPECT_EQ(summary.triangles, 12u) << name;
        }
    }
}

}  // namespace
