// The export command's file road: the chosen file, and every way it can fail.
#include <gtest/gtest.h>
#include <unistd.h>

#include "C4DLoader.h"
#include "sandbox.h"
#include "vantrel_host/document_builder.h"
#include "vantrel_host/host_services.h"
#include "vsp/Reader.h"

using namespace vantrel_host;

namespace {

// Exports doc through the save dialog answered with path; what the user was told.
std::vector<std::string> exportTo(C4DLoader& loader, BaseDocument* doc, const std::string& path,
                                  bool expectedResult) {
    std::vector<std::string> messages;
    const MessageSink previous =
        SetMessageSink([&](MessageKind, const std::string& text) { messages.push_back(text); });
    SetFileDialogAnswer(path);
    EXPECT_EQ(loader.vspExport(doc), expectedResult) << path;
    SetFileDialogAnswer(std::nullopt);
    SetMessageSink(previous);
    EXPECT_EQ(loader.sceneWrapper, nullptr);
    return messages;
}

}  // namespace

TEST(Export, WritesTheChosenFileWithHeaderOptionsAndModel) {
    Sandbox folder;
    AutoAlloc<BaseDocument> doc;
    doc->SetDocumentName(Filename("Shop.c4d"));
    AddObject(*doc, Onull, "Shelf");
    C4DLoader loader;
    // The dialog adds the forced suffix.
    EXPECT_TRUE(exportTo(loader, doc, folder.root() + "/shop", true).empty());

    const vsp::Node root = vsp::parseFile(folder.root() + "/shop.vsp");
    std::vector<std::string> comments;
    for (const vsp::Statement* s : root.statementsNamed("//")) comments.push_back(s->arg(0).text());
    ASSERT_GE(comments.size(), 4u);
    EXPECT_EQ(comments[0], "---tavrin:dal:7---");
    EXPECT_EQ(comments[3], " This is a Vantrel scene file");
    const vsp::Node* options = root.find("tavrtopt.so");
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->kind, vsp::NodeKind::Module);
    EXPECT_TRUE(options->param("import_adjust_camera").boolean());
    EXPECT_TRUE(options->param("import_adjust_environment").boolean());
    EXPECT_NE(root.find("Shop/Shelf"), nullptr);
}

TEST(Export, FilesThatCannotBeOpenedOrWrittenAreReportedNeverSilentlyKept) {
    Sandbox folder;
    AutoAlloc<BaseDocument> doc;
    AddObject(*doc, Onull, "Shelf");
    C4DLoader loader;

    const std::string missing = folder.root() + "/no such folder/scene.vsp";
    EXPECT_EQ(exportTo(loader, doc, missing, false),
              std::vector<std::string>{"could not open file: \"" + missing + "\""});
    EXPECT_NE(access(missing.c_str(), F_OK), 0);

    // A full disk: the chosen file is the device that is always full.
    const std::string full = folder.root() + "/full.vsp";
    ASSERT_EQ(symlink("/dev/full", full.c_str()), 0);
    EXPECT_EQ(exportTo(loader, doc, full, false),
              std::vector<std::string>{"could not write file: \"" + full + "\""});

    // Cancelled: nothing happens.
    SetFileDialogAnswer(std::nullopt);
    EXPECT_FALSE(loader.vspExport(doc));
}
