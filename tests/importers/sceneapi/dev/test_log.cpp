#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>

#include "log.h"
#include "sandbox.h"

namespace {

struct StringSink {
    static std::string& text() {
        static std::string lines;
        return lines;
    }
    static void Output(const std::string& line) { text() += line; }
};

TEST(Log, LineHeaderShowsBaseNameLineTimeAndLevel) {
    StringSink::text().clear();
    Log<StringSink>().Get(logDEBUG, "/src/importers/vantrellive_loader.cpp", 42) << "shared_library_open: x";
    Log<StringSink>().Get(logWARNING, "C:\\src\\loader.cpp", 7) << "NO shared handle";
    Log<StringSink>().Get(logDEBUG4, "plain.cpp", 1) << "";
    const std::string time = "[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}";
    EXPECT_TRUE(std::regex_match(StringSink::text(),
                                 std::regex("vantrellive_loader\\.cpp:42 - " + time + " DEBUG:  shared_library_open: x\n"
                                            "loader\\.cpp:7 - " + time + " WARNING:  NO shared handle\n"
                                            "plain\\.cpp:1 - " + time + " DEBUG4:  \n")))
        << StringSink::text();
}

TEST(Log, LogOf20MiBOrMoreStartsAfresh) {
    Sandbox sandbox;
    const std::string folder = sandbox.root() + "/";
    const std::string path = folder + "sceneapi.log";
    // Size of the log after "new\n" was written to a log that held size bytes.
    const auto sizeAfterWrite = [&](off_t size) -> off_t {
        writeFile(path, "old\n");
        EXPECT_EQ(truncate(path.c_str(), size), 0);
        FILE* log = Output2FILE::Open(folder);
        if (!log) return -1;
        fputs("new\n", log);
        fclose(log);
        struct stat info {};
        stat(path.c_str(), &info);
        return info.st_size;
    };
    EXPECT_EQ(sizeAfterWrite(20971519), 20971519 + 4);
    EXPECT_EQ(sizeAfterWrite(20971520), 4);
    EXPECT_EQ(sizeAfterWrite(4), 8);
}

TEST(Log, UnopenableLogIsReportedOnStandardError) {
    Sandbox sandbox;
    testing::internal::CaptureStderr();
    EXPECT_EQ(Output2FILE::Open(sandbox.root() + "/missing/"), nullptr);
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_EQ(report.rfind("could not open log file:\nopening log: ", 0), 0u) << report;
}

}  // namespace
