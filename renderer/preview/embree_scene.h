// A Scene's meshes and curves in an Embree acceleration structure, and which of them
// each Embree geometry id stands for.
#pragma once

#include <embree3/rtcore.h>

#include <memory>
#include <vector>

#include "scene.h"

namespace preview {

class EmbreeScene {
public:
    enum class Kind { Mesh, Curves };
    struct Source {
        Kind kind;
        uint32_t index;  // into Scene::meshes or Scene::curves
    };

    // Throws std::runtime_error when Embree fails.
    explicit EmbreeScene(const Scene& scene);

    RTCScene handle() const { return scene_.get(); }
    Source source(unsigned geometryId) const { return sources_[geometryId]; }

private:
    struct DeviceDeleter {
        void operator()(RTCDeviceTy* device) const { rtcReleaseDevice(device); }
    };
    struct SceneDeleter {
        void operator()(RTCSceneTy* scene) const { rtcReleaseScene(scene); }
    };

    void attachMesh(const TriangleMesh& mesh, uint32_t index);
    void attachCurves(const CurveSet& set, uint32_t index);
    void attach(RTCGeometry geometry, Source source);
    void check(const char* doing) const;

    std::unique_ptr<RTCDeviceTy, DeviceDeleter> device_;
    std::unique_ptr<RTCSceneTy, SceneDeleter> scene_;
    std::vector<Source> sources_;
};

}  // namespace preview
