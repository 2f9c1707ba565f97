#include <gtest/gtest.h>

#include <fstream>

#include "model_test_support.h"
#include "test_support.h"

namespace {

using namespace vantrel_host::testing;
namespace fs = std::filesystem;

TEST(ModelRunner, OpensModelsAndRemovesTheirTexturesWhenDone) {
    SKIP_WITHOUT_TEST_MODELS();
    TempDir dir;
    fs::create_directory(dir.Path() / "tmp");
    const std::string env = "TMPDIR='" + dir.File("tmp") + "'";
    const std::string glb =
        (kTestModels / "glTF2/BoxTextured-glTF-Binary/BoxTextured.glb").string();
    RunResult r = RunHost(env, "--plugins '" + dir.Path().string() + "' --document '" + glb + "'");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "Opened BoxTextured.glb: 2 objects. No plug-in is loaded.\n");
    EXPECT_TRUE(fs::is_empty(dir.File("tmp")));

    // Also when the run fails after the document opened.
    r = RunHost(env, std::string("--plugins '") + VANTREL_PROBE_PLUGIN_DIR + "' --document '" +
                         glb + "' --command Probe --select Nobody");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_TRUE(fs::is_empty(dir.File("tmp")));
}

TEST(ModelRunner, UnreadableModelsFailWithStatus1) {
    TempDir dir;
    const std::string empty = dir.Write("empty.obj", "");
    const RunResult r = RunHost("", "--document '" + empty + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output,
              "vantrel-host: " + empty + ": Assimp cannot read the file: OBJ-file is too small.\n");
}

TEST(ModelRunner, LargeModelsShowAProgressLine) {
    TempDir dir;
    {
        std::ofstream obj(dir.File("big.obj"));
        obj << "o Big\n";
        for (int i = 0; i < 150000; ++i) obj << "v " << i << ".125 " << i % 97 << ".5 0.0625\n";
        for (int i = 1; i + 2 <= 150000; i += 3)
            obj << "f " << i << ' ' << i + 1 << ' ' << i + 2 << '\n';
    }
    ASSERT_GE(fs::file_size(dir.File("big.obj")), 4u << 20);
    const RunResult r = RunHost(
        "", "--plugins '" + dir.Path().string() + "' --document '" + dir.File("big.obj") + "'");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("\rvantrel-host: loading big.obj: 100%\n"), std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("Opened big.obj: 2 objects."), std::string::npos) << r.output;
}

}  // namespace
