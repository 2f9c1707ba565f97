// Shared helpers of the model import tests: what a document holds, and where the
// test models of Debian's assimp-testmodels package lie.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"

namespace vantrel_host::testing {

// Installed by assimp-testmodels; tests that read it skip when it is missing.
inline const std::filesystem::path kTestModels = "/usr/share/assimp/models";

#define SKIP_WITHOUT_TEST_MODELS()                                          \
    if (!std::filesystem::is_directory(vantrel_host::testing::kTestModels)) \
    GTEST_SKIP() << "assimp-testmodels is not installed"

struct Counts {
    int objects = 0, polygons = 0, points = 0, materials = 0, cameras = 0, lights = 0, tracks = 0;
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

}  // namespace vantrel_host::testing
