// Models through the built plug-in: "Export to .vsp" in the runner writes a scene
// file that the scene-file reader parses, with a group for every object.
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
        // The box has no lights, so its triangles are its twelve, once meshes are written.
        if (summary.triangles > 0 && counts.lights == 0) {
            EXPECT_EQ(summary.triangles, 12u) << name;
        }
    }
}

}  // namespace
