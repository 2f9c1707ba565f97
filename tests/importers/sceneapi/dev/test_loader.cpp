#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "sandbox.h"
#include "vantrellive_loader.h"

namespace {

std::string fake(int variant) {
    return std::string(FAKE_LIVE_DIR) + "/fake_live_" + std::to_string(variant) + ".so";
}

bool isLoaded(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle != nullptr;
}

// Output of the probe program started from its own folder with another current folder.
std::string runProbe(const std::string& probe, const std::string& currentFolder) {
    FILE* out = popen(("cd '" + currentFolder + "' && '" + probe + "'").c_str(), "r");
    if (!out) return "";
    char line[64] = "";
    if (!fgets(line, sizeof line, out)) line[0] = '\0';
    pclose(out);
    return line;
}

TEST(Loader, LoadsFromTheInstallationAndUnloadsOnFree) {
    Sandbox sandbox;
    const std::string library = sandbox.install(8) + "tavvantrellive6.so";
    copyFile(fake(0), library);
    for (int round = 0; round < 2; ++round) {
        EXPECT_NE(tav_get_scene_api_linked(7, 8), nullptr);
        EXPECT_NE(tav_get_query_api(1, 2), nullptr);  // the loaded library is reused
        EXPECT_TRUE(isLoaded(library));
        tav_free_scene_api_linked();
        EXPECT_FALSE(isLoaded(library));
    }
}

TEST(Loader, OldRenderersUseTheUnversionedLibraryName) {
    Sandbox sandbox;
    const std::string folder = sandbox.install(5);
    copyFile(fake(0), folder + "tavvantrellive6.so");
    EXPECT_EQ(tav_get_scene_api_linked(5, 5), nullptr);
    copyFile(fake(0), folder + "tavvantrellive.so");
    EXPECT_NE(tav_get_scene_api_linked(5, 5), nullptr);
    tav_free_scene_api_linked();
}

TEST(Loader, FailedInitialisationLeavesNothingLoaded) {
    Sandbox sandbox;
    EXPECT_EQ(tav_get_scene_api_linked(7, 8), nullptr);  // no installation
    EXPECT_EQ(tav_get_query_api(7, 8), nullptr);
    const std::string library = sandbox.install(8) + "tavvantrellive6.so";
    EXPECT_EQ(tav_get_scene_api_linked(7, 8), nullptr);  // no library
    for (int failing : {2, 3}) {  // initialisation returns null; no entry symbol
        copyFile(fake(failing), library);
        EXPECT_EQ(tav_get_scene_api_linked(7, 8), nullptr) << failing;
        EXPECT_FALSE(isLoaded(library)) << failing;
    }
    // Each call starts from the beginning, so a repaired installation loads.
    copyFile(fake(0), library);
    EXPECT_NE(tav_get_query_api(7, 8), nullptr);
    tav_free_scene_api_linked();
}

TEST(Loader, SecondCandidateIsThePluginFolderNeverTheCurrentFolder) {
    Sandbox sandbox;
    const std::string installed = sandbox.install(8);
    makeFolders(sandbox.resourceFolder(8));
    const std::string plugin = sandbox.root() + "/plugin/";
    const std::string elsewhere = sandbox.root() + "/elsewhere/";
    const std::string current = sandbox.root() + "/current/";
    for (const std::string& folder : {plugin, elsewhere, current}) makeFolders(folder);
    copyFile(LINK_PROBE, plugin + "link_probe");
    copyFile(LINK_PROBE, elsewhere + "link_probe");
    copyFile(fake(0), plugin + "tavvantrellive6.so");
    copyFile(fake(0), current + "tavvantrellive6.so");

    EXPECT_EQ(runProbe(plugin + "link_probe", current), "loaded\n");
    EXPECT_EQ(runProbe(elsewhere + "link_probe", current), "not loaded\n");

    const std::string log = readFile(sandbox.resourceFolder(8) + "sceneapi.log");
    EXPECT_NE(log.find(" DEBUG:  shared_library_open: " + installed + "/tavvantrellive6.so\n"), std::string::npos)
        << log;
    EXPECT_NE(log.find(" DEBUG:  shared_library_open: " + plugin.substr(0, plugin.size() - 1) +
                       "/tavvantrellive6.so\n"),
              std::string::npos);
    EXPECT_NE(log.find(" WARNING:  NO shared handle\n"), std::string::npos);
    EXPECT_EQ(log.find("shared_library_open: ./"), std::string::npos);
    EXPECT_EQ(log.find("shared_library_open: " + current), std::string::npos);
}

}  // namespace
