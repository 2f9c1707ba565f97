// The commands: registration (the host keeps their ids in layouts and menus), and what the
// user is told when a command cannot do its work.
#include <gtest/gtest.h>
#include <unistd.h>

#include "VantrelCinema4DPlugin.h"
#include "sandbox.h"
#include "vantrel_host/document_builder.h"
#include "vantrel_host/host_services.h"
#include "vsp/Reader.h"

using namespace vantrel_host;

namespace {

using Told = std::vector<std::string>;

// Collects what the plug-in shows the user while it lives.
struct MessageCapture {
    MessageCapture()
        : previous(SetMessageSink(
              [this](MessageKind, const std::string& text) { messages.push_back(text); })) {}
    ~MessageCapture() { SetMessageSink(previous); }
    Told messages;
    MessageSink previous;
};

// Exports through the save dialog answered with path: the result and what the user was told.
std::pair<bool, Told> exportTo(C4DLoader& loader, BaseDocument* doc,
                               const std::optional<std::string>& path) {
    MessageCapture capture;
    SetFileDialogAnswer(path);
    const bool result = loader.vspExport(doc);
    SetFileDialogAnswer(std::nullopt);
    EXPECT_EQ(loader.sceneWrapper, nullptr);
    return {result, capture.messages};
}

}  // namespace

TEST(PluginShell, RegistersTheThreeCommandsWithTheirIdsNamesIconsAndHelp) {
    ClearCommands();
    EXPECT_TRUE(PluginStart());
    Told registered;
    for (const RegisteredCommand& c : RegisteredCommands()) {
        registered.push_back(std::to_string(c.id) + " " + c.name + " " + c.icon + " " + c.help);
        EXPECT_EQ(c.command->GetState(nullptr), CMD_ENABLED);
    }
    EXPECT_EQ(registered, (Told{"1033591 Render render.png Render in Vantrel",
                                "1034393 Update update.png Update Vantrel scene",
                                "1034420 Export export.png Export to .vsp"}));
    PluginEnd();
    ClearCommands();
}

TEST(Commands, TellTheUserWhatFailedAndNeverLeaveASilentlyBrokenFile) {
    Sandbox folder;  // no renderer installed under VANTREL_ROOT
    C4DLoader loader;
    MessageCapture capture;
    EXPECT_TRUE(VantrelCinema4DRender(&loader).Execute(nullptr));  // without a document too
    EXPECT_TRUE(VantrelCinema4DUpdate(&loader).Execute(nullptr));
    const std::string noRenderer =
        "Failed to connect. Could not get a scene api. Please check your Vantrel installation.";
    EXPECT_EQ(capture.messages, (Told{noRenderer, noRenderer}));
    EXPECT_EQ(loader.sceneWrapper, nullptr);

    AutoAlloc<BaseDocument> doc;
    doc->SetDocumentName(Filename("Shop.c4d"));
    AddObject(*doc, Onull, "Shelf");
    // The dialog adds the forced suffix.
    EXPECT_EQ(exportTo(loader, doc, folder.root() + "/shop"),
              std::make_pair(true, Told{"Exported \"" + folder.root() +
                                        "/shop.vsp\" (679 bytes): 0 objects with 0 triangles, "
                                        "0 materials, 0 cameras, 0 animation tracks"}));
    EXPECT_NE(vsp::parseFile(folder.root() + "/shop.vsp").find("Shop/Shelf"), nullptr);

    const std::string missing = folder.root() + "/no such folder/scene.vsp";
    EXPECT_EQ(exportTo(loader, doc, missing),
              std::make_pair(false, Told{"could not open file: \"" + missing + "\""}));
    EXPECT_NE(access(missing.c_str(), F_OK), 0);
    const std::string full = folder.root() + "/full.vsp";  // a disk that is always full
    ASSERT_EQ(symlink("/dev/full", full.c_str()), 0);
    EXPECT_EQ(exportTo(loader, doc, full),
              std::make_pair(false, Told{"could not write file: \"" + full + "\""}));
    EXPECT_EQ(exportTo(loader, doc, std::nullopt), std::make_pair(false, Told{}));  // cancelled
}
