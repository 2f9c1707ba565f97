// A scene file's content flattened for rendering: meshes and curves in world coordinates,
// their materials, the textures they use, the camera, and what could not be shown.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "texture.h"
#include "vec3.h"

namespace vsp {
struct Node;
}

namespace preview {

// How a texture's pixels are laid over the surface's UVs.
struct UvPlacement {
    float scaleU = 1, scaleV = 1, shiftU = 0, shiftV = 0;
    bool wrap = true;
};

struct Material {
    Vec3 diffuse{0.8f, 0.8f, 0.8f};
    Vec3 specular;     // mirror reflectance
    int texture = -1;  // index into Scene::textures, or -1
    UvPlacement placement;
    Vec3 emission;  // radiance leaving the front of an emitting surface
};

struct TriangleMesh {
    std::vector<Vec3> positions;
    std::vector<uint32_t> triangles;  // three position indices each
    std::vector<Vec3> cornerNormals;  // three per triangle; empty when the file has none
    std::vector<float> cornerUvs;     // six per triangle; empty when the file has none
    uint32_t material = 0;
};

// Round linear segments: x, y, z, radius per point; each segment joins point i and i + 1.
struct CurveSet {
    std::vector<float> points;
    std::vector<uint32_t> segments;
    uint32_t material = 0;
};

struct Camera {
    Vec3 position;
    Vec3 direction{0, 0, -1};
    Vec3 up{0, 1, 0};
    float fovDegrees = 60;  // horizontal
};

// The picture's plane in front of a camera: the direction of the ray through a point of
// the picture, x from the left and y from the top edge, both 0 to 1.
class Screen {
public:
    Screen(const Camera& camera, int width, int height);
    Vec3 direction(float x, float y) const;

private:
    Vec3 forward_, right_, up_;  // right_ and up_ span half the picture
};

struct Scene {
    std::vector<TriangleMesh> meshes;
    std::vector<CurveSet> curves;
    std::vector<Material> materials;
    std::vector<Texture> textures;
    std::optional<Camera> camera;  // the file's first camera
    float metersPerUnit = 0.01f;
    std::vector<std::string> warnings;  // what is shown differently from the file, once each
};

// textureFolder: where texture paths that are not absolute are looked up.
Scene sceneFromTree(const vsp::Node& root, const std::string& textureFolder);

// A camera that shows the whole scene from the front (looking along -z, y up).
Camera framingCamera(const Scene& scene, float aspect);

}  // namespace preview
