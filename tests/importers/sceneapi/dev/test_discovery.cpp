#include <gtest/gtest.h>
#include <stdlib.h>

#include "sandbox.h"
#include "tav_sys.h"
#include "vantrel_system.h"

namespace {

const VantrelSystem& vantrel = VantrelSystem::instance();

TEST(Discovery, HigherFloatingInstallationWinsTheExecutableFolder) {
    Sandbox sandbox;
    sandbox.install(7);
    const std::string floating9 = sandbox.install(9, true);
    int version = -1;
    EXPECT_EQ(vantrel.find_bin_path(version, 7, 8), floating9);
    EXPECT_EQ(version, 9);
    EXPECT_EQ(floating9, sandbox.root() + "/Applications/Vantrel9_floating.app/Contents/MacOS/");

    // A floating installation of a lower version does not displace the standard one.
    Sandbox other;
    const std::string standard8 = other.install(8);
    other.install(7, true);
    version = -1;
    EXPECT_EQ(vantrel.find_bin_path(version, 7, 8), standard8);
    EXPECT_EQ(version, 8);
}

TEST(Discovery, NothingInstalledLeavesVersionAndPathsEmpty) {
    Sandbox sandbox;
    int version = -1;
    EXPECT_EQ(vantrel.find_bin_path(version, 7, 8), "");
    EXPECT_EQ(version, -1);
    EXPECT_EQ(vantrel.find_binary_name(7, 8), "");
    EXPECT_EQ(vantrel.vantrel_version(5, 20), -1);
    EXPECT_EQ(vantrel.find_resource_path(7, 8), sandbox.root() + "/Library/Application Support/Vantrel-1/");
}

TEST(Discovery, ExecutableNamesFollowVersionAndKind) {
    {
        Sandbox sandbox;
        const std::string folder = sandbox.install(8);
        EXPECT_EQ(vantrel.find_binary_name(7, 8), folder + "vantrel");
    }
    {
        Sandbox sandbox;
        const std::string folder = sandbox.install(6);
        EXPECT_EQ(vantrel.find_binary_name(5, 6), folder + "vantrel6");
    }
    {
        Sandbox sandbox;
        const std::string folder = sandbox.install(8, true);
        EXPECT_EQ(vantrel.find_binary_name(7, 8), folder + "vantrel_floating");
    }
    {
        Sandbox sandbox;
        const std::string folder = sandbox.install(6, true);
        EXPECT_EQ(vantrel.find_binary_name(5, 6), folder + "vantrel6_floating");
        EXPECT_EQ(vantrel.find_binary_name(6, 5), "");
    }
}

TEST(Discovery, VersionPrefersStandardInstallationsAndHonoursTheRange) {
    Sandbox sandbox;
    sandbox.install(8);
    sandbox.install(12, true);
    sandbox.install(9);
    EXPECT_EQ(vantrel.vantrel_version(5, 20), 9);
    EXPECT_EQ(vantrel.vantrel_version(7, 8), 8);
    EXPECT_EQ(vantrel.vantrel_version(10, 20), 12);
    EXPECT_EQ(vantrel.vantrel_version(8, 7), -1);
    // The resource folder ignores the requested range.
    EXPECT_EQ(vantrel.find_resource_path(7, 8), sandbox.resourceFolder(9));
}

TEST(Discovery, RootPrefixMayEndWithSlash) {
    Sandbox sandbox;
    const std::string folder = sandbox.install(8);
    setenv("VANTREL_ROOT", (sandbox.root() + "//").c_str(), 1);
    EXPECT_EQ(vantrel.find_binary_name(7, 8), folder + "vantrel");
}

TEST(Discovery, FileHelpersAndPortRange) {
    Sandbox sandbox;
    EXPECT_EQ(tav_sys::joinPath("/a/", "b"), "/a//b");
    EXPECT_EQ(tav_sys::joinPath("a", "b"), "a/b");
    EXPECT_TRUE(tav_sys::directoryExists(sandbox.root()));
    writeFile(sandbox.root() + "/file", "12345");
    EXPECT_FALSE(tav_sys::directoryExists(sandbox.root() + "/file"));
    EXPECT_EQ(tav_sys::fileSize(sandbox.root() + "/file"), 5);
    EXPECT_EQ(tav_sys::fileSize(sandbox.root() + "/missing"), 0);
    int low = 0;
    int high = 0;
    EXPECT_EQ(vantrel.getDefaultPortRange(low, high, 1, 0), 0);
    EXPECT_EQ(low, 3141);
    EXPECT_EQ(high, 3151);
}

}  // namespace
