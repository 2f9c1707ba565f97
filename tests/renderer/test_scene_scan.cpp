#include <gtest/gtest.h>

#include "installation.h"
#include "scene_scan.h"
#include "scene_tree.h"

namespace {

using vantrel_renderer::topLevelGroups;

TEST(SceneScan, FindsTopLevelGroupsOnly) {
    const std::string text =
        "#print \"Vantrel SceneApi oo {\"\nversion 9\n\nload \"options\" {\n\"x\" 1,\n}\n"
        "\ncamera \"cam\" {\n}\n\ngroup \"Doc\" {\nflags 1\n\ngroup \"child\" {\n}\n}\n"
        "\ngroup xX446f22 {\n}\n";
    EXPECT_EQ(topLevelGroups(text), (std::vector<std::string>{"Doc", "Do\""}));
}

TEST(SceneScan, BracesInsideQuotesAndBinaryBlocksDoNotCount) {
    std::string binary = "\x01\x02\x03" "f";
    binary += std::string("\x02\x00\x00\x00", 4);
    binary += std::string("{{{{" "}}}}", 8);  // two floats whose bytes look like braces
    const std::string text = "object \"a{\" {\ngeometry \"triangles\" {\n\"p\" [ " + binary +
                             "] ,\n}\n}\n\ngroup \"Doc\" {\n}\n";
    EXPECT_EQ(topLevelGroups(text), std::vector<std::string>{"Doc"});
    EXPECT_TRUE(topLevelGroups("group \"open").empty());
    EXPECT_TRUE(topLevelGroups(std::string("\x01\x02\x03" "f\xff\xff\xff\xff", 8)).empty());
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

TEST(Installation, DerivedFromAnInstalledFilePath) {
    const auto standard = vantrel_renderer::installationOf("/r/Applications/Vantrel8.app/Contents/MacOS/vantrel");
    ASSERT_TRUE(standard);
    EXPECT_EQ(standard->root, "/r");
    EXPECT_EQ(standard->version, 8);
    EXPECT_EQ(standard->registryFolder(), "/r/Library/Application Support/Vantrel8/instances/");
    const auto floating =
        vantrel_renderer::installationOf("/Applications/Vantrel12_floating.app/Contents/MacOS/x.so");
    ASSERT_TRUE(floating);
    EXPECT_EQ(floating->root, "");
    EXPECT_EQ(floating->receivedFolder(), "/Library/Application Support/Vantrel12/received/");
    EXPECT_FALSE(vantrel_renderer::installationOf("/r/build/bin/vantrel"));
    EXPECT_FALSE(vantrel_renderer::installationOf("/Applications/Vantrel.app/Contents/MacOS/vantrel"));
}

}  // namespace
