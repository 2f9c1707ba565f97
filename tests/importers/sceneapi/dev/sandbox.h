// A temporary root for the installation discovery: VANTREL_ROOT points at it while the
// object lives, and the whole tree is removed afterwards.
#pragma once

#include <string>

class Sandbox {
public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    const std::string& root() const { return root_; }
    // Creates the executable folder of a standard or floating installation; returns it
    // (ending in "/").
    std::string install(int version, bool floating = false) const;
    std::string resourceFolder(int version) const;

private:
    std::string root_;
};

void writeFile(const std::string& path, const std::string& content, bool executable = false);
std::string readFile(const std::string& path);
bool makeFolders(const std::string& path);
// Copies a file, keeping it executable; replaces the target by rename, so a library
// that was loaded from there before is never changed in place.
void copyFile(const std::string& from, const std::string& to);

// Makes this process adopt the orphans of its descendants, such as launched renderers,
// so that the tests can reap them.
void adoptOrphans();
// Kills and reaps every child of this process.
void killAndReapChildren();
