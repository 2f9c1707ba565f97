// The built plug-in in the host runner: the export road into files, and Render then
// Update through a stand-in renderer launched in a sandbox.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "renderer_sandbox.h"
#include "vsp/Reader.h"

namespace {

struct HostRun {
    int status;
    std::string output;  // standard output and standard error
};

HostRun runHost(const std::string& arguments) {
    const std::string command = std::string("'") + VANTREL_HOST + "' " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {-1, "popen failed"};
    std::string output;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
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

// The demo document's model group holds its objects at every depth, caches included.
void expectDemoModel(const vsp::Node& root) {
    for (const char* path :
         {"demo/Camera", "demo/Scene/Props/Box/Lid", "demo/Scene/Generator/Generated"})
        EXPECT_NE(root.find(path), nullptr) << path;
}

}  // namespace

TEST(HostRunner, ExportsTheDemoDocument) {
    Sandbox folder;
    const std::string file = folder.root() + "/demo.vsp";
    const HostRun run = runHost("--demo --command export --save-as '" + file + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "");

    const std::string text = readFile(file);
    EXPECT_EQ(text.rfind("//---tavrin:dal:7---\n//---import:dal:1---\n//---id:1---\n"
                         "// This is a Vantrel scene file\n\n"
                         "#print \"Vantrel SceneApi oo 9.0.206  (built ",
                         0),
              0u);
    const vsp::Node root = vsp::parse(text);
    const vsp::Statement* version = root.findStatement("version");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->arg(0).integer(), 9);
    EXPECT_LT(version->offset, root.at("tavrtopt.so").offset);
    EXPECT_LT(root.at("tavrtopt.so").offset, root.at("demo").offset);
    EXPECT_EQ(importOptions(root), optionsWithAdjust("on"));
    expectDemoModel(root);
}

TEST(HostRunner, RenderThenUpdateReachTheRendererAndTheUpdateFindsItsModel) {
    RendererSandbox sandbox;
    const HostRun render = runHost("--demo --command render");
    ASSERT_EQ(render.status, 0) << render.output;
    EXPECT_EQ(render.output, "");
    const std::vector<pid_t> renderers = sandbox.registered();
    ASSERT_EQ(renderers.size(), 1u);
    const vsp::Node first = vsp::parse(sandbox.waitForScene(renderers[0], 1));
    EXPECT_EQ(importOptions(first), optionsWithAdjust("off"));
    expectDemoModel(first);

    // The renderer now shows the model "demo": the update finds it there.
    const HostRun update = runHost("--demo --command update --select Box");
    ASSERT_EQ(update.status, 0) << update.output;
    EXPECT_EQ(update.output, "");
    EXPECT_EQ(sandbox.registered(), renderers);
    const vsp::Node second = vsp::parse(sandbox.waitForScene(renderers[0], 2));
    EXPECT_EQ(importOptions(second), optionsWithAdjust("on"));
    expectDemoModel(second);
}
