#include <gtest/gtest.h>

#include "C4DText.h"

TEST(Utf8Text, CutNeverSplitsACharacter) {
    const std::string e_acute = "\xc3\xa9", euro = "\xe2\x82\xac";
    EXPECT_EQ(cutUtf8("abc", 3), "abc");
    EXPECT_EQ(cutUtf8("abcd", 3), "abc");
    EXPECT_EQ(cutUtf8("ab" + e_acute, 3), "ab");
    EXPECT_EQ(cutUtf8("a" + euro + "b", 3), "a");
    EXPECT_EQ(cutUtf8("a" + euro + "b", 4), "a" + euro);
    EXPECT_EQ(cutUtf8(euro, 2), "");

    char buffer[5];  // four bytes of text
    copyUtf8(buffer, sizeof buffer, "x" + euro);
    EXPECT_STREQ(buffer, ("x" + euro).c_str());
    copyUtf8(buffer, sizeof buffer, "xy" + euro);
    EXPECT_STREQ(buffer, "xy");
}

TEST(Utf8Text, HostTextThatIsNotUtf8IsRefused) {
    std::string out = "kept";
    EXPECT_FALSE(getUtf8(String(std::string("bad \xff byte")), out));
    EXPECT_EQ(out, "kept");
    EXPECT_TRUE(getUtf8(String("Cube"), out));
    EXPECT_EQ(out, "Cube");
}
