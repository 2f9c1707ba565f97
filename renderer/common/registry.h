// The registry of running stand-in renderers: per process id, an instance entry (the
// XML element the query interface lists) and the instance's scene tree (XML).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace vantrel_renderer {

std::string instanceEntryPath(const std::string& registryFolder, pid_t pid);
std::string sceneTreePath(const std::string& registryFolder, pid_t pid);

// Process ids of the registry's instance entries, ascending.
std::vector<pid_t> registeredProcesses(const std::string& registryFolder);

// Whether the process exists and has not ended (a zombie has ended).
bool processRuns(pid_t pid);

// The whole file, or false when it cannot be read.
bool readFile(const std::string& path, std::string& content);
// Writes a sibling temporary file and renames it over path, so readers never see a
// partial file. False (and no file left behind) on any failure.
bool writeFileAtomically(const std::string& path, const std::string& content);
// Creates the folder and its missing parents.
bool makeFolders(const std::string& path);

}  // namespace vantrel_renderer
