// The built plug-in in the host runner: the export road into files, and Render then
// Update through a stand-in renderer launched in a sandbox.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "renderer_sandbox.h"
#include "run_command.h"
#include "vsp/Reader.h"

namespace {

// shell goes before the runner's command ("ulimit ...; exec ").
CommandRun runHost(const std::string& arguments, const std::string& shell = "") {
    return runCommand(shell + "\'" + VANTREL_HOST + "\' " + arguments);
}

// A successful export's run, once the file is there: its one line names the file, its size and what
// it holds.
CommandRun exported(const std::string& file, const std::string& content) {
    return {0, "Exported \"" + file + "\" (" + std::to_string(std::filesystem::file_size(file)) +
                   " bytes): " + content + "\n"};
}

// The import options of a scene, in order, as "name=value ...".
std::string importOptions(const vsp::Node& root) {
    std::string options;
    for (const vsp::Parameter& p : root.at("tavrtopt.so").parameters)
        options += p.name + "=" +
                   (p.value.kind() == vsp::ValueKind::Bool ? (p.value.boolean() ? "on" : "off")
                                                           : std::to_string(p.value.integer())) +
                   " ";
    return options;
}

std::string optionsWithAdjust(const std::string& adjust) {
    return "import_mode=on import_merge_groups=off import_merge_objects=off import_up_vector=1 "
           "meter_scale=100 import_keep_original=on import_center_geometry=off "
           "import_snap_to_ground=off import_adjust_camera=" +
           adjust + " import_adjust_environment=" + adjust + " ext=off ";
}

// The demo document's model group holds its objects at every depth, caches included, and
// its lights and its hair with the material of its tag.
void expectDemoModel(const vsp::Node& root) {
    for (const char* path :
         {"demo/Camera", "demo/Scene/Props/Box/Lid", "demo/Scene/Generator/Generated",
          "demo/Scene/Sun/Sun/Sun", "demo/Scene/Panel/Panel/Panel", "demo/Scene/Fur/Fur/Fur"})
        EXPECT_NE(root.find(path), nullptr) << path;
}

// A document of one textured grid of side x side quads with phong normals, written to path.
void writeGridDocument(const std::string& path, int side) {
    std::ofstream out(path);
    out << R"({"materials": [{"name": "Paint", "channels": ["color"]}], "objects": [)"
        << R"({"type": "polygon", "name": "Grid", "points": [)";
    for (int y = 0; y <= side; ++y)
        for (int x = 0; x <= side; ++x) out << (x || y ? ",[" : "[") << x << ",0," << y << "]";
    out << R"(], "polygons": [)";
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int a = y * (side + 1) + x;
            out << (x || y ? ",[" : "[") << a << "," << a + 1 << "," << a + side + 2 << ","
                << a + side + 1 << "]";
        }
    out << R"(], "tags": [{"type": "phong"}, {"type": "texture", "material": "Paint"}]}]})";
}

}  // namespace

TEST(HostRunner, ExportThenRenderThenUpdateWriteTheDemoDocumentWithTheirImportOptions) {
    RendererSandbox sandbox;
    const std::string file = sandbox.root() + "/demo.vsp";
    const CommandRun exportRun = runHost("--demo --command export --save-as '" + file + "'");
    ASSERT_EQ(
        exportRun,
        exported(file, "8 objects with 33 triangles, 8 materials, 1 camera, 2 animation tracks"));

    const vsp::Node root = vsp::parseFile(file);
    EXPECT_LT(root.at("tavrtopt.so").offset, root.at("demo").offset);
    EXPECT_EQ(importOptions(root), optionsWithAdjust("on"));
    expectDemoModel(root);

    ASSERT_EQ(runHost("--demo --command render"), (CommandRun{0, ""}));
    const std::vector<pid_t> renderers = sandbox.registered();
    ASSERT_EQ(renderers.size(), 1u);
    const vsp::Node first = vsp::parse(sandbox.waitForScene(renderers[0], 1));
    EXPECT_EQ(importOptions(first), optionsWithAdjust("off"));
    expectDemoModel(first);

    // The renderer now shows the model "demo": the update finds it there.
    ASSERT_EQ(runHost("--demo --command update --select Box"), (CommandRun{0, ""}));
    EXPECT_EQ(sandbox.registered(), renderers);
    const vsp::Node second = vsp::parse(sandbox.waitForScene(renderers[0], 2));
    EXPECT_EQ(importOptions(second), optionsWithAdjust("on"));

    // A renderer that cannot keep the scene never confirms it, and the user hears of it.
    const std::string received = sandbox.resourceFolder(8) + "received";
    std::filesystem::remove_all(received);
    writeFile(received, "");
    const CommandRun lost = runHost("--demo --command update");
    EXPECT_NE(lost.output.find("the scene was not delivered completely"), std::string::npos)
        << lost.output;
}

// A disk that fills up half way (here a file-size limit) costs the user nothing: the
// file that was there stays, and the runner fails with the plug-in's message.
TEST(HostRunner, ExportThatCannotBeWrittenWholeKeepsTheOldFileAndFails) {
    Sandbox folder;
    const std::string file = folder.root() + "/demo.vsp";
    writeFile(file, "old scene\n");
    const CommandRun run = runHost("--demo --command export --save-as '" + file + "'",
                                   "ulimit -f 2; trap '' XFSZ; exec ");
    EXPECT_EQ(
        run, (CommandRun{1, "Message: could not write file: \"" + file +
                                "\"\nvantrel-host: command \"Export\" failed: see its message\n"}));
    EXPECT_EQ(readFile(file), "old scene\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.root()),
                            std::filesystem::directory_iterator()),
              1);
}

// The host runner refuses a command that starts a thread; a large mesh used to get one.
TEST(HostRunner, ExportRenderAndUpdateOfALargeMeshStartNoThread) {
    RendererSandbox sandbox;
    const std::string document = sandbox.root() + "/grid.json";
    writeGridDocument(document, 150);
    const std::string file = sandbox.root() + "/grid.vsp";
    const CommandRun exportRun =
        runHost("--document '" + document + "' --command export --save-as '" + file + "'");
    EXPECT_EQ(exportRun, exported(file,
                                  "1 object with 45000 triangles, 1 material, 0 cameras, "
                                  "0 animation tracks"));
    EXPECT_EQ(runHost("--document '" + document + "' --command render"), (CommandRun{0, ""}));
    EXPECT_EQ(runHost("--document '" + document + "' --command update --select Grid"),
              (CommandRun{0, ""}));
    const std::vector<pid_t> renderers = sandbox.registered();
    ASSERT_EQ(renderers.size(), 1u);
    EXPECT_NE(vsp::parse(sandbox.waitForScene(renderers[0], 2)).find("grid/Grid/Grid"), nullptr);
}
