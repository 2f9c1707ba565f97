#include "scene.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>

#include "tree_arrays.h"
#include "vsp/Node.h"

namespace preview {
namespace {

constexpr float kPi = 3.14159265358979f;

// A scene-file transform: points are rows multiplied from the left, so axes are the
// matrix's first three rows and the offset its fourth.
struct Affine {
    Vec3 rows[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Vec3 offset;

    Vec3 vector(Vec3 v) const { return rows[0] * v.x + rows[1] * v.y + rows[2] * v.z; }
    Vec3 point(Vec3 p) const { return vector(p) + offset; }
    float determinant() const { return dot(rows[0], cross(rows[1], rows[2])); }

    // Applies `this`, then `outer`.
    Affine then(const Affine& outer) const {
        Affine result;
        for (int i = 0; i < 3; ++i) result.rows[i] = outer.vector(rows[i]);
        result.offset = outer.point(offset);
        return result;
    }

    // Normals follow the inverse transpose (its columns are the rows' cross products),
    // which keeps them on the surface's own side through mirrors too.
    Affine normalTransform() const {
        const float sign = determinant() < 0 ? -1.0f : 1.0f;
        Affine result;
        result.rows[0] = cross(rows[1], rows[2]) * sign;
        result.rows[1] = cross(rows[2], rows[0]) * sign;
        result.rows[2] = cross(rows[0], rows[1]) * sign;
        return result;
    }
};

Affine localTransform(const vsp::Node& node) {
    const vsp::Statement* statement = node.findStatement("transform");
    if (!statement) statement = node.findStatement("set transform");
    if (!statement) return {};
    const vsp::Matrix16 m = statement->arg(0).matrix();
    Affine affine;
    for (int r = 0; r < 3; ++r)
        affine.rows[r] = {float(m[4 * r]), float(m[4 * r + 1]), float(m[4 * r + 2])};
    affine.offset = {float(m[12]), float(m[13]), float(m[14])};
    return affine;
}

Vec3 vectorParam(const vsp::Node& node, std::string_view name, Vec3 fallback) {
    for (const vsp::Parameter* p : node.parametersNamed(name)) {
        if (p->value.kind() == vsp::ValueKind::Numbers && p->value.size() == 3) {
            const std::vector<double>& n = p->value.numbers();
            return {float(n[0]), float(n[1]), float(n[2])};
        }
    }
    return fallback;
}

float numberParam(const vsp::Node& node, std::string_view name, float fallback) {
    const vsp::Parameter* p = node.findParameter(name);
    return p && p->value.kind() == vsp::ValueKind::Numbers && p->value.size() == 1
               ? float(p->value.number())
               : fallback;
}

bool isLightShader(const std::string& kind) {
    return kind == "tav_mesh_light" || kind == "tav_point_light";
}

// Gathers the scene while walking the tree; one per sceneFromTree call.
class Builder {
public:
    Builder(Scene& scene, std::string textureFolder)
        : scene_(scene), textureFolder_(std::move(textureFolder)) {}

    void walk(const vsp::Node& node, const Affine& parent) {
        for (const vsp::Node& child : node.children) {
            switch (child.kind) {
                case vsp::NodeKind::Group:
                    walk(child, localTransform(child).then(parent));
                    break;
                case vsp::NodeKind::Object: {
                    const Affine world = localTransform(child).then(parent);
                    object(child, world);
                    walk(child, world);
                    break;
                }
                case vsp::NodeKind::Camera:
                    if (!scene_.camera) scene_.camera = camera(child, parent);
                    break;
                case vsp::NodeKind::Material:
                    if (child.definition) definedMaterials_[child.name] = &child;
                    break;
                default:
                    break;
            }
        }
    }

private:
    void warn(const std::string& text) {
        if (warned_.insert(text).second) scene_.warnings.push_back(text);
    }

    const vsp::Node* materialOf(const vsp::Node& object) {
        for (const vsp::Node& child : object.children)
            if (child.kind == vsp::NodeKind::Material) return &child;
        if (const vsp::Statement* use = object.findStatement("material")) {
            const auto found = definedMaterials_.find(use->arg(0).text());
            if (found != definedMaterials_.end()) return found->second;
        }
        return nullptr;
    }

