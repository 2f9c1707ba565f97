#include "installation.h"

#include <cctype>

namespace vantrel_renderer {

std::string Installation::resourceFolder() const {
    return root + "/Library/Application Support/Vantrel" + std::to_string(version) + "/";
}

std::string Installation::registryFolder() const { return resourceFolder() + "instances/"; }

std::string Installation::receivedFolder() const { return resourceFolder() + "received/"; }

std::string Installation::incompleteFolder() const { return resourceFolder() + "incomplete/"; }

std::optional<Installation> installationOf(const std::string& path) {
    const std::string applications = "/Applications/Vantrel";
    const size_t start = path.rfind(applications);
    if (start == std::string::npos) return std::nullopt;
    size_t at = start + applications.size();
    const size_t digits = at;
    while (at < path.size() && std::isdigit(static_cast<unsigned char>(path[at]))) ++at;
    if (at == digits || at - digits > 3) return std::nullopt;
    const int version = std::stoi(path.substr(digits, at - digits));
    if (path.compare(at, 9, "_floating") == 0) at += 9;
    const std::string bundle = ".app/Contents/MacOS/";
    if (path.compare(at, bundle.size(), bundle) != 0) return std::nullopt;
    return Installation{path.substr(0, start), version};
}

}  // namespace vantrel_renderer
