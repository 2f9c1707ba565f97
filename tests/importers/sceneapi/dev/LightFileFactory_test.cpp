#include "LightFileFactory.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tavsceneapi_oo.h"

namespace {

const std::string kExpectedStart =
    "//---tavrin:dal:7---\n"
    "//---import:dal:1---\n"
    "//---id:1---\n"
    "// This is a Vantrel scene file\n\n"
    "#print \"Vantrel SceneApi oo 9.0.206  (built Tue Jun  4 11:19:06 2019)\"\n"
    "version 9\n\n";

class TempDir {
public:
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/filefactoryXXXXXX";
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path = pattern;
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string path;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string drain(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    close(fd);
    return text;
}

// What the export command does before its document walk.
void exportEmptyScene(tav::LightFileFactory& factory) { tav::tavSceneapi_oo wrapper(&factory); }

}  // namespace

TEST(FileFactory, ReplacesExistingFileWithHeaderBannerAndVersion) {
    TempDir dir;
    const std::string path = dir.path + "/scene.vsp";
    std::ofstream(path) << std::string(1000, 'x');
    tav::LightFileFactory factory(path);
    exportEmptyScene(factory);
    factory.finish();
    EXPECT_EQ(factory.getApi(), nullptr);
    EXPECT_NO_THROW(factory.finish());
    EXPECT_EQ(readFile(path), kExpectedStart);
}

TEST(FileFactory, UnopenablePathNamesItInTheError) {
    TempDir dir;
    const std::string path = dir.path + "/missing folder/scene.vsp";
    try {
        tav::LightFileFactory factory(path);
        ADD_FAILURE() << "opening must fail";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "could not open file: \"" + path + "\"");
    }
}

TEST(FileFactory, FullDiskIsReportedByFinishAndNeverByTheDestructor) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    {
        tav::LightFileFactory factory("/dev/full");
        exportEmptyScene(factory);
        try {
            factory.finish();
            ADD_FAILURE() << "a full disk must not pass as success";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "could not write file: \"/dev/full\"");
        }
    }
    EXPECT_NO_THROW({
        tav::LightFileFactory factory("/dev/full");
        exportEmptyScene(factory);
    });
}

TEST(FileFactory, DashWritesToFormerStandardOutputAndSendsLaterPrintsToStandardError) {
    int scene[2], diagnostics[2];
    ASSERT_EQ(pipe(scene), 0);
    ASSERT_EQ(pipe(diagnostics), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(scene[1], 1);
        dup2(diagnostics[1], 2);
        for (int fd : {scene[0], scene[1], diagnostics[0], diagnostics[1]}) close(fd);
        int status = 0;
        try {
            tav::LightFileFactory factory("-");
            exportEmptyScene(factory);
            if (write(1, "stray\n", 6) != 6) status = 2;
            factory.finish();
        } catch (...) {
            status = 1;
        }
        _exit(status);
    }
    close(scene[1]);
    close(diagnostics[1]);
    // Both outputs are far below a pipe's capacity, so the child never blocks on them.
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(drain(scene[0]), kExpectedStart);
    EXPECT_EQ(drain(diagnostics[0]), "stray\n");
}