    void object(const vsp::Node& object, const Affine& world) {
        const vsp::Node* materialNode = materialOf(object);
        const vsp::Node* surface = nullptr;
        if (materialNode) {
            const vsp::Parameter* p = materialNode->findParameter("surface");
            if (p && p->value.kind() == vsp::ValueKind::Shader) surface = &p->value.shader();
        }
        for (const vsp::Node& geometry : object.children) {
            if (geometry.kind != vsp::NodeKind::Geometry) continue;
            const uint32_t material = static_cast<uint32_t>(scene_.materials.size());
            if (geometry.name == "triangles") {
                scene_.meshes.push_back(triangles(geometry, world, material));
            } else if (geometry.name == "tav_bezier_curves") {
                scene_.curves.push_back(curves(geometry, world, material));
            } else {
                warn("geometry \"" + geometry.name + "\" is not shown");
                continue;
            }
            scene_.materials.push_back(surface ? this->material(*surface) : Material{});
            if (surface && isLightShader(surface->name) && geometry.name == "triangles")
                emit(*surface, scene_.meshes.back(), scene_.materials.back());
        }
    }

    TriangleMesh triangles(const vsp::Node& geometry, const Affine& world, uint32_t material) {
        TriangleMesh mesh;
        mesh.material = material;
        const std::vector<Vec3> vertices = vectorsOf(geometry.param("vertices"));
        mesh.triangles = indicesOf(geometry.param("triangles"));
        checkIndices(geometry, "triangles", mesh.triangles, vertices.size(), mesh.triangles.size());
        mesh.positions.reserve(vertices.size());
        for (Vec3 v : vertices) mesh.positions.push_back(world.point(v));

        const vsp::Parameter* normals = geometry.findParameter("normals");
        const vsp::Parameter* normalIndices = geometry.findParameter("triangles_norm");
        if (normals) {
            std::vector<Vec3> values = vectorsOf(normals->value);
            const Affine normalWorld = world.normalTransform();
            for (Vec3& n : values) n = normalize(normalWorld.vector(n));
            // Without their own indices normals go with the vertices.
            const std::vector<uint32_t> indices =
                normalIndices ? indicesOf(normalIndices->value) : mesh.triangles;
            checkIndices(geometry, "triangles_norm", indices, values.size(), mesh.triangles.size());
            mesh.cornerNormals.reserve(indices.size());
            for (uint32_t i : indices) mesh.cornerNormals.push_back(values[i]);
        }
        const vsp::Parameter* uvs = geometry.findParameter("uv_tex");
        const vsp::Parameter* uvIndices = geometry.findParameter("triangles_uv");
        if (uvs) {
            const std::vector<float> values = floatsOf(uvs->value);
            const std::vector<uint32_t> indices =
                uvIndices ? indicesOf(uvIndices->value) : mesh.triangles;
            checkIndices(geometry, "triangles_uv", indices, values.size() / 2,
                         mesh.triangles.size());
            mesh.cornerUvs.reserve(2 * indices.size());
            for (uint32_t i : indices) {
                mesh.cornerUvs.push_back(values[2 * i]);
                mesh.cornerUvs.push_back(values[2 * i + 1]);
            }
        }
        return mesh;
    }

    static void checkIndices(const vsp::Node& geometry, const char* name,
                             const std::vector<uint32_t>& indices, size_t limit, size_t expected) {
        if (indices.size() % 3 != 0 || indices.size() != expected)
            throw std::runtime_error(geometry.describe() + ": \"" + name + "\" holds " +
                                     std::to_string(indices.size()) + " indices, expected " +
                                     std::to_string(expected) + ", three per triangle");
        for (uint32_t i : indices)
            if (i >= limit)
                throw std::runtime_error(geometry.describe() + ": \"" + name + "\" index " +
                                         std::to_string(i) + " outside " + std::to_string(limit) +
                                         " elements");
    }

