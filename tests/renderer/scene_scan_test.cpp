#include "scene_scan.h"

#include <gtest/gtest.h>

#include "scene_tree.h"

namespace {

using vantrel_renderer::topLevelGroups;

TEST(SceneScan, FindsTopLevelGroupsOutsideQuotesAndBinaryBlocks) {
    EXPECT_EQ(topLevelGroups("#print \"Vantrel SceneApi oo {\"\nversion 9\n\nload \"options\" {\n"
                             "\"x\" 1,\n}\n\ncamera \"cam\" {\n}\n\ngroup \"Doc\" {\nflags 1\n\n"
                             "group \"child\" {\n}\n}\n\ngroup xX446f22 {\n}\n"),
              (std::vector<std::string>{"Doc", "Do\""}));
    // Binary float blocks: the marker "\x01\x02\x03", the letter 'f' (0x66), the count, then
    // the values, here two floats whose bytes look like braces.
    const std::string binary("\x01\x02\x03\x66\x02\x00\x00\x00{{{{}}}}", 16);
    EXPECT_EQ(topLevelGroups("object \"a{\" {\ngeometry \"triangles\" {\n\"p\" [ " + binary +
                             "] ,\n}\n}\n\ngroup \"Doc\" {\n}\n"),
              std::vector<std::string>{"Doc"});
    EXPECT_TRUE(topLevelGroups("group \"open").empty());
    EXPECT_TRUE(topLevelGroups(std::string("\x01\x02\x03\x66\xff\xff\xff\xff", 8)).empty());
}

TEST(SceneTree, ShowsModelsOnceInTheActiveModelSet) {
    vantrel_renderer::SceneTree tree;
    tree.addModel("Doc");
    tree.addModel("A&B");
    tree.addModel("Doc");
    EXPECT_EQ(tree.xml(),
              "<scene>\n    <modelsets>\n        <modelset name=\"default\" modelset=\"active\">\n"
              "            <model name=\"Doc\" />\n            <model name=\"A&amp;B\" />\n"
              "        </modelset>\n    </modelsets>\n</scene>\n");
}

}  // namespace
