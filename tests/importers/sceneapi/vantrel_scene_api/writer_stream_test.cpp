#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "tavsceneapi_file.h"

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_a_lot(tavScene_api& api) {
    std::string name(4096, 'x');
    for (int i = 0; i < 64; ++i) api.object_begin(name.c_str(), true);
}

}  // namespace

TEST(WriterStream, NumericLocaleIsCWhileTheWriterLivesAndRestoredAfter) {
    const char* other = nullptr;
    for (const char* candidate : {"de_DE.UTF-8", "fr_FR.UTF-8", "C.UTF-8", "POSIX"})
        if (std::setlocale(LC_NUMERIC, candidate)) {
            other = candidate;
            break;
        }
    if (!other) GTEST_SKIP() << "no second numeric locale installed";
    std::string before = std::setlocale(LC_NUMERIC, nullptr);
    {
        tavScene_api_file writer(static_cast<FILE*>(nullptr), false);
        EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    }
    EXPECT_EQ(before, std::setlocale(LC_NUMERIC, nullptr));
    std::setlocale(LC_NUMERIC, "C");
}

TEST(WriterStream, PathConstructorOwnsAndClosesItsFile) {
    char path[] = "/tmp/writer_stream_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ::write(fd, "old content that must go", 24);
    ::close(fd);
    {
        tavScene_api_file writer(path, false);
        writer.set_version(9);
        EXPECT_FALSE(writer.failed());
    }
    EXPECT_EQ(read_file(path), "version 9\n\n");
    std::remove(path);
}

TEST(WriterStream, AFullDeviceIsReported) {
    FILE* unbuffered = std::fopen("/dev/full", "w");
    ASSERT_NE(unbuffered, nullptr);
    std::setvbuf(unbuffered, nullptr, _IONBF, 0);
    {
        tavScene_api_file writer(unbuffered, true);
        EXPECT_FALSE(writer.failed());
        writer.set_version(9);
        EXPECT_TRUE(writer.failed());
    }
    std::fclose(unbuffered);

    FILE* buffered = std::fopen("/dev/full", "w");
    ASSERT_NE(buffered, nullptr);
    {
        tavScene_api_file writer(buffered, true);
        write_a_lot(writer);
        std::fflush(buffered);
        EXPECT_TRUE(writer.failed());
    }
    std::fclose(buffered);
}

TEST(WriterStream, ANullStreamWritesNothingButKeepsState) {
    tavScene_api_file writer(static_cast<FILE*>(nullptr), false);
    EXPECT_TRUE(writer.object_begin("o", true));
    EXPECT_FALSE(writer.camera_begin("refused inside an object"));
    writer.object_end();
    EXPECT_TRUE(writer.camera_begin("cam"));
    EXPECT_FALSE(writer.failed());
}
