// Documents nested as deep as the document loader and the model import accept (256
// levels below the top) export, and the scene file reads back whole.
#include <gtest/gtest.h>

#include "converter_fixture.h"

using namespace vantrel_host;

TEST(DeepNesting, DocumentNestedAsDeepAsItsLoaderAllowsReadsBackWhole) {
    constexpr int kLevels = 257;  // the top level and 256 below it
    ConverterFixture f;
    std::vector<std::string> path = {"untitled"};
    BaseObject* parent = nullptr;
    for (int level = 0; level + 1 < kLevels; ++level) {
        path.push_back("n" + std::to_string(level));
        parent = AddObject(f.doc(), Onull, path.back(), parent);
    }
    PolygonObject* mesh = AddPolygonObject(f.doc(), "Leaf", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
                                           {CPolygon(0, 1, 2)}, parent);
    Material* material = AddStandardMaterial(f.doc(), "Mat");
    material->SetChannelState(CHANNEL_COLOR, true);
    AddTextureTag(*mesh, material);

    const vsp::Node root = f.loaded();
    path.insert(path.end(), {"Leaf", "Leaf"});
    const vsp::Node* leaf = root.find(path);
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->at("triangles").param("triangles").size(), 3u);
    EXPECT_EQ(leaf->at("Mat").shader("surface").kind, vsp::NodeKind::Shader);
}
