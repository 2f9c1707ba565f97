#include "embree_scene.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace preview {

EmbreeScene::EmbreeScene(const Scene& scene) {
    device_.reset(rtcNewDevice(nullptr));
    if (!device_) throw std::runtime_error("Embree could not start");
    scene_.reset(rtcNewScene(device_.get()));
    check("creating the scene");
    for (uint32_t i = 0; i < scene.meshes.size(); ++i) attachMesh(scene.meshes[i], i);
    for (uint32_t i = 0; i < scene.curves.size(); ++i) attachCurves(scene.curves[i], i);
    rtcCommitScene(scene_.get());
    check("building the scene");
}

void EmbreeScene::check(const char* doing) const {
    const RTCError error = rtcGetDeviceError(device_.get());
    if (error != RTC_ERROR_NONE)
        throw std::runtime_error(std::string("Embree failed ") + doing + " (error " +
                                 std::to_string(static_cast<int>(error)) + ")");
}

void EmbreeScene::attachMesh(const TriangleMesh& mesh, uint32_t index) {
    if (mesh.triangles.empty()) return;
    RTCGeometry geometry = rtcNewGeometry(device_.get(), RTC_GEOMETRY_TYPE_TRIANGLE);
    // Embree's own buffers carry the padding it reads past the last vertex.
    void* vertices = rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3,
                                             sizeof(Vec3), mesh.positions.size());
    void* triangles = rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3,
                                              3 * sizeof(uint32_t), mesh.triangles.size() / 3);
    if (!vertices || !triangles) {
        rtcReleaseGeometry(geometry);
        check("allocating a mesh");
        throw std::runtime_error("Embree could not allocate a mesh");
    }
    std::memcpy(vertices, mesh.positions.data(), mesh.positions.size() * sizeof(Vec3));
    std::memcpy(triangles, mesh.triangles.data(), mesh.triangles.size() * sizeof(uint32_t));
    attach(geometry, {Kind::Mesh, index});
}

void EmbreeScene::attachCurves(const CurveSet& set, uint32_t index) {
    if (set.segments.empty()) return;
    RTCGeometry geometry = rtcNewGeometry(device_.get(), RTC_GEOMETRY_TYPE_ROUND_LINEAR_CURVE);
    void* points = rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT4,
                                           4 * sizeof(float), set.points.size() / 4);
    void* segments = rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT,
                                             sizeof(uint32_t), set.segments.size());
    if (!points || !segments) {
        rtcReleaseGeometry(geometry);
        check("allocating curves");
        throw std::runtime_error("Embree could not allocate curves");
    }
    std::memcpy(points, set.points.data(), set.points.size() * sizeof(float));
    std::memcpy(segments, set.segments.data(), set.segments.size() * sizeof(uint32_t));
    attach(geometry, {Kind::Curves, index});
}

void EmbreeScene::attach(RTCGeometry geometry, Source source) {
    rtcCommitGeometry(geometry);
    const unsigned id = rtcAttachGeometry(scene_.get(), geometry);
    rtcReleaseGeometry(geometry);
    check("adding geometry");
    if (sources_.size() <= id) sources_.resize(id + 1);
    sources_[id] = source;
}

}  // namespace preview
