#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "sandbox.h"
#include "vantrel_system.h"

namespace {

int forks = 0;

// Counts every fork of this process.
struct ForkCounter {
    ForkCounter() { pthread_atfork([] { ++forks; }, nullptr, nullptr); }
} forkCounter;

bool waitForFile(const std::string& path) {
    for (int i = 0; i < 200; ++i) {
        if (access(path.c_str(), F_OK) == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(Launch, FailsWithoutForkingWhenNoExecutableIsInstalled) {
    Sandbox sandbox;
    const int before = forks;
    EXPECT_FALSE(VantrelSystem::instance().launch_vantrel(7, 8));
    sandbox.install(8);  // the folder alone is not an executable
    EXPECT_FALSE(VantrelSystem::instance().launch_vantrel(7, 8));
    EXPECT_EQ(forks, before);
}

TEST(Launch, ExecutableThatCannotStartIsReportedAndTheChildNeverReturns) {
    Sandbox sandbox;
    // Executable bit but no valid program: execv fails in the child.
    writeFile(sandbox.install(8) + "vantrel", "not a program\n", true);
    const pid_t self = getpid();
    EXPECT_FALSE(VantrelSystem::instance().launch_vantrel(7, 8));
    // A child that returned from launch_vantrel would carry on running these tests.
    ASSERT_EQ(getpid(), self);
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(Launch, StartedRendererRunsDetachedAndLeavesNoZombie) {
    Sandbox sandbox;
    const std::string folder = sandbox.install(8);
    writeFile(folder + "vantrel", "#!/bin/sh\necho \"$0\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.started\"\n", true);
    EXPECT_TRUE(VantrelSystem::instance().launch_vantrel(7, 8));
    ASSERT_TRUE(waitForFile(folder + "vantrel.started"));
    EXPECT_EQ(readFile(folder + "vantrel.started"), folder + "vantrel\n");
    // The launcher reaped its own child; the renderer belongs to init, not to us.
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

}  // namespace
