// Temporary VANTREL_ROOT sandboxes and the file and process helpers of the link tests.
#pragma once

#include <functional>
#include <string>

// A temporary root for the installation discovery: VANTREL_ROOT points at it while the
// object lives, and the whole tree is removed afterwards.
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

// A sandbox whose processes end with it: this process adopts the orphans of its
// descendants, such as launched renderers (child subreaper), and the destructor kills
// and reaps every child, also when an assertion failed.
class ProcessSandbox : public Sandbox {
public:
    ProcessSandbox();
    ~ProcessSandbox();
};

void writeFile(const std::string& path, const std::string& content, bool executable = false);
std::string readFile(const std::string& path);
// Copies a file, keeping it executable; replaces the target by rename, so a library
// that was loaded from there before is never changed in place.
void copyFile(const std::string& from, const std::string& to);
// Whether the shared library at path is loaded in this process.
bool isLoaded(const std::string& path);
// Checks the condition every 10 ms for up to 5 s; whether it came true.
bool eventually(const std::function<bool()>& condition);
