#include <gtest/gtest.h>

#include "converter_fixture.h"

TEST(ConverterFixture, WrapperAnnouncesItselfOnTheInMemoryFile) {
    ConverterFixture f;
    vsp::Node root = f.parsed();
    ASSERT_NE(root.findStatement("version"), nullptr);
    EXPECT_EQ(root.findStatement("version")->arg(0).integer(), 9);
    EXPECT_EQ(f.loader.document, &f.doc());
}
