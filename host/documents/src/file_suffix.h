// File suffixes, which decide how the host reads a file.
#pragma once

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>

namespace vantrel_host {

// The suffix of a path in lower case (".json"); "" without one.
inline std::string LowerCaseSuffix(const std::string& path) {
    std::string suffix = std::filesystem::path(path).extension().string();
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return suffix;
}

}  // namespace vantrel_host
