// Shared helpers of the host tests.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "c4d.h"
#include "vantrel_host/temp_folder.h"

namespace vantrel_host::testing {

// A fresh folder under $TMPDIR (or /tmp), removed with everything in it.
class TempDir : public TempFolder {
public:
    TempDir() : TempFolder("vantrel_host_") {}
    std::string File(const std::string& name) const { return Path() + "/" + name; }
    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(File(name), std::ios::binary) << text;
        return File(name);
    }
};

// A parameter's value, nil when absent.
inline GeData Param(const C4DAtom* node, Int32 id) {
    GeData data;
    node->GetParameter(DescID(id), data, DESCFLAGS_GET_0);
    return data;
}

struct RunResult {
    int status;
    std::string output;  // stdout and stderr
};

// Runs vantrel-host with arguments, after environment assignments ("TMPDIR=...").
inline RunResult RunHost(const std::string& args, const std::string& environment = "") {
    const std::string command = environment + " '" + VANTREL_HOST_RUNNER + "' " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {-1, ""};
    std::string output;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

}  // namespace vantrel_host::testing
