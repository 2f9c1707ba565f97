#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tavsceneapi_file.h"

TEST(WriterStream, NumericLocaleIsCWhileTheWriterLivesAndRestoredAfter) {
    const char* other = nullptr;
    for (const char* candidate : {"de_DE.UTF-8", "fr_FR.UTF-8", "C.UTF-8", "POSIX"})
        if ((other = std::setlocale(LC_NUMERIC, candidate))) break;
    if (!other) GTEST_SKIP() << "no second numeric locale installed";
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    {
        tavScene_api_file writer(static_cast<FILE*>(nullptr), false);
        EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    }
    EXPECT_EQ(before, std::setlocale(LC_NUMERIC, nullptr));
    std::setlocale(LC_NUMERIC, "C");
}

TEST(WriterStream, PathConstructorReplacesOwnsAndClosesItsFile) {
    char path[] = "/tmp/writer_stream_XXXXXX";
    ASSERT_EQ(close(mkstemp(path)), 0);
    std::ofstream(path) << "old content that must go";
    {
        tavScene_api_file writer(path, false);
        writer.set_version(9);
        EXPECT_FALSE(writer.failed());
    }
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    EXPECT_EQ(text.str(), "version 9\n\n");
    std::remove(path);
}

TEST(WriterStream, AFullDeviceIsReportedBufferedOrNot) {
    for (bool buffered : {false, true}) {
        SCOPED_TRACE(buffered ? "buffered" : "unbuffered");
        FILE* full = std::fopen("/dev/full", "w");
        ASSERT_NE(full, nullptr);
        if (!buffered) std::setvbuf(full, nullptr, _IONBF, 0);
        {
            tavScene_api_file writer(full, true);
            EXPECT_FALSE(writer.failed());
            // Unbuffered the first write fails; buffered, the overflow and the flush do.
            const std::string name(4096, 'x');
            for (int i = 0; i < (buffered ? 64 : 1); ++i) writer.object_begin(name.c_str(), true);
            if (buffered) std::fflush(full);
            EXPECT_TRUE(writer.failed());
        }
        std::fclose(full);
    }
}
