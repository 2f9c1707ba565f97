#include "LightFileFactory.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

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

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = readdir(dir))
        if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
            names.push_back(entry->d_name);
    closedir(dir);
    return names;
}

// Runs body in a child process that may write files of at most limit bytes; returns
// the child's exit status, or -1 when it did not exit.
int withFileSizeLimit(rlim_t limit, const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        // A write beyond the limit then fails with EFBIG instead of killing the child.
        signal(SIGXFSZ, SIG_IGN);
        const rlimit small{limit, limit};
        _exit(setrlimit(RLIMIT_FSIZE, &small) == 0 ? body() : 100);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
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
    struct stat written {};
    ASSERT_EQ(lstat(link.c_str(), &written), 0);
    EXPECT_TRUE(S_ISLNK(written.st_mode));
    ASSERT_EQ(stat(path.c_str(), &written), 0);
    EXPECT_EQ(written.st_mode & 0777, 0640u);
    EXPECT_EQ(folderEntries(folder.root()).size(), 2u);
}

// A full disk, a file-size limit or a walk that ends in an exception must not cost the
// user the file that was there.
TEST(FileFactory, FailedOrAbandonedExportLeavesTheOldFileAndNoTemporaryFile) {
    Sandbox folder;
    const std::string path = folder.root() + "/scene.vsp";
    writeFile(path, "old scene");

    const int status = withFileSizeLimit(4096, [&] {
        try {
            tav::LightFileFactory factory(path);
            exportEmptyScene(factory);
            for (int i = 0; i < 100; ++i)
                factory.getApi()->add_comment(std::string(100, 'c').c_str());
            factory.finish();
            return 1;
        } catch (const std::runtime_error& e) {
            return e.what() == "could not write file: \"" + path + "\"" ? 0 : 2;
        }
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(path), "old scene");
    EXPECT_EQ(folderEntries(folder.root()), std::vector<std::string>{"scene.vsp"});

    EXPECT_THROW(
        {
            tav::LightFileFactory factory(path);
            exportEmptyScene(factory);
            throw std::runtime_error("the walk failed");
        },
        std::runtime_error);
    EXPECT_EQ(readFile(path), "old scene");
    EXPECT_EQ(folderEntries(folder.root()), std::vector<std::string>{"scene.vsp"});

    testing::internal::CaptureStderr();
    EXPECT_THROW(tav::LightFileFactory factory(folder.root()), std::runtime_error);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("opening file: Is a directory"),
              std::string::npos);
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
