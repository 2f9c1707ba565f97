// The registry of running stand-in renderers: per process id, an instance entry (the
// XML element the query interface lists) and the instance's scene tree (XML).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "installation.h"

namespace vantrel_renderer {

// One registered renderer as its instance entry states it.
struct InstanceEntry {
    int version = 0;
    pid_t pid = 0;
    int port = 0;
};

// The entry's XML element, the only form the registry holds.
std::string instanceEntryText(const InstanceEntry& entry);
// Reads text in exactly that form; false for anything else.
bool parseInstanceEntry(const std::string& text, InstanceEntry& entry);

std::string instanceEntryPath(const std::string& registryFolder, pid_t pid);
std::string sceneTreePath(const std::string& registryFolder, pid_t pid);

// Process ids of the registry's instance entries, ascending.
std::vector<pid_t> registeredProcesses(const std::string& registryFolder);

// Whether the process exists and has not ended (a zombie has ended).
bool processRuns(pid_t pid);
// Whether the process runs a program of the installation (its executable, or else the
// first word of its command line, lies in the installation's executable folder), so a
// process id taken over by another program is not mistaken for a renderer. True where
// the process table cannot tell.
bool runsProgramOf(pid_t pid, const Installation& installation);

// The whole file, or false when it cannot be read.
bool readFile(const std::string& path, std::string& content);
// Writes a sibling temporary file and renames it over path, so readers never see a
// partial file. False (and no file left behind) on any failure.
bool writeFileAtomically(const std::string& path, const std::string& content);
// Creates the folder and its missing parents.
bool makeFolders(const std::string& path);

}  // namespace vantrel_renderer
