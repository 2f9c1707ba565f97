// Where a stand-in renderer installation keeps its files, derived from the path of one
// of its installed files: ROOT/Applications/Vantrel<N>[_floating].app/Contents/MacOS/<file>.
// Its resource folder is ROOT/Library/Application Support/Vantrel<N>/, which holds the
// registry of running instances ("instances/"), the received scenes ("received/") and
// the scenes whose stream was cut off ("incomplete/").
#pragma once

#include <optional>
#include <string>

namespace vantrel_renderer {

struct Installation {
    std::string root;  // empty for a real system installation
    int version = 0;

    std::string resourceFolder() const;
    std::string registryFolder() const;
    std::string receivedFolder() const;
    std::string incompleteFolder() const;
};

// The installation a file lies in, or nothing when the path does not follow the layout.
std::optional<Installation> installationOf(const std::string& path);

}  // namespace vantrel_renderer
