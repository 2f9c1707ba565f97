// The command shell: registration, states, messages, and commands without a document.
#include <gtest/gtest.h>

#include "VantrelCinema4DPlugin.h"
#include "sandbox.h"
#include "vantrel_host/host_services.h"

using namespace vantrel_host;

namespace {

// Collects what the plug-in shows the user while it lives.
class MessageCapture {
public:
    MessageCapture() {
        previous = SetMessageSink(
            [this](MessageKind, const std::string& text) { messages.push_back(text); });
    }
    ~MessageCapture() { SetMessageSink(previous); }
    std::vector<std::string> messages;

private:
    MessageSink previous;
};

}  // namespace

TEST(PluginShell, RegistersTheThreeCommandsWithTheirIdsNamesIconsAndHelp) {
    ClearCommands();
    EXPECT_TRUE(PluginStart());
    const auto& commands = RegisteredCommands();
    ASSERT_EQ(commands.size(), 3u);
    const struct {
        Int32 id;
        const char *name, *icon, *help;
    } expected[] = {{1033591, "Render", "render.png", "Render in Vantrel"},
                    {1034393, "Update", "update.png", "Update Vantrel scene"},
                    {1034420, "Export", "export.png", "Export to .vsp"}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(commands[i].id, expected[i].id);
        EXPECT_EQ(commands[i].name, expected[i].name);
        EXPECT_EQ(commands[i].icon, expected[i].icon);
        EXPECT_EQ(commands[i].help, expected[i].help);
        EXPECT_EQ(commands[i].command->GetState(nullptr), CMD_ENABLED);
        EXPECT_TRUE(commands[i].command->RestoreLayout(nullptr));
    }
    EXPECT_TRUE(PluginMessage(0, nullptr));
    EXPECT_TRUE(PluginMessage(1, nullptr));
    EXPECT_FALSE(PluginMessage(2, nullptr));
    EXPECT_FALSE(PluginMessage(C4DPL_STARTACTIVITY, nullptr));
    PluginEnd();
    ClearCommands();
}

TEST(PluginShell, CommandsWithoutDocumentEndNormally) {
    Sandbox sandbox;  // no renderer installed under VANTREL_ROOT
    C4DLoader loader;
    MessageCapture capture;
    SetFileDialogAnswer(std::nullopt);

    EXPECT_TRUE(VantrelCinema4DExport(&loader).Execute(nullptr));  // dialog cancelled
    EXPECT_TRUE(capture.messages.empty());
    EXPECT_EQ(loader.sceneWrapper, nullptr);

    EXPECT_TRUE(VantrelCinema4DRender(&loader).Execute(nullptr));
    EXPECT_TRUE(VantrelCinema4DUpdate(&loader).Execute(nullptr));
    ASSERT_EQ(capture.messages.size(), 2u);
    for (const std::string& message : capture.messages)
        EXPECT_EQ(message,
                  "Failed to connect. Could not get a scene api. Please check your Vantrel "
                  "installation.");
    EXPECT_EQ(loader.sceneWrapper, nullptr);
}
