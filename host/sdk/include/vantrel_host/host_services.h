// The host's side of the SDK subset: what the runner and tests use to drive the host
// (registered commands, message capture, the file dialog's answer). Plug-ins do not
// include this.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "c4d_baseobject.h"
#include "c4d_plugin.h"

namespace vantrel_host {

struct RegisteredCommand {
    Int32 id;
    std::string name;
    std::string help;
    std::string icon;  // the icon's file name, "" without icon
    std::unique_ptr<CommandData> command;
};

// Gives the object these points and polygons, taking their memory over: a document
// builder that made them need not have them zero-filled and copied again.
void AdoptMesh(PolygonObject& op, std::vector<Vector>&& points, std::vector<CPolygon>&& polygons);

// In registration order.
const std::vector<RegisteredCommand>& RegisteredCommands();
// Frees every command object; call before the plug-ins that made them are gone.
void ClearCommands();

enum class MessageKind { Print, Dialog };
using MessageSink = std::function<void(MessageKind, const std::string&)>;
// Where GePrint and MessageDialog go; returns the previous sink. An empty sink
// restores the default: GePrint lines and "Message: " dialog lines on stdout.
MessageSink SetMessageSink(MessageSink sink);

// The answer of the next file dialogs: a path to confirm, or nothing to cancel
// (the default).
void SetFileDialogAnswer(std::optional<std::string> path);

// How many message dialogs were shown and file dialogs cancelled since the last call.
struct DialogCounts {
    int messages = 0;
    int cancelled_file_dialogs = 0;
};
DialogCounts TakeDialogCounts();

}  // namespace vantrel_host
