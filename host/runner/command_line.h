// The runner's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantrel_host {

struct RunnerOptions {
    std::optional<std::string> document;  // none: the demo document
    std::optional<std::string> command;   // id, menu name or help text
    std::optional<std::string> save_as;   // none: the save dialog is cancelled
    std::vector<std::string> select;
    std::optional<std::string> plugins;  // none: plugins/ beside the runner's bin/
    double import_timeout = 300;         // seconds a model import may take
    bool list_commands = false;
    bool help = false;
};

// Throws std::invalid_argument with a message for the user on a usage error.
RunnerOptions ParseCommandLine(const std::vector<std::string>& args);

extern const char* const kUsage;

}  // namespace vantrel_host
