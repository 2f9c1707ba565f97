// The live-link loader over scripted libraries, and its log file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "log.h"
#include "sandbox.h"
#include "vantrellive_loader.h"

namespace {

std::string fake(int variant) {
    return std::string(FAKE_LIVE_DIR) + "/fake_live_" + std::to_string(variant) + ".so";
}

// Whether the probe program, started from its own folder with another current folder,
// got a scene interface.
bool probeLoads(const std::string& probe, const std::string& currentFolder) {
    return std::system(("cd '" + currentFolder + "' && '" + probe + "' 2>/dev/null").c_str()) == 0;
}

// Loading from a version-8 installation, reuse and unloading are proven by the factory tests.
TEST(Loader, OldInstallationsUseTheUnversionedNameAndFailuresLeaveNothingLoaded) {
    Sandbox sandbox;
    // Renderers before version 6 ship the library under the unversioned name.
    const std::string old = sandbox.install(5);
    copyFile(fake(0), old + "tavvantrellive6.so");
    EXPECT_EQ(tav_get_scene_api_linked(5, 5), nullptr);
    copyFile(fake(0), old + "tavvantrellive.so");
    EXPECT_NE(tav_get_scene_api_linked(5, 5), nullptr);
    tav_free_scene_api_linked();

    const std::string library = sandbox.install(8) + "tavvantrellive6.so";
    for (int failing : {2, 3}) {  // initialisation returns null; no entry symbol
        SCOPED_TRACE(failing);
        copyFile(fake(failing), library);
        EXPECT_EQ(tav_get_scene_api_linked(7, 8), nullptr);
        EXPECT_FALSE(isLoaded(library));
    }
    // Each call starts from the beginning, so a repaired installation loads.
    copyFile(fake(0), library);
    EXPECT_NE(tav_get_query_api(7, 8), nullptr);
    tav_free_scene_api_linked();
}

TEST(Loader, SecondCandidateIsThePluginFolderNeverTheCurrentFolder) {
    Sandbox sandbox;
    sandbox.install(8);  // holds no library
    std::filesystem::create_directories(sandbox.resourceFolder(8));
    const std::string plugin = sandbox.root() + "/plugin/";
    const std::string elsewhere = sandbox.root() + "/elsewhere/";
    const std::string current = sandbox.root() + "/current/";
    for (const std::string& folder : {plugin, elsewhere, current})
        std::filesystem::create_directories(folder);
    copyFile(LINK_PROBE, plugin + "link_probe");
    copyFile(LINK_PROBE, elsewhere + "link_probe");
    copyFile(fake(0), plugin + "tavvantrellive6.so");
    copyFile(fake(0), current + "tavvantrellive6.so");

    EXPECT_TRUE(probeLoads(plugin + "link_probe", current));
    EXPECT_FALSE(probeLoads(elsewhere + "link_probe", current));
    // Attempts are logged in the resource folder, headed by source base name, line and time.
    const std::string log = readFile(sandbox.resourceFolder(8) + "sceneapi.log");
    const size_t end = log.find(" DEBUG:  shared_library_open: " + plugin + "tavvantrellive6.so\n");
    ASSERT_NE(end, std::string::npos) << log;
    const size_t start = log.rfind('\n', end) + 1;  // 0 on the first line
    EXPECT_TRUE(std::regex_match(log.substr(start, end - start),
                                 std::regex("vantrellive_loader\\.cpp:[0-9]+ - "
                                            "[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}")))
        << log;
    // The probe elsewhere found neither candidate.
    EXPECT_NE(log.find(" WARNING:  NO shared handle\n"), std::string::npos) << log;
}

TEST(Log, LogOf20MiBOrMoreStartsAfreshAndAnUnopenableLogIsReported) {
    Sandbox sandbox;
    const std::string path = sandbox.root() + "/sceneapi.log";
    writeFile(path, "old\n");
    // Size of the log after "new\n" was written to a log that held size bytes.
    const auto sizeAfterWrite = [&](uintmax_t size) -> uintmax_t {
        std::filesystem::resize_file(path, size);
        FILE* log = Output2FILE::Open(sandbox.root() + "/");
        if (!log) return 0;
        fputs("new\n", log);
        fclose(log);
        return std::filesystem::file_size(path);
    };
    EXPECT_EQ(sizeAfterWrite(20971519), 20971519 + 4);
    EXPECT_EQ(sizeAfterWrite(20971520), 4);

    testing::internal::CaptureStderr();
    EXPECT_EQ(Output2FILE::Open(sandbox.root() + "/missing/"), nullptr);
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_EQ(report.rfind("could not open log file:\nopening log: ", 0), 0u) << report;
}

}  // namespace
