// Lights: every host light becomes a small octahedron whose in-place material emits,
// a mesh light for the host's area lights and a point light for every other kind.
#include <cmath>
#include <cstdint>
#include <limits>

#include "C4DLoader.h"

namespace {

// Candela to lumen over the full sphere, 4π to the precision the renderer expects.
constexpr double kCandelaToLumen = 12.566;

// Eight faces over vertices bottom (0), +X, +Z, -X, -Z, top (5).
constexpr int32_t kOctahedronTriangles[8][3] = {{2, 1, 0}, {1, 2, 5}, {3, 2, 0}, {2, 3, 5},
                                                {4, 3, 0}, {3, 4, 5}, {1, 4, 0}, {4, 1, 5}};

// Parameters are read without a success test: an absent one reads as zero.
GeData parameter(const BaseObject* light, Int32 id) {
    GeData data;
    light->GetParameter(DescID(id), data, DESCFLAGS_GET_0);
    return data;
}

float floatParameter(const BaseObject* light, Int32 id) {
    return static_cast<float>(parameter(light, id).GetFloat());
}

// Truncates toward zero; out-of-range values saturate and NaN gives 0, where a plain
// conversion would be undefined.
int32_t truncateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

void setBool(tavScene_api* api, const char* name, bool value) {
    const int32_t flag = value ? 1 : 0;
    api->set_parameter(name, TAV_BOOL, &flag);
}

}  // namespace

void C4DLoader::writeLight(std::string name, BaseObject* light) {
    const Vector64 color = parameter(light, LIGHT_COLOR).GetVector();
    const float brightness = floatParameter(light, LIGHT_BRIGHTNESS);
    const bool area = parameter(light, LIGHT_TYPE).GetInt32() == LIGHT_TYPE_AREA;

    float halfX = 1.0f, halfY = 1.0f, halfZ = 1.0f;
    if (area) {
        halfX = static_cast<float>(parameter(light, LIGHT_AREA_SIZE_X).GetFloat() * 0.5);
        halfY = static_cast<float>(parameter(light, LIGHT_AREA_SIZE_Y).GetFloat() * 0.5);
        halfZ = static_cast<float>(parameter(light, LIGHT_AREA_SIZE_Z).GetFloat() * 0.5);
    }

    const bool photometric = parameter(light, LIGHT_PHOTOMETRIC).GetInt32() != 0;
    float intensity = 0.0f;
    if (photometric) {
        const bool candela =
            parameter(light, LIGHT_PHOTOMETRIC_UNIT).GetInt32() == LIGHT_UNIT_CANDELA;
        intensity = floatParameter(light, LIGHT_PHOTOMETRIC_INTENSITY);
        if (candela) intensity = static_cast<float>(intensity * kCandelaToLumen);
    }

    tavScene_api* api = sceneWrapper->get_scene_api();
    api->object_begin(name.c_str(), true);

    // The vertices double as normals: each points away from the centre.
    const tavColor vertices[6] = {{0, -halfY, 0}, {halfX, 0, 0},  {0, 0, halfZ},
                                  {-halfX, 0, 0}, {0, 0, -halfZ}, {0, halfY, 0}};
    const tavArray vertexArray{vertices, 6};
    const tavArray triangleArray{kOctahedronTriangles, 24};
    api->geometry_use("triangles");
    api->set_parameter("vertices", TAV_ARRAY | TAV_COLOR, &vertexArray);
    api->set_parameter("normals", TAV_ARRAY | TAV_COLOR, &vertexArray);
    api->set_parameter("triangles", TAV_ARRAY | TAV_INT, &triangleArray);
    api->geometry_end();

    api->material_begin(name.c_str(), true);
    api->shader_begin(nullptr, area ? "tav_mesh_light" : "tav_point_light");
    const int32_t power = truncateToInt(photometric ? intensity : brightness * 100.0);
    api->set_parameter("power", TAV_INT, &power);
    const tavColor lightColor{static_cast<float>(color.x), static_cast<float>(color.y),
                              static_cast<float>(color.z)};
    api->set_parameter("color", TAV_COLOR, &lightColor);
    setBool(api, "lumen", photometric);
    if (area) {
        setBool(api, "visible to the eye", false);
        setBool(api, "visible in reflections", false);
        setBool(api, "visible in shadows", false);
    } else {
        const float radius = 0.0f;
        api->set_parameter("radius", TAV_FLOAT, &radius);
    }
    api->shader_end();
    api->material_set_shader(TAV_SHADER_SURFACE, api->shader_get());
    api->material_end();
    api->object_end();
}
