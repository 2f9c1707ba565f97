// Hostile inputs (kept in tests/host/hostile, where the fuzz harness starts too): each
// either fails with one short, clear line, at no cost beyond what the file carries, or
// opens as the host would and exports.
#include <gtest/gtest.h>

#include <filesystem>

#include "c4d.h"
#include "test_support.h"
#include "vantrel_host/document_file.h"
#include "vantrel_host/model_import.h"

namespace {

using namespace vantrel_host;
using namespace vantrel_host::testing;

const std::string kHostile = VANTREL_HOSTILE_DIR;

// Opens a file as the runner does: a model by its suffix, a document otherwise.
std::unique_ptr<BaseDocument> Open(const std::string& path, std::string& error) {
    if (IsModelFile(path)) return std::move(ImportModel(path, error).document);
    return LoadDocument(path, error);
}

TEST(HostileInputs, FailWithTheirErrorOrOpenAndExport) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        // Counts are held against the data before anything is allocated.
        {"hair_segments_beyond_data.json",
         "objects[0].guides.guides[0].points: expected 100000001 points (segments + 1, none for "
         "0 segments)"},
        {"hair_segments_max.json",
         "objects[0].guides.guides[0].points: expected 2147483648 points (segments + 1, none for "
         "0 segments)"},
        {"track_parameter_min.json", ""},
        // The message stays on one line whatever the key holds.
        {"key_with_control_characters.json", "objects[0].na\\nme\\x01: unknown key"},
        {"layer_without_visibility.json", ""},
        {"shader_links_of_other_kinds.json", ""},
        // Assimp would never return on this one.
        {"header_without_end.ply", "the PLY header has no \"end_header\" line"},
        {"header_end_only_in_words.ply", "the PLY header has no \"end_header\" line"},
        {"negative_index.ply", "mesh 0, face 0: vertex -5 is out of range (the mesh has 3)"},
        {"box.wrl", "not a document or a model file this runner reads"},
        {"model.m3d", "not a document or a model file this runner reads"},
        {"scene.max", "not a document or a model file this runner reads"},
        {"part.jt", "not a document or a model file this runner reads"},
    };
    TempDir dir;
    for (const auto& [file, message] : cases) {
        SCOPED_TRACE(file);
        const std::string path = kHostile + "/" + file;
        std::string error;
        const bool opened = Open(path, error) != nullptr;
        EXPECT_EQ(error, message.empty() ? "" : path + ": " + message);
        if (!opened) continue;
        const CommandRun r =
            RunHost(std::string("--plugins '") + VANTREL_PLUGIN_DIR + "' --document '" + path +
                    "' --command export --save-as '" + dir.File("out.vsp") + "'");
        EXPECT_EQ(r.status, 0) << r.output;
    }
}

TEST(HostileInputs, DeepPlacesAreCutInTheMiddle) {
    std::string nested = "{\"name\": \"Leaf\", \"colour\": 1}";
    for (int i = 0; i < 200; ++i) nested = "{\"children\": [" + nested + "]}";
    std::string error;
    EXPECT_EQ(LoadDocumentFromText("{\"objects\": [" + nested + "]}", "d.json", "", error),
              nullptr);
    EXPECT_LT(error.size(), 300u) << error;
    EXPECT_EQ(error.rfind("d.json: objects[0].children[0].", 0), 0u) << error;
    EXPECT_NE(error.find(" ... "), std::string::npos) << error;
    EXPECT_NE(error.find(".children[0].colour: unknown key"), std::string::npos) << error;

    // A cut never splits a character: after one ASCII byte, every character takes two.
    std::string key = "a";
    for (int i = 0; i < 300; ++i) key += "\xC3\xA9";  // é
    EXPECT_EQ(LoadDocumentFromText("{\"" + key + "\": 1}", "d.json", "", error), nullptr);
    const size_t cut = error.find(" ... ");
    ASSERT_NE(cut, std::string::npos) << error;
    EXPECT_EQ((cut - std::string("d.json: a").size()) % 2, 0u) << error;
    EXPECT_EQ(error.substr(cut + 5, 2), "\xC3\xA9") << error;
}

}  // namespace
