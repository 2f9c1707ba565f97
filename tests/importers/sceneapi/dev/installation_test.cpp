// Finding the installed renderer in a sandbox root, and launching it.
#include <gtest/gtest.h>
#include <pthread.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <tuple>

#include "sandbox.h"
#include "vantrel_system.h"

namespace {

const VantrelSystem& vantrel = VantrelSystem::instance();

int forks = 0;
const int countForks = pthread_atfork([] { ++forks; }, nullptr, nullptr);

bool launch() { return vantrel.launch_vantrel(7, 8); }

bool noChildLeft() { return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD; }

TEST(Launch, FailuresAreReportedAndLeaveNoProcessBehind) {
    ProcessSandbox sandbox;
    const int before = forks;
    EXPECT_FALSE(launch());  // nothing installed
    const std::string folder = sandbox.install(8);
    EXPECT_FALSE(launch());  // the folder alone is not an executable
    EXPECT_EQ(forks, before);

    // Executable bit but no valid program: execv fails in the child, which ends with
    // _exit(127) instead of returning into this code.
    writeFile(folder + "vantrel", "not a program\n", true);
    const pid_t self = getpid();
    EXPECT_FALSE(launch());
    ASSERT_EQ(getpid(), self);
    int status = 0;
    ASSERT_GT(waitpid(-1, &status, 0), 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 127) << status;
    EXPECT_TRUE(noChildLeft());
}

TEST(Launch, StartedRendererIsNoChildOfTheHost) {
    ProcessSandbox sandbox;
    const std::string program = sandbox.install(8) + "vantrel";
    writeFile(program, "#!/bin/sh\necho $$ > \"$0.tmp\" && mv \"$0.tmp\" \"$0.started\"\n", true);
    EXPECT_TRUE(launch());
    ASSERT_TRUE(eventually([&] { return access((program + ".started").c_str(), F_OK) == 0; }));
    // The launcher reaped its intermediate child; the only process left over is the
    // renderer, which this test adopted as the orphan it is.
    const pid_t renderer = std::stoi(readFile(program + ".started"));
    EXPECT_EQ(waitpid(renderer, nullptr, 0), renderer);
    EXPECT_TRUE(noChildLeft());
}

TEST(Discovery, VersionPrefersStandardInstallationsAHigherFloatingOneWinsTheExecutableFolder) {
    Sandbox sandbox;
    const std::string standard8 = sandbox.install(8);
    sandbox.install(12, true);
    sandbox.install(9);
    sandbox.install(7, true);
    sandbox.install(21, true);  // beyond the known versions: never chosen
    EXPECT_EQ(vantrel.vantrel_version(5, 20), 9);
    EXPECT_EQ(vantrel.vantrel_version(7, 8), 8);
    EXPECT_EQ(vantrel.vantrel_version(10, 20), 12);
    EXPECT_EQ(vantrel.vantrel_version(8, 7), -1);
    // The resource folder ignores the requested range.
    EXPECT_EQ(vantrel.find_resource_path(7, 8), sandbox.resourceFolder(9));

    // A higher floating installation wins the executable folder even outside the range; a
    // lower one does not displace the standard one.
    const std::string floating12 = sandbox.root() + "/Applications/Vantrel12_floating.app";
    int version = -1;
    EXPECT_EQ(vantrel.find_bin_path(version, 7, 8), floating12 + "/Contents/MacOS/");
    EXPECT_EQ(version, 12);
    std::filesystem::remove_all(floating12);
    version = -1;
    EXPECT_EQ(vantrel.find_bin_path(version, 7, 8), standard8);
    EXPECT_EQ(version, 8);
}

TEST(Discovery, ExecutableNamesFollowVersionAndKindUnderAnyRootSpelling) {
    for (const auto& [version, floating, name] :
         {std::tuple{8, false, "vantrel"}, std::tuple{6, false, "vantrel6"},
          std::tuple{8, true, "vantrel_floating"}, std::tuple{6, true, "vantrel6_floating"}}) {
        SCOPED_TRACE(name);
        Sandbox sandbox;
        const std::string expected = sandbox.install(version, floating) + name;
        EXPECT_EQ(vantrel.find_binary_name(5, 8), expected);
        setenv("VANTREL_ROOT", (sandbox.root() + "//").c_str(), 1);  // trailing slashes
        EXPECT_EQ(vantrel.find_binary_name(5, 8), expected);
        EXPECT_EQ(vantrel.find_binary_name(8, 5), "");  // reversed range
    }
}

}  // namespace
