// The host process's own state, shared by everything in the SDK library.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "vantrel_host/host_services.h"

namespace vantrel_host {

struct HostState {
    std::vector<RegisteredCommand> commands;
    MessageSink sink;
    std::optional<std::string> file_dialog_answer;
    DialogCounts dialogs;
    UInt64 next_guid = 1;
};

HostState& Host();

}  // namespace vantrel_host
