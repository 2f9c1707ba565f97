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

// Adopts what the launcher starts, so that the test can tell its processes apart.
class LaunchSandbox : public Sandbox {
public:
    LaunchSandbox() { adoptOrphans(); }
    ~LaunchSandbox() { killAndReapChildren(); }
};

bool waitForFile(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
        if (access(path.c_str(), F_OK) == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

bool noChildLeft() {
    return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

TEST(Launch, FailsWithoutForkingWhenNoExecutableIsInstalled) {
    LaunchSandbox sandbox;
    const int before = forks;
    EXPECT_FALSE(VantrelSystem::instance().launch_vantrel(7, 8));
    sandbox.install(8);  // the folder alone is not an executable
    EXPECT_FALSE(VantrelSystem::instance().launch_vantrel(7, 8));
    EXPECT_EQ(forks, before);
}

TEST(Launch, ExecutableThatCannotStartIsReportedAndItsChildEndsAtOnce) {
    LaunchSandbox sandbox;
    // Executable bit but no valid program: execv fails in the child.
    writeFile(sandbox.install(8) + "vantrel", "not a program\n", true);
    const pid_t self = getpid();
    EXPECT_FALSE(VantrelSystem::instance().launch_vantrel(7, 8));
    ASSERT_EQ(getpid(), self);
    // The would-be renderer ended with _exit(127) instead of returning into this code.
    int status = 0;
    ASSERT_GT(waitpid(-1, &status, 0), 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 127) << status;
    EXPECT_TRUE(noChildLeft());
}

TEST(Launch, StartedRendererIsNoChildOfTheHost) {
    LaunchSandbox sandbox;
    const std::string folder = sandbox.install(8);
    writeFile(folder + "vantrel", "#!/bin/sh\necho $$ > \"$0.tmp\" && mv \"$0.tmp\" \"$0.started\"\n", true);
    EXPECT_TRUE(VantrelSystem::instance().launch_vantrel(7, 8));
    ASSERT_TRUE(waitForFile(folder + "vantrel.started"));
    // The launcher reaped its intermediate child; the only process left over is the
    // renderer, which this test adopted as the orphan it is.
    const pid_t renderer = std::stoi(readFile(folder + "vantrel.started"));
    EXPECT_EQ(waitpid(renderer, nullptr, 0), renderer);
    EXPECT_TRUE(noChildLeft());
}

}  // namespace
