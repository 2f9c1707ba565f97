#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>

#include "LightFileFactory.h"
#include "sandbox.h"
#include "tavsceneapi_oo.h"

namespace {

const std::string kExpectedStart =
    "//---tavrin:dal:7---\n"
    "//---import:dal:1---\n"
    "//---id:1---\n"
    "// This is a Vantrel scene file\n\n"
    "#print \"Vantrel SceneApi oo 9.0.206  (built Tue Jun  4 11:19:06 2019)\"\n"
    "version 9\n\n";

// What the export command does before its document walk.
void exportEmptyScene(tav::LightFileFactory& factory) { tav::tavSceneapi_oo wrapper(&factory); }

long entriesIn(const std::string& folder) {
    return std::distance(std::filesystem::directory_iterator(folder),
                         std::filesystem::directory_iterator());
}

}  // namespace

TEST(FileFactory, ReplacesExistingFileWithHeaderBannerAndVersionKeepingModeAndLink) {
    Sandbox folder;
    const std::string path = folder.root() + "/scene.vsp", link = folder.root() + "/link.vsp";
    writeFile(path, std::string(1000, 'x'));
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(symlink("scene.vsp", link.c_str()), 0);
    tav::LightFileFactory factory(link);
    exportEmptyScene(factory);
    EXPECT_EQ(readFile(path), std::string(1000, 'x'));  // nothing replaced before the end
    factory.finish();
    EXPECT_EQ(factory.getApi(), nullptr);
    EXPECT_NO_THROW(factory.finish());
    EXPECT_EQ(readFile(path), kExpectedStart);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(entriesIn(folder.root()), 2);
}

// A walk that ends in an exception leaves the file that was there (a failed write:
// the end-to-end tests).
TEST(FileFactory, AbandonedExportLeavesTheOldFileAndNoTemporaryFile) {
    Sandbox folder;
    const std::string path = folder.root() + "/scene.vsp";
    writeFile(path, "old scene");
    EXPECT_THROW(
        {
            tav::LightFileFactory factory(path);
            exportEmptyScene(factory);
            throw std::runtime_error("the walk failed");
        },
        std::runtime_error);
    EXPECT_EQ(readFile(path), "old scene");
    EXPECT_EQ(entriesIn(folder.root()), 1);
}

// Open and finish() errors reach the user through the export command, tested there.
TEST(FileFactory, UnfinishedFullDiskIsReportedByTheDestructorWithoutThrowing) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    testing::internal::CaptureStderr();
    EXPECT_NO_THROW({
        tav::LightFileFactory factory("/dev/full");
        exportEmptyScene(factory);
    });
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "could not write file: \"/dev/full\"\n");
}

TEST(FileFactory, DashWritesToFormerStandardOutputAndSendsLaterPrintsToStandardError) {
    Sandbox folder;
    const std::string out = folder.root() + "/out", err = folder.root() + "/err";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(open(out.c_str(), O_WRONLY | O_CREAT, 0600), 1);
        dup2(open(err.c_str(), O_WRONLY | O_CREAT, 0600), 2);
        try {
            tav::LightFileFactory factory("-");
            exportEmptyScene(factory);
            const bool strayWritten = write(1, "stray\n", 6) == 6;
            factory.finish();
            _exit(strayWritten ? 0 : 2);
        } catch (...) {
            _exit(1);
        }
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(out), kExpectedStart);
    EXPECT_EQ(readFile(err), "stray\n");
}