    CurveSet curves(const vsp::Node& geometry, const Affine& world, uint32_t material) {
        CurveSet set;
        set.material = material;
        const std::vector<Vec3> points = vectorsOf(geometry.param("p"));
        const vsp::Parameter* radii = geometry.findParameter("pr");
        const std::vector<float> pointRadii = radii ? floatsOf(radii->value) : std::vector<float>{};
        const float radius = numberParam(geometry, "radius", 0.5f);
        const std::vector<uint32_t> counts = indicesOf(geometry.param("nvertices"));
        if (!pointRadii.empty() && pointRadii.size() != points.size())
            throw std::runtime_error(geometry.describe() + ": \"pr\" holds " +
                                     std::to_string(pointRadii.size()) + " radii for " +
                                     std::to_string(points.size()) + " points");
        const float scale = std::cbrt(std::fabs(world.determinant()));
        for (size_t i = 0; i < points.size(); ++i) {
            const Vec3 p = world.point(points[i]);
            const float r = (pointRadii.empty() ? radius : pointRadii[i]) * scale;
            set.points.insert(set.points.end(), {p.x, p.y, p.z, r});
        }
        size_t first = 0;
        for (uint32_t count : counts) {
            if (count > points.size() - first)
                throw std::runtime_error(geometry.describe() + ": \"nvertices\" counts more than " +
                                         std::to_string(points.size()) + " points");
            for (uint32_t k = 1; k < count; ++k)
                set.segments.push_back(static_cast<uint32_t>(first + k - 1));
            first += count;
        }
        return set;
    }

    Material material(const vsp::Node& surface) {
        Material m;
        if (isLightShader(surface.name)) {
            m.diffuse = {};
            return m;
        }
        if (surface.name != "tav_diffuse" && surface.name != "tav_advanced")
            warn("surface \"" + surface.name + "\" is shown as grey");
        m.diffuse = vectorParam(surface, "diffuse", m.diffuse);
        m.specular = vectorParam(surface, "specular", m.specular);
        for (const vsp::Parameter* p : surface.parametersNamed("diffuse"))
            if (p->value.kind() == vsp::ValueKind::Shader) texture(p->value.shader(), m);
        return m;
    }

    void texture(const vsp::Node& shader, Material& m) {
        const vsp::Parameter* file = shader.findParameter("texture");
        if (!file || file->value.kind() != vsp::ValueKind::Text) return;
        if (numberParam(shader, "uv_projection", 4) != 4)
            warn("texture " + file->value.text() + ": only UV placement is shown");
        m.texture = textureIndex(file->value.text());
        m.placement.scaleU = numberParam(shader, "scale_u", 1);
        m.placement.scaleV = numberParam(shader, "scale_v", 1);
        m.placement.shiftU = numberParam(shader, "shift_u", 0);
        m.placement.shiftV = numberParam(shader, "shift_v", 0);
        const vsp::Parameter* wrap = shader.findParameter("wrap");
        m.placement.wrap =
            !wrap || wrap->value.kind() != vsp::ValueKind::Bool || wrap->value.boolean();
    }

    int textureIndex(const std::string& file) {
        const auto known = textures_.find(file);
        if (known != textures_.end()) return known->second;
        // An absolute file name replaces the folder.
        const std::string path = (std::filesystem::path(textureFolder_) / file).string();
        int index = -1;
        try {
            scene_.textures.push_back(Texture::load(path));
            index = static_cast<int>(scene_.textures.size()) - 1;
        } catch (const std::exception& error) {
            warn(std::string("texture not read, material colour shown: ") + error.what());
        }
        return textures_[file] = index;
    }

    // A light's power is spread over its mesh's front, so a larger light is less bright
    // per area; distances are in metres for the falloff.
    void emit(const vsp::Node& light, const TriangleMesh& mesh, Material& m) {
        float area = 0;
        for (size_t t = 0; t < mesh.triangles.size(); t += 3) {
            const Vec3 a = mesh.positions[mesh.triangles[t]];
            const Vec3 b = mesh.positions[mesh.triangles[t + 1]];
            const Vec3 c = mesh.positions[mesh.triangles[t + 2]];
            area += 0.5f * length(cross(b - a, c - a));
        }
        const float squareMetres = area * scene_.metersPerUnit * scene_.metersPerUnit;
        if (!(squareMetres > 0)) return;
        const float power = numberParam(light, "power", 100);
        m.emission = vectorParam(light, "color", {1, 1, 1}) * (power / (kPi * squareMetres));
    }

