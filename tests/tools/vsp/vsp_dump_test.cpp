// vsp-dump on a file exported through the file factory, as the export command writes it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "LightFileFactory.h"
#include "run_command.h"
#include "sample_scene.h"
#include "sandbox.h"
#include "tavsceneapi_oo.h"
#include "vsp/Json.h"

namespace {

// input: a shell command and "|" that feed vsp-dump's standard input.
CommandRun vspDump(const std::string& arguments, const std::string& input = "") {
    return runCommand(input + VSP_DUMP_PATH + " " + arguments);
}

void exportScene(const std::string& path) {
    tav::LightFileFactory factory(path);
    {
        tav::tavSceneapi_oo wrapper(&factory);
        // Twice, so that the counts must add up over the whole file.
        for (int copy = 0; copy < 2; ++copy) sample_scene::writeScene(*wrapper.get_scene_api());
    }
    factory.finish();
}

}  // namespace

TEST(VspDump, PrintsTheTreeTheSummaryAndJsonOfAnExportedFile) {
    Sandbox dir;  // a temporary folder
    const std::string path = dir.root() + "/scene.vsp";
    exportScene(path);
    CommandRun run = vspDump("--summary " + path);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output,
              "group: 4\nobject: 2\ngeometry: 2\nmaterial: 2\nshader: 6\nmodule: 2\ncamera: 2\n"
              "animation: 2\ntriangles: 4\nvertices: 8\nmaterials: 2\n");

    run = vspDump(path);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("\n    group \"Cube \\\"1\\\"\\nw\xc3\xa4hlen\"  @"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("vertices = [array of 4 number x3 (binary c)] 0 0 0, 1 0 0, 0 1 0,"),
              std::string::npos);

    run = vspDump("--json " + path);
    ASSERT_EQ(run.status, 0) << run.output;
    const nlohmann::json module = nlohmann::json::parse(run.output)["children"][0];
    EXPECT_EQ(module["name"], "tavrtopt.so");
    EXPECT_EQ(module["parameters"][0]["value"], (nlohmann::json{{"type", "bool"}, {"data", true}}));
    run = vspDump("--summary --json " + path);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(nlohmann::json::parse(run.output)["nodes"]["object"], 2);

    // A pipe is read whole, in growing steps; a file is mapped: both read the same.
    std::string copies = "cat";
    for (int i = 0; i < 40; ++i) copies += " " + path;
    ASSERT_EQ(std::system((copies + " > " + path + ".40").c_str()), 0);
    run = vspDump("--summary " + path + ".40");
    EXPECT_NE(run.output.find("\nobject: 80\n"), std::string::npos) << run.output;
    EXPECT_EQ(vspDump("--summary -", copies + " | ").output, run.output);
}

TEST(VspDump, ReportsBadFilesAndBadUsage) {
    Sandbox dir;
    const std::string path = dir.root() + "/bad.vsp";
    writeFile(path, "\ngroup \"g\" {\nflags 1\n");
    CommandRun run = vspDump(path);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output,
              "vsp-dump: " + path + ": offset 21: group \"g\" at offset 1 is not closed\n");
    EXPECT_EQ(vspDump(dir.root() + "/missing.vsp").status, 1);
    EXPECT_EQ(vspDump("").status, 2);
    EXPECT_EQ(vspDump("--colour " + path).status, 2);
}
