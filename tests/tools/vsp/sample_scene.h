// A scene that uses every value form and block the text writer produces, written through
// the scene interface; values are exact in both "%g" text and binary.
#pragma once

#include <vector>

#include "scene_arrays.h"
#include "tavsceneapi.h"

namespace sample_scene {

// A name with a quote, a newline and UTF-8: written hex-encoded.
inline const char kOddName[] = "Cube \"1\"\nw\xc3\xa4hlen";

inline tavMatrix matrix(double scale, double x) {
    return {{scale, 0, 0, 0, 0, scale, 0, 0, 0, 0, scale, 0, x, 0, 0, 1}};
}

template <class T>
void set(tavScene_api& api, const char* name, tavType type, T value) {
    api.set_parameter(name, type, &value);
}

// What an export writes after the file's prologue, plus the writer's other value forms.
inline void writeScene(tavScene_api& api) {
    api.module_begin("tavrtopt.so");
    set(api, "import_mode", TAV_BOOL, 1);
    set(api, "meter_scale", TAV_FLOAT, 100.0f);
    api.module_end();

    api.camera_begin("Cam");
    api.shader_begin(nullptr, "tav_envmap");
    api.set_parameter("texture", TAV_STRING, "startup.hdr");
    api.shader_end();
    set(api, "reflection map", TAV_SHADER, api.shader_get());
    set(api, "position", TAV_VECTOR, tavVector{0, 0.5, -2});
    api.camera_end();

    api.group_begin("untitled", true);
    api.set_flags(1);
    api.transform(matrix(1, 0));
    api.group_begin(kOddName, true);
    api.object_begin(kOddName, true);
    api.geometry_use("triangles");
    setArray<tavColor>(api, "vertices", TAV_COLOR, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}});
    setArray<float>(api, "uv_tex", TAV_FLOAT, {0, 0, 1, 0, 0.5, 1});
    setArray<int>(api, "triangles", TAV_INT, {0, 2, 1, 2, 1, 3});
    api.geometry_end();

    api.shader_begin(nullptr, "texture2_rgb");
    api.set_parameter("texture", TAV_STRING, kOddName);  // raw bytes inside the capture
    set(api, "transform_obj_to_uv", TAV_MATRIX, matrix(0.5, 0));
    api.shader_end();
    tavShader* texture = api.shader_get();
    api.shader_begin(nullptr, "tav_advanced");
    set(api, "diffuse", TAV_COLOR, tavColor{1, 1, 1});
    api.set_subshader("diffuse", texture);
    api.shader_end();
    tavShader* surface = api.shader_get();
    api.material_begin("Mat", true);
    api.material_set_shader(TAV_SHADER_SURFACE, surface);
    api.material_end();
    api.object_end();

    api.animation_begin("fbx_animation", "Cube.Position");
    set(api, "start_time", TAV_INT, 1);
    setArray<tavMatrix>(api, "matrices", TAV_MATRIX, {matrix(1, 0), matrix(1, 2.5)});
    setArray<int>(api, "timestamps", TAV_INT, {0, 40});
    api.animation_end();
    api.group_end();
    api.group_end();

    api.initialize_array_mode("colors");
    for (float c : {0.f, 0.25f, 0.5f}) {
        tavColor color{c, c, 1};
        api.set_array_parameter(TAV_COLOR, &color);
    }
    api.finalize_array_mode();
    const char* names[] = {"a", kOddName};
    setArray<const char*>(api, "names", TAV_STRING, {names[0], names[1]});
    setArray<double>(api, "weights", TAV_DOUBLE, {0.5, -2.25});
    setArray<float>(api, "none", TAV_FLOAT, {});
    api.set_data("thumbnail", "\x00\n\xff", 3);
}

}  // namespace sample_scene
