// Shared helpers of the model import tests: what a document holds, and where the
// test models of Debian's assimp-testmodels package lie.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "c4d.h"

namespace vantrel_host::testing {

// Installed by assimp-testmodels; tests that read it skip when it is missing.
inline const std::filesystem::path kTestModels = "/usr/share/assimp/models";

#define SKIP_WITHOUT_TEST_MODELS()                                          \
    if (!std::filesystem::is_directory(vantrel_host::testing::kTestModels)) \
    GTEST_SKIP() << "assimp-testmodels is not installed"

struct Counts {
    int objects = 0, polygons = 0, points = 0, materials = 0, cameras = 0, lights = 0, tracks = 0;
    int texture_tags = 0, selections = 0;
};

inline void CountObjects(BaseObject* op, Counts& c) {
    for (; op != nullptr; op = op->GetNext()) {
        ++c.objects;
        c.cameras += op->GetType() == Ocamera;
        c.lights += op->GetType() == Olight;
        if (op->GetType() == Opolygon) {
            c.polygons += static_cast<PolygonObject*>(op)->GetPolygonCount();
            c.points += static_cast<PolygonObject*>(op)->GetPointCount();
        }
        for (CTrack* t = op->GetFirstCTrack(); t != nullptr; t = t->GetNext()) ++c.tracks;
        for (BaseTag* t = op->GetFirstTag(); t != nullptr; t = t->GetNext()) {
            c.texture_tags += t->GetType() == Ttexture;
            c.selections += t->GetType() == Tpolygonselection;
        }
        CountObjects(op->GetDown(), c);
    }
}

inline Counts Count(const BaseDocument& doc) {
    Counts c;
    CountObjects(doc.GetFirstObject(), c);
    for (BaseMaterial* m = doc.GetFirstMaterial(); m != nullptr; m = m->GetNext()) ++c.materials;
    return c;
}

// The counts a model's content fixes, for readable comparisons.
inline std::string Summary(const Counts& c) {
    return "objects " + std::to_string(c.objects) + ", polygons " + std::to_string(c.polygons) +
           ", materials " + std::to_string(c.materials) + ", cameras " + std::to_string(c.cameras) +
           ", lights " + std::to_string(c.lights) + ", tracks " + std::to_string(c.tracks);
}

inline GeData Param(BaseList2D* node, Int32 id) {
    GeData data;
    node->GetParameter(DescID(id), data, DESCFLAGS_GET_0);
    return data;
}

struct RunResult {
    int status;
    std::string output;  // stdout and stderr
};

// Runs vantrel-host with arguments, after environment assignments ("TMPDIR=...").
inline RunResult RunHost(const std::string& environment, const std::string& args) {
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
