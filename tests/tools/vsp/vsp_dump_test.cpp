// vsp-dump on a file exported through the file factory, as the export command writes it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "LightCamera.h"
#include "LightFileFactory.h"
#include "LightModule.h"
#include "tavsceneapi_oo.h"
#include "vsp/Json.h"

namespace {

struct TempDir {
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        path = std::string(base && *base ? base : "/tmp") + "/vspdumpXXXXXX";
        if (!mkdtemp(path.data())) throw std::runtime_error("mkdtemp failed");
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string path;
};

struct ToolRun {
    int status;
    std::string output;  // standard output and standard error
};

ToolRun vspDump(const std::string& arguments) {
    std::string command = std::string(VSP_DUMP_PATH) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("popen failed");
    std::string output;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

void exportScene(const std::string& path) {
    tav::LightFileFactory factory(path);
    {
        tav::tavSceneapi_oo wrapper(&factory);
        wrapper.insertNode(tav::DefaultRTModule());
        wrapper.insertNode(tav::LightCamera("Camera"));
        tavScene_api& api = *wrapper.get_scene_api();
        wrapper.begin_group("untitled");
        for (const char* name : {"Cube", "Cone"}) {
            api.object_begin(name, true);
            api.geometry_use("triangles");
            float vertices[] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
            int triangles[] = {0, 2, 1, 2, 1, 3};
            tavArray vertexArray{vertices, 4}, triangleArray{triangles, 6};
            api.set_parameter("vertices", TAV_ARRAY | TAV_COLOR, &vertexArray);
            api.set_parameter("triangles", TAV_ARRAY | TAV_INT, &triangleArray);
            api.geometry_end();
            api.shader_begin(nullptr, "tav_diffuse");
            api.shader_end();
            tavShader* shader = api.shader_get();
            api.material_begin("Display color", true);
            api.material_set_shader(TAV_SHADER_SURFACE, shader);
            api.material_end();
            api.object_end();
        }
        wrapper.end_group();
    }
    factory.finish();
}

}  // namespace

TEST(VspDump, PrintsTheTreeTheSummaryAndJsonOfAnExportedFile) {
    TempDir dir;
    const std::string path = dir.path + "/scene.vsp";
    exportScene(path);
    ToolRun run = vspDump("--summary " + path);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output,
              "group: 1\nobject: 2\ngeometry: 2\nmaterial: 2\nshader: 3\nmodule: 1\ncamera: 1\n"
              "triangles: 4\nvertices: 8\nmaterials: 2\n");

    run = vspDump(path);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("    object \"Cone\"  @"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("vertices = [array of 4 number x3 (binary c)] 0 0 0, 1 0 0,"),
              std::string::npos);

    run = vspDump("--json " + path);
    ASSERT_EQ(run.status, 0) << run.output;
    const nlohmann::json vertices = nlohmann::json::parse(run.output)["children"][2]["children"][0]
                                                                    ["children"][0]["parameters"][0];
    EXPECT_EQ(vertices["name"], "vertices");
    EXPECT_EQ(vertices["value"]["count"], 4);
    run = vspDump("--summary --json " + path);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(nlohmann::json::parse(run.output)["nodes"]["object"], 2);
}

TEST(VspDump, ReportsBadFilesAndBadUsage) {
    TempDir dir;
    const std::string path = dir.path + "/bad.vsp";
    std::ofstream(path) << "\ngroup \"g\" {\nflags 1\n";
    ToolRun run = vspDump(path);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output,
              "vsp-dump: " + path + ": offset 21: group \"g\" at offset 1 is not closed\n");
    EXPECT_EQ(vspDump(dir.path + "/missing.vsp").status, 1);
    EXPECT_EQ(vspDump("").status, 2);
    EXPECT_EQ(vspDump("--colour " + path).status, 2);
}
