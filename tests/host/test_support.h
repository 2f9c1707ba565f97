// Shared helpers of the host tests.
#pragma once

#include <gtest/gtest.h>

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

// Whether every row of a lies within the tolerance of b's; for EXPECT_TRUE, which then
// names the line of the comparison that failed.
inline ::testing::AssertionResult Near(const Matrix& a, const Matrix& b, double tolerance) {
    const char* names[] = {"off", "v1", "v2", "v3"};
    const Vector rows[][2] = {{a.off, b.off}, {a.v1, b.v1}, {a.v2, b.v2}, {a.v3, b.v3}};
    for (int i = 0; i < 4; ++i)
        if (!((rows[i][0] - rows[i][1]).GetLength() < tolerance))
            return ::testing::AssertionFailure() << "rows " << names[i] << " differ";
    return ::testing::AssertionSuccess();
}

// Runs vantrel-host with arguments, after environment assignments ("TMPDIR=...").
inline CommandRun RunHost(const std::string& args, const std::string& environment = "") {
    return runCommand(environment + " \'" + VANTREL_HOST_RUNNER + "\' " + args);
}

}  // namespace vantrel_host::testing
