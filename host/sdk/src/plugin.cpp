#include <cstdio>
#include <utility>

#include "c4d_plugin.h"
#include "host_state.h"

namespace vantrel_host {

HostState& Host() {
    static HostState state;
    return state;
}

const std::vector<RegisteredCommand>& RegisteredCommands() { return Host().commands; }

void ClearCommands() { Host().commands.clear(); }

MessageSink SetMessageSink(MessageSink sink) {
    MessageSink previous = std::move(Host().sink);
    Host().sink = std::move(sink);
    return previous;
}

void SetFileDialogAnswer(std::optional<std::string> path) {
    Host().file_dialog_answer = std::move(path);
}

DialogCounts TakeDialogCounts() { return std::exchange(Host().dialogs, DialogCounts()); }

}  // namespace vantrel_host

namespace {

void Show(vantrel_host::MessageKind kind, const String& str) {
    if (kind == vantrel_host::MessageKind::Dialog) ++vantrel_host::Host().dialogs.messages;
    const auto& sink = vantrel_host::Host().sink;
    if (sink) {
        sink(kind, str.GetUtf8());
        return;
    }
    const char* prefix = kind == vantrel_host::MessageKind::Dialog ? "Message: " : "";
    std::printf("%s%s\n", prefix, str.GetUtf8().c_str());
    std::fflush(stdout);
}

}  // namespace

Bool CommandData::Execute(BaseDocument*) { return false; }
Bool CommandData::ExecuteSubID(BaseDocument*, Int32) { return false; }
Bool CommandData::ExecuteOptionID(BaseDocument*, Int32, Int32) { return false; }
Int32 CommandData::GetState(BaseDocument*) { return CMD_ENABLED; }
Bool CommandData::GetSubContainer(BaseDocument*, BaseContainer&) { return false; }
Bool CommandData::RestoreLayout(void*) { return false; }
Bool CommandData::GetScriptName(BaseDocument*, String&) { return false; }
Bool CommandData::Message(Int32, void*) { return true; }

AutoBitmap::AutoBitmap(const String& file, Float) : bitmap_(std::make_unique<BaseBitmap>(file)) {}

Bool RegisterCommandPlugin(Int32 id, const String& str, Int32, BaseBitmap* icon, const String& help,
                           CommandData* dat) {
    std::unique_ptr<CommandData> command(dat);
    auto& commands = vantrel_host::Host().commands;
    if (!command) return false;
    for (const auto& c : commands)
        if (c.id == id) return false;
    commands.push_back({id, str.GetUtf8(), help.GetUtf8(),
                        icon ? icon->GetFileName().GetUtf8() : std::string(), std::move(command)});
    return true;
}

void MessageDialog(const String& str) { Show(vantrel_host::MessageKind::Dialog, str); }

void GePrint(const String& str) { Show(vantrel_host::MessageKind::Print, str); }
