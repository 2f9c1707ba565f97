#include "model_import_scene.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

#include "model_import_animation.h"
#include "model_import_materials.h"
#include "model_import_mesh.h"
#include "model_import_space.h"
#include "vantrel_host/document_builder.h"

namespace vantrel_host::model_import {
namespace {

// Host light types besides LIGHT_TYPE_AREA.
constexpr Int32 kOmniLight = 0;
constexpr Int32 kSpotLight = 1;
constexpr Int32 kDistantLight = 3;

void Place(BaseObject& op, const Matrix& m) {
    const Transform t = Decompose(m);
    op.SetRelPos(t.position);
    op.SetRelRot(t.rotation);
    op.SetRelScale(t.scale);
}

// Cameras and lights look along +z with +y up in the host. This frame turns them to
// look along direction with up as near to up as it can, at position.
Matrix Frame(const aiVector3D& position, const aiVector3D& direction, const aiVector3D& up) {
    Vector z = ToHost(direction).GetNormalized();
    if (z == Vector()) z = Vector(0, 0, 1);
    Vector y = ToHost(up);
    y -= z * Dot(y, z);
    if (y.GetLength() < 1e-9) {
        y = std::abs(z.y) < 0.9 ? Vector(0, 1, 0) : Vector(1, 0, 0);
        y -= z * Dot(y, z);
    }
    y = y.GetNormalized();
    return Matrix(ToHost(position), Cross(y, z), y, z);
}

// The host has no ambient light; it and lights of no type are left out.
std::optional<Int32> HostLightType(aiLightSourceType type) {
    switch (type) {
        case aiLightSource_POINT:
            return kOmniLight;
        case aiLightSource_SPOT:
            return kSpotLight;
        case aiLightSource_DIRECTIONAL:
            return kDistantLight;
        case aiLightSource_AREA:
            return LIGHT_TYPE_AREA;
        default:
            return std::nullopt;
    }
}

class SceneImporter {
public:
    SceneImporter(const aiScene& scene, const std::string& path,
                  const std::function<void(float)>& progress);
    ModelDocument Build();

private:
    void AddNode(const aiNode& node, BaseObject* parent, int depth);
    void AddCamera(const aiCamera& camera, BaseObject& parent);
    void AddLight(const aiLight& light, BaseObject& parent);

    const aiScene& scene_;
    const std::filesystem::path path_;  // absolute
    const std::function<void(float)>& progress_;
    ModelDocument result_;
    MaterialImporter materials_;
    std::map<const aiNode*, std::vector<const aiCamera*>> cameras_;
    std::map<const aiNode*, std::vector<const aiLight*>> lights_;
    std::map<std::string, BaseObject*> objects_;  // the first object of each node name
    unsigned meshes_done_ = 0;
};

SceneImporter::SceneImporter(const aiScene& scene, const std::string& path,
                             const std::function<void(float)>& progress)
    : scene_(scene),
      path_(std::filesystem::absolute(path).lexically_normal()),
      progress_(progress),
      result_{nullptr, std::unique_ptr<BaseDocument>(BaseDocument::Alloc())},
      materials_(scene, *result_.document, path_.parent_path().string(), result_.textures) {
    for (unsigned i = 0; i < scene.mNumCameras; ++i)
        if (const aiCamera* camera = scene.mCameras[i])
            if (const aiNode* node = scene.mRootNode->FindNode(camera->mName))
                cameras_[node].push_back(camera);
    for (unsigned i = 0; i < scene.mNumLights; ++i)
        if (const aiLight* light = scene.mLights[i])
            if (const aiNode* node = scene.mRootNode->FindNode(light->mName))
                lights_[node].push_back(light);
}

ModelDocument SceneImporter::Build() {
    BaseDocument& doc = *result_.document;
    doc.SetDocumentName(Filename(String(path_.filename().string())));
    doc.SetDocumentPath(Filename(String(path_.parent_path().string())));
    AddNode(*scene_.mRootNode, nullptr, 0);
    if (scene_.mNumAnimations > 0 && scene_.mAnimations[0] != nullptr)
        ImportAnimation(*scene_.mAnimations[0], objects_, doc);
    return std::move(result_);
}

void SceneImporter::AddNode(const aiNode& node, BaseObject* parent, int depth) {
    if (depth > kMaxNodeDepth)
        throw std::runtime_error("nodes nested deeper than " + std::to_string(kMaxNodeDepth) +
                                 " levels");
    std::string name = node.mName.C_Str();
    if (parent == nullptr && name.empty()) name = path_.filename().string();
    BaseDocument& doc = *result_.document;
    BaseObject* op = AddObject(doc, node.mNumMeshes > 0 ? Opolygon : Onull, name, parent);
    Place(*op, ToHost(node.mTransformation));
    objects_.emplace(node.mName.C_Str(), op);
    if (node.mNumMeshes > 0) {
        FillPolygonObject(static_cast<PolygonObject&>(*op), scene_, node, materials_);
        meshes_done_ += node.mNumMeshes;
        if (progress_)
            progress_(std::min(1.0f, float(meshes_done_) / float(std::max(1u, scene_.mNumMeshes))));
    }
    for (const aiCamera* camera : cameras_[&node]) AddCamera(*camera, *op);
    for (const aiLight* light : lights_[&node]) AddLight(*light, *op);
    for (unsigned i = 0; i < node.mNumChildren; ++i)
        if (node.mChildren[i] != nullptr) AddNode(*node.mChildren[i], op, depth + 1);
}

void SceneImporter::AddCamera(const aiCamera& camera, BaseObject& parent) {
    BaseObject* op = AddObject(*result_.document, Ocamera, camera.mName.C_Str(), &parent);
    Place(*op, Frame(camera.mPosition, camera.mLookAt, camera.mUp));
    // Assimp's glTF, Collada and FBX readers give the whole horizontal angle, as the host.
    SetParam(op, CAMERA_FIELD_OF_VIEW, GeData(Float(camera.mHorizontalFOV)));
}

void SceneImporter::AddLight(const aiLight& light, BaseObject& parent) {
    const std::optional<Int32> type = HostLightType(light.mType);
    if (!type) return;
    BaseObject* op = AddObject(*result_.document, Olight, light.mName.C_Str(), &parent);
    Place(*op, Frame(light.mPosition, light.mDirection, light.mUp));
    // Assimp folds the intensity into the colour; the brightest component is the
    // brightness (1 is 100 %).
    const aiColor3D& c = light.mColorDiffuse;
    const Float brightness = std::max({c.r, c.g, c.b, 0.0f});
    const Vector color(c.r, c.g, c.b);
    SetParam(op, LIGHT_TYPE, GeData(*type));
    SetParam(op, LIGHT_COLOR, GeData(brightness > 0 ? color / brightness : color));
    SetParam(op, LIGHT_BRIGHTNESS, GeData(brightness));
    if (*type == LIGHT_TYPE_AREA) {
        SetParam(op, LIGHT_AREA_SIZE_X, GeData(Float(light.mSize.x)));
        SetParam(op, LIGHT_AREA_SIZE_Y, GeData(Float(light.mSize.y)));
        SetParam(op, LIGHT_AREA_SIZE_Z, GeData(0.0));
    }
}

}  // namespace

ModelDocument BuildModelDocument(const aiScene& scene, const std::string& path,
                                 const std::function<void(float)>& progress) {
    if (scene.mRootNode == nullptr) throw std::runtime_error("the file holds no scene");
    return SceneImporter(scene, path, progress).Build();
}

}  // namespace vantrel_host::model_import
