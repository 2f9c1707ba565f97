// The built plug-in in the host runner: the export road into files, and Render then
// Update through a stand-in renderer launched in a sandbox.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

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

// The import options of a scene, in order, as "name=value".
std::vector<std::string> importOptions(const vsp::Node& root) {
    const vsp::Node* module = root.find("tavrtopt.so");
    if (!module) return {};
    std::vector<std::string> options;
    for (const vsp::Parameter& p : module->parameters)
        options.push_back(p.name + "=" +
                          (p.value.kind() == vsp::ValueKind::Bool
                               ? (p.value.boolean() ? "on" : "off")
                               : std::to_string(p.value.integer())));
    return options;
}

std::vector<std::string> optionsWithAdjust(const char* adjust) {
    return {"import_mode=on",
            "import_merge_groups=off",
            "import_merge_objects=off",
            "import_up_vector=1",
            "meter_scale=100",
            "import_keep_original=on",
            "import_center_geometry=off",
            "import_snap_to_ground=off",
            std::string("import_adjust_camera=") + adjust,
            std::string("import_adjust_environment=") + adjust,
            "ext=off"};
}

// The demo document's model group: mirrored, marked, holding the top-level objects.
void expectDemoModel(const vsp::Node& root) {
    const vsp::Node* model = root.find("demo");
    ASSERT_NE(model, nullptr);
    const vsp::Statement* transform = model->findStatement("transform");
    ASSERT_NE(transform, nullptr);
    EXPECT_EQ(transform->arg(0).numbers(),
              (std::vector<double>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1}));
    const vsp::Statement* attribute = model->findStatement("attribute");
    ASSERT_NE(attribute, nullptr);
    EXPECT_EQ(attribute->arg(0).text(), "source file");
    EXPECT_EQ(attribute->arg(1).text(), "source file");
    EXPECT_NE(model->find("Camera"), nullptr);
    EXPECT_NE(model->find("Scene/Props/Box/Lid"), nullptr);
    EXPECT_NE(model->find("Scene/Generator/Generated"), nullptr);
}

}  // namespace

TEST(HostRunner, ListsThePluginsThreeCommands) {
    const HostRun run = runHost("--list-commands");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output,
              "1033591\tRender\tRender in Vantrel\n"
              "1034393\tUpdate\tUpdate Vantrel scene\n"
              "1034420\tExport\tExport to .vsp\n");
}

TEST(HostRunner, ExportsTheDemoDocument) {
    Sandbox folder;
    const std::string file = folder.root() + "/demo.vsp";
    const HostRun run = runHost("--demo --command export --save-as '" + file + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "");

    const std::string text = readFile(file);
    const std::string header =
        "//---tavrin:dal:7---\n//---import:dal:1---\n//---id:1---\n// This is a Vantrel scene "
        "file\n\n";
    EXPECT_EQ(text.substr(0, header.size()), header);
    const vsp::Node root = vsp::parse(text);
    const vsp::Statement* banner = root.findStatement("#print");
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->arg(0).text().rfind("Vantrel SceneApi oo 9.0.206  (built ", 0), 0u);
    const vsp::Statement* version = root.findStatement("version");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->arg(0).integer(), 9);
    EXPECT_LT(banner->offset, version->offset);
    EXPECT_EQ(importOptions(root), optionsWithAdjust("on"));
    EXPECT_LT(version->offset, root.at("tavrtopt.so").offset);
    EXPECT_LT(root.at("tavrtopt.so").offset, root.at("demo").offset);
    expectDemoModel(root);
}

TEST(HostRunner, ExportFailuresAreToldToTheUser) {
    Sandbox folder;
    const std::string missing = folder.root() + "/missing/demo.vsp";
    HostRun run = runHost("--demo --command export --save-as '" + missing + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("Message: could not open file: \"" + missing + "\"\n"),
              std::string::npos)
        << run.output;
    EXPECT_NE(access(missing.c_str(), F_OK), 0);

    const std::string full = folder.root() + "/full.vsp";  // a disk that is always full
    ASSERT_EQ(symlink("/dev/full", full.c_str()), 0);
    run = runHost("--demo --command export --save-as '" + full + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "Message: could not write file: \"" + full + "\"\n");

    run = runHost("--demo --command export");  // the dialog is cancelled
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
}

TEST(HostRunner, RenderWithoutRendererTellsTheUser) {
    Sandbox empty;  // nothing installed
    const HostRun run = runHost("--demo --command render");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output,
              "Message: Failed to connect. Could not get a scene api. Please check your Vantrel "
              "installation.\n");
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

    // Render names no model: the busy renderer does not count, a second one starts.
    const HostRun again = runHost("--demo --command render");
    ASSERT_EQ(again.status, 0) << again.output;
    const std::vector<pid_t> both = sandbox.registered();
    ASSERT_EQ(both.size(), 2u);
    const pid_t started = both[0] == renderers[0] ? both[1] : both[0];
    EXPECT_EQ(importOptions(vsp::parse(sandbox.waitForScene(started, 1))),
              optionsWithAdjust("off"));
}
