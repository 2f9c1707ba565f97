// Lights: every host light becomes a small octahedron whose in-place material emits,
// a mesh light for the host's area lights and a point light for every other kind.
#include <cmath>
#include <cstdint>
#include <limits>

#include "C4DLoader.h"
#include "C4DParameters.h"
#include "tavsceneapi_values.h"

namespace {

// Candela to lumen over the full sphere, 4π to the precision the renderer expects.
constexpr double kCandelaToLumen = 12.566;

// Eight faces over vertices bottom (0), +X, +Z, -X, -Z, top (5).
constexpr int32_t kOctahedronTriangles[8][3] = {{2, 1, 0}, {1, 2, 5}, {3, 2, 0}, {2, 3, 5},
                                                {4, 3, 0}, {3, 4, 5}, {1, 4, 0}, {4, 1, 5}};

// Parameters are read without a success test: an absent one reads as zero.
float floatParameter(const BaseObject* light, Int32 id) {
    return static_cast<float>(readParameter<Float>(light, id));
}

// Truncates toward zero; out-of-range values saturate and NaN gives 0, where a plain
// conversion would be undefined.
int32_t truncateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

}  // namespace

void C4DLoader::writeLight(std::string name, BaseObject* light) {
    const Vector64 color = readParameter<Vector64>(light, LIGHT_COLOR);
    const float brightness = floatParameter(light, LIGHT_BRIGHTNESS);
    const bool area = readParameter<Int32>(light, LIGHT_TYPE) == LIGHT_TYPE_AREA;

    float halfX = 1.0f, halfY = 1.0f, halfZ = 1.0f;
    if (area) {
        halfX = static_cast<float>(readParameter<Float>(light, LIGHT_AREA_SIZE_X) * 0.5);
        halfY = static_cast<float>(readParameter<Float>(light, LIGHT_AREA_SIZE_Y) * 0.5);
        halfZ = static_cast<float>(readParameter<Float>(light, LIGHT_AREA_SIZE_Z) * 0.5);
    }

    const bool photometric = readParameter<Int32>(light, LIGHT_PHOTOMETRIC) != 0;
    float intensity = 0.0f;
    if (photometric) {
        const bool candela =
            readParameter<Int32>(light, LIGHT_PHOTOMETRIC_UNIT) == LIGHT_UNIT_CANDELA;
        intensity = floatParameter(light, LIGHT_PHOTOMETRIC_INTENSITY);
        if (candela) intensity = static_cast<float>(intensity * kCandelaToLumen);
    }

    using tav::setParameter;
    tavScene_api& api = *sceneWrapper->get_scene_api();
    api.object_begin(name.c_str(), true);

    // The vertices double as normals: each points away from the centre.
    const tavColor vertices[6] = {{0, -halfY, 0}, {halfX, 0, 0},  {0, 0, halfZ},
                                  {-halfX, 0, 0}, {0, 0, -halfZ}, {0, halfY, 0}};
    api.geometry_use("triangles");
    tav::setArray(api, "vertices", vertices, 6);
    tav::setArray(api, "normals", vertices, 6);
    tav::setArray(api, "triangles", &kOctahedronTriangles[0][0], 24);
    api.geometry_end();
    ++counts.objects;
    counts.triangles += 8;

    api.material_begin(name.c_str(), true);
    api.shader_begin(nullptr, area ? "tav_mesh_light" : "tav_point_light");
    setParameter(api, "power", truncateToInt(photometric ? intensity : brightness * 100.0));
    setParameter(api, "color",
                 tavColor{static_cast<float>(color.x), static_cast<float>(color.y),
                          static_cast<float>(color.z)});
    setParameter(api, "lumen", photometric);
    if (area) {
        setParameter(api, "visible to the eye", false);
        setParameter(api, "visible in reflections", false);
        setParameter(api, "visible in shadows", false);
    } else {
        setParameter(api, "radius", 0.0f);
    }
    api.shader_end();
    api.material_set_shader(TAV_SHADER_SURFACE, api.shader_get());
    api.material_end();
    ++counts.materials;
    api.object_end();
}