    Camera camera(const vsp::Node& node, const Affine& parent) {
        const vsp::Parameter* projection = node.findParameter("projection");
        if (projection && projection->value.kind() == vsp::ValueKind::Text &&
            projection->value.text() != "perspective")
            warn("camera projection \"" + projection->value.text() + "\" is shown as perspective");
        const Affine world = localTransform(node).then(parent);
        Camera c;
        c.position = world.point(vectorParam(node, "position", {}));
        c.direction = normalize(world.vector(vectorParam(node, "direction", {0, 0, -1})));
        if (node.findParameter("look_at"))
            c.direction = normalize(world.point(vectorParam(node, "look_at", {})) - c.position);
        c.up = normalize(world.vector(vectorParam(node, "up", {0, 1, 0})));
        c.fovDegrees = numberParam(node, "fov", 60);
        if (!(c.fovDegrees > 0.01f && c.fovDegrees < 179)) {
            warn("camera fov out of range, 60 degrees used");
            c.fovDegrees = 60;
        }
        return c;
    }

    Scene& scene_;
    std::string textureFolder_;
    std::map<std::string, int> textures_;
    std::map<std::string, const vsp::Node*> definedMaterials_;
    std::set<std::string> warned_;
};

float metersPerUnit(const vsp::Node& root) {
    for (const vsp::Node* module : root.all(vsp::NodeKind::Module)) {
        const float scale = numberParam(*module, "meter_scale", 0);
        if (scale > 0) return 1 / scale;
    }
    return 0.01f;
}

}  // namespace

Scene sceneFromTree(const vsp::Node& root, const std::string& textureFolder) {
    Scene scene;
    scene.metersPerUnit = metersPerUnit(root);
    Builder(scene, textureFolder).walk(root, Affine{});
    return scene;
}

Screen::Screen(const Camera& camera, int width, int height) : forward_(camera.direction) {
    const float tanX = std::tan(camera.fovDegrees * 0.5f * kPi / 180);
    const Vec3 right = normalize(cross(camera.direction, camera.up));
    right_ = right * tanX;
    up_ = cross(right, camera.direction) * (tanX * height / width);
}

Vec3 Screen::direction(float x, float y) const {
    return normalize(forward_ + right_ * (2 * x - 1) + up_ * (1 - 2 * y));
}

Camera framingCamera(const Scene& scene, float aspect) {
    Vec3 low{1e30f, 1e30f, 1e30f}, high{-1e30f, -1e30f, -1e30f};
    auto grow = [&](Vec3 p) {
        low = {std::fmin(low.x, p.x), std::fmin(low.y, p.y), std::fmin(low.z, p.z)};
        high = {std::fmax(high.x, p.x), std::fmax(high.y, p.y), std::fmax(high.z, p.z)};
    };
    for (const TriangleMesh& mesh : scene.meshes)
        for (Vec3 p : mesh.positions) grow(p);
    for (const CurveSet& set : scene.curves)
        for (size_t i = 0; i + 3 < set.points.size(); i += 4)
            grow({set.points[i], set.points[i + 1], set.points[i + 2]});
    Camera camera;
    camera.fovDegrees = 50;
    if (low.x > high.x) return camera;  // nothing to frame
    const Vec3 centre = (low + high) * 0.5f;
    const float radius = std::fmax(length(high - low) * 0.5f, 1e-6f);
    const float halfWidth = camera.fovDegrees * 0.5f * kPi / 180;
    const float halfAngle = std::fmin(halfWidth, std::atan(std::tan(halfWidth) / aspect));
    // The host's front view looks along its +z, which is -z here after the model's mirror.
    camera.position = centre + Vec3{0, 0, radius / std::sin(halfAngle)};
    return camera;
}

}  // namespace preview
