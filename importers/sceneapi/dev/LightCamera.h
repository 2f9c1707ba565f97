// A camera block with its own environment shader.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "LightModule.h"
#include "tavsceneapi_values.h"

namespace tav {

// Camera motion as a scene node that writes itself inside the camera block. The converter
// writes camera motion as tracks instead and never makes one; a subclass supplies insert.
class Animation : public LightNode {};

class LightCamera : public LightNode {
public:
    enum Projection : int32_t { Perspective = 0, Orthographic = 1 };

    explicit LightCamera(std::string cameraName) : name(std::move(cameraName)) {}

    void insert(tavSceneapi_oo* wrapper) const override;
    // Starts an anonymous environment shader, captures it and returns its handle.
    virtual tavShader* getReflectionMap(tavSceneapi_oo* wrapper) const;

    void setPosition(float x, float y, float z) { position = {x, y, z}; }
    void setDirection(float x, float y, float z) { direction = {x, y, z}; }
    void setLookAt(float x, float y, float z);
    void setUp(float x, float y, float z) { up = {x, y, z}; }
    void setFov(float degrees);
    void setFov4(float a, float b, float c, float d);
    // Clipping is written only for 0 < near < far.
    void setClipping(float nearClip, float farClip);
    void setAnimation(std::shared_ptr<Animation> value) { animation = std::move(value); }
    void setTransform(const tavMatrix& m);
    void setProjection(Projection value) { projection = value; }

    std::string getName() const { return name; }
    tavVector getPosition() const { return position; }
    tavVector getDirection() const { return direction; }
    tavVector getLookAt() const { return lookAt; }
    tavVector getUp() const { return up; }
    float getFov() const { return fov; }
    float getNearClip() const { return clip.v[0]; }
    float getFarClip() const { return clip.v[1]; }
    Projection getProjection() const { return projection; }
    bool hasTransform() const { return transformSet; }

private:
    enum FovMode : int32_t { FovSingle = 0, FovFour = 1 };

    std::string name;
    tavVector position{0, 0, 0};
    tavVector direction{0, 0, -1};
    tavVector lookAt{0, 0, -1};
    tavVector up{0, 1, 0};
    float fov = 60.0f;
    Float4B fov4{{0, 0, 0, 0}};
    Float2 clip{{-1.0f, -1.0f}};  // near, far
    std::shared_ptr<Animation> animation;
    bool transformSet = false;
    bool lookAtSet = false;
    tavMatrix transform{};
    Projection projection = Perspective;
    FovMode fovMode = FovSingle;
};

}  // namespace tav
