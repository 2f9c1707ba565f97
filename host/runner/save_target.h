// The runner's answer to the save dialog, checked before any command sees it.
#pragma once

#include <optional>
#include <string>

namespace vantrel_host {

// Why the answer cannot be saved to, or nothing when it can: an empty name, a folder
// (or a name ending in "/"), or the very file the runner opened as its document,
// however it is spelt.
std::optional<std::string> SaveTargetProblem(const std::string& answer,
                                             const std::optional<std::string>& document);

}  // namespace vantrel_host
