// Shared helpers of the host tests.
#pragma once

#include <fstream>
#include <string>

#include "c4d.h"
#include "run_command.h"
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

// Runs vantrel-host with arguments, after environment assignments ("TMPDIR=...").
inline CommandRun RunHost(const std::string& args, const std::string& environment = "") {
    return runCommand(environment + " \'" + VANTREL_HOST_RUNNER + "\' " + args);
}

}  // namespace vantrel_host::testing
