#include "LightCamera.h"

#include "tavsceneapi_oo.h"
#include "tavsceneapi_values.h"

namespace tav {

void LightCamera::setLookAt(float x, float y, float z) {
    lookAt = {x, y, z};
    lookAtSet = true;
}

void LightCamera::setFov(float degrees) {
    fov = degrees;
    fovMode = FovSingle;
}

void LightCamera::setFov4(float a, float b, float c, float d) {
    fov4 = {{a, b, c, d}};
    fovMode = FovFour;
}

void LightCamera::setClipping(float nearClip, float farClip) { clip = {{nearClip, farClip}}; }

void LightCamera::setTransform(const tavMatrix& m) {
    transform = m;
    transformSet = true;
}

void LightCamera::insert(tavSceneapi_oo* wrapper) const {
    tavScene_api* api = wrapper->get_scene_api();
    api->camera_begin(name.c_str());
    if (projection == Orthographic) {
        wrapper->set_parameter("projection", std::string("orthographic"));
    } else {
        wrapper->set_parameter("projection", std::string("perspective"));
        if (fovMode == FovFour)
            setParameter(*api, "fov4", fov4);
        else
            wrapper->set_parameter("fov", fov);
    }
    setParameter(*api, "reflection map", getReflectionMap(wrapper));
    wrapper->set_parameter("position", position);
    wrapper->set_parameter("direction", direction);
    if (lookAtSet) wrapper->set_parameter("look_at", lookAt);
    wrapper->set_parameter("up", up);
    if (clip.v[0] > 0 && clip.v[1] > 0 && clip.v[0] < clip.v[1])
        setParameter(*api, "clipping", clip);
    if (animation)
        wrapper->insertNode(*animation);
    else if (transformSet)
        wrapper->set_transform(transform);
    api->camera_end();
}

tavShader* LightCamera::getReflectionMap(tavSceneapi_oo* wrapper) const {
    tavScene_api* api = wrapper->get_scene_api();
    api->shader_begin(nullptr, "tav_envmap");
    wrapper->set_parameter("texture", std::string("startup.hdr"));
    wrapper->set_parameter("format", 3);
    wrapper->set_parameter("radius", 25.0f);
    tavShader* handle = api->shader_get();
    wrapper->shaderEnd();
    return handle;
}

}  // namespace tav
