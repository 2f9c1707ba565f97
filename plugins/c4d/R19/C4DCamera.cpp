// Cameras: written before the model group as camera records in the renderer's
// right-handed space, each followed by its own animation.
#include <string>

#include "C4DAnimation.h"
#include "C4DLoader.h"
#include "C4DParameters.h"
#include "C4DText.h"
#include "LightCamera.h"

namespace {

// The global matrix followed by the mirror of the model group: every row's z negated.
tavMatrix cameraTransform(const Matrix64& global) {
    tavMatrix m = toTavMatrix(global);
    for (int row = 0; row < 4; ++row) m.m[4 * row + 2] = -m.m[4 * row + 2];
    return m;
}

std::string cameraName(const BaseObject* camera) {
    std::string name;
    if (!getUtf8(camera->GetName(), name) || name.empty()) return "Camera";
    return cutUtf8(name, kMaxNameBytes);
}

}  // namespace

// Depth-first over the object tree; caches do not hold cameras the user placed.
void C4DLoader::getCameras(BaseObject* object, std::vector<BaseObject*>& cameras) {
    if (object->GetType() == Ocamera) cameras.push_back(object);
    for (BaseObject* child = object->GetDown(); child; child = child->GetNext())
        getCameras(child, cameras);
}

void C4DLoader::writeCamera(BaseObject* camera) {
    const float radians = static_cast<float>(readParameter<Float>(camera, CAMERA_FIELD_OF_VIEW));
    const std::string name = cameraName(camera);

    tav::LightCamera record(name);
    record.setPosition(0, 0, 0);
    record.setDirection(0, 0, 1);
    record.setUp(0, 1, 0);
    record.setFov(static_cast<float>(radians * 57.29577951308232));
    record.setTransform(cameraTransform(camera->GetMg()));
    // The renderer takes every camera as perspective; a parallel host camera keeps its
    // field of view.
    record.setProjection(tav::LightCamera::Perspective);
    sceneWrapper->insertNode(record);
    ++counts.cameras;

    writeTransformTracks(camera, name.c_str(), camera->GetAbsPos(), camera->GetAbsRot(),
                         camera->GetRotationOrder(), camera->GetAbsScale(), true);
}
