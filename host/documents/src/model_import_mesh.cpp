#include "model_import_mesh.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "model_import_polygons.h"
#include "model_import_space.h"
#include "vantrel_host/document_builder.h"

namespace vantrel_host::model_import {
namespace {

// Normals of a face further apart than this (cosine) make the mesh smooth.
constexpr float kSameDirection = 0.9999f;

void CheckFaces(const aiMesh& mesh, unsigned index) {
    if (mesh.mNumFaces > 0 && mesh.mFaces == nullptr)
        throw std::runtime_error("mesh " + std::to_string(index) + " has no face data");
    for (unsigned f = 0; f < mesh.mNumFaces; ++f)
        for (unsigned k = 0; k < mesh.mFaces[f].mNumIndices; ++k)
            if (mesh.mFaces[f].mIndices[k] >= mesh.mNumVertices)
                throw std::runtime_error(
                    "mesh " + std::to_string(index) + ", face " + std::to_string(f) + ": vertex " +
                    // A negative index in the file (PLY allows -5) arrives wrapped round.
                    std::to_string(static_cast<int32_t>(mesh.mFaces[f].mIndices[k])) +
                    " is out of range (the mesh has " + std::to_string(mesh.mNumVertices) + ")");
}

// Whether some corner normal differs from its face's own normal.
bool HasSmoothNormals(const aiMesh& mesh) {
    if (!mesh.HasNormals()) return false;
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices < 3) continue;
        aiVector3D normal;  // Newell's normal
        for (unsigned k = 0; k < face.mNumIndices; ++k) {
            const aiVector3D& a = mesh.mVertices[face.mIndices[k]];
            const aiVector3D& b = mesh.mVertices[face.mIndices[(k + 1) % face.mNumIndices]];
            normal += aiVector3D((a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x),
                                 (a.x - b.x) * (a.y + b.y));
        }
        if (normal.Length() == 0) continue;
        normal.Normalize();
        for (unsigned k = 0; k < face.mNumIndices; ++k) {
            aiVector3D corner = mesh.mNormals[face.mIndices[k]];
            if (corner.Length() == 0) continue;
            if ((corner.Normalize() * normal) < kSameDirection) return true;
        }
    }
    return false;
}

// Bits of a float with -0 made +0, so that equal values weld.
uint32_t Bits(float value) {
    value += 0.0f;
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

class PolygonBuilder {
public:
    explicit PolygonBuilder(bool weld_normals) : weld_normals_(weld_normals) {}

    void AddMesh(const aiMesh& mesh, BaseMaterial* material);
    void Fill(PolygonObject& op) const;

private:
    Int32 Weld(const aiVector3D& position, const aiVector3D& normal);
    void AddPolygon(const aiMesh& mesh, const std::vector<Int32>& point_of,
                    const std::vector<unsigned>& corners, Int32 group);

    const bool weld_normals_;
    std::map<std::array<uint32_t, 6>, Int32> welded_;
    std::vector<Vector> points_;
    std::vector<CPolygon> polygons_;
    std::vector<UVWStruct> uvws_;
    std::vector<Int32> groups_;  // per polygon, an index into materials_
    std::vector<BaseMaterial*> materials_;
    bool has_uvw_ = false;
};

Int32 PolygonBuilder::Weld(const aiVector3D& position, const aiVector3D& normal) {
    const std::array<uint32_t, 6> key = {Bits(position.x), Bits(position.y), Bits(position.z),
                                         Bits(normal.x),   Bits(normal.y),   Bits(normal.z)};
    const auto [it, added] = welded_.emplace(key, static_cast<Int32>(points_.size()));
    if (added) {
        if (points_.size() == size_t(INT32_MAX)) throw std::runtime_error("too many points");
        points_.push_back(ToHost(position));
    }
    return it->second;
}

void PolygonBuilder::AddMesh(const aiMesh& mesh, BaseMaterial* material) {
    const auto slot = std::find(materials_.begin(), materials_.end(), material);
    const Int32 group = static_cast<Int32>(slot - materials_.begin());
    if (slot == materials_.end()) materials_.push_back(material);

    const bool with_normal = weld_normals_ && mesh.HasNormals();
    std::vector<Int32> point_of(mesh.mNumVertices);
    for (unsigned v = 0; v < mesh.mNumVertices; ++v)
        point_of[v] = Weld(mesh.mVertices[v], with_normal ? mesh.mNormals[v] : aiVector3D());
    has_uvw_ = has_uvw_ || mesh.mTextureCoords[0] != nullptr;

    std::vector<unsigned> corners;
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        const unsigned n = face.mNumIndices;
        if (n < 3) continue;
        // Reversed (a, d, c, b), so that the face keeps facing the same way after the mirror.
        corners.assign({face.mIndices[0]});
        for (unsigned k = n - 1; k > 0; --k) corners.push_back(face.mIndices[k]);
        if (n <= 4) {
            AddPolygon(mesh, point_of, corners, group);
            continue;
        }
        std::vector<Vector> positions;
        for (unsigned v : corners) positions.push_back(ToHost(mesh.mVertices[v]));
        for (const auto& t : SplitPolygon(positions))
            AddPolygon(mesh, point_of, {corners[t[0]], corners[t[1]], corners[t[2]]}, group);
    }
}

void PolygonBuilder::AddPolygon(const aiMesh& mesh, const std::vector<Int32>& point_of,
                                const std::vector<unsigned>& corners, Int32 group) {
    if (polygons_.size() == size_t(INT32_MAX)) throw std::runtime_error("too many polygons");
    const aiVector3D* uv = mesh.mTextureCoords[0];
    const auto uvw = [uv](unsigned v) {
        return uv ? Vector(uv[v].x, 1.0 - uv[v].y, uv[v].z) : Vector();
    };
    const unsigned d = corners.size() == 4 ? corners[3] : corners[2];
    polygons_.push_back(
        CPolygon(point_of[corners[0]], point_of[corners[1]], point_of[corners[2]], point_of[d]));
    uvws_.push_back({uvw(corners[0]), uvw(corners[1]), uvw(corners[2]), uvw(d)});
    groups_.push_back(group);
}

void PolygonBuilder::Fill(PolygonObject& op) const {
    op.ResizeObject(static_cast<Int32>(points_.size()), static_cast<Int32>(polygons_.size()));
    std::copy(points_.begin(), points_.end(), op.GetPointW());
    std::copy(polygons_.begin(), polygons_.end(), op.GetPolygonW());
    if (weld_normals_) AddTag(op, Tphong, "Phong");
    if (has_uvw_) AddUVWTag(op, uvws_);
    if (materials_.size() == 1) {
        AddTextureTag(op, materials_[0]);
        return;
    }
    std::vector<std::string> names;
    for (size_t m = 0; m < materials_.size(); ++m) {
        const std::string base = materials_[m]->GetName().GetUtf8();
        std::string name = base;
        for (int n = 2; std::find(names.begin(), names.end(), name) != names.end(); ++n)
            name = base + "." + std::to_string(n);
        names.push_back(name);
        std::vector<Int32> selected;
        for (size_t p = 0; p < groups_.size(); ++p)
            if (groups_[p] == Int32(m)) selected.push_back(static_cast<Int32>(p));
        AddPolygonSelection(op, name, selected);
        AddTextureTag(op, materials_[m], name);
    }
}

}  // namespace

void FillPolygonObject(PolygonObject& op, const aiScene& scene, const aiNode& node,
                       MaterialImporter& materials) {
    std::vector<const aiMesh*> meshes;
    bool smooth = false;
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
        const unsigned index = node.mMeshes[i];
        if (index >= scene.mNumMeshes || scene.mMeshes[index] == nullptr)
            throw std::runtime_error("node \"" + std::string(node.mName.C_Str()) +
                                     "\" names mesh " + std::to_string(index) +
                                     ", which the file lacks");
        CheckFaces(*scene.mMeshes[index], index);
        meshes.push_back(scene.mMeshes[index]);
        smooth = smooth || HasSmoothNormals(*scene.mMeshes[index]);
    }
    PolygonBuilder builder(smooth);
    for (const aiMesh* mesh : meshes) builder.AddMesh(*mesh, materials.Get(mesh->mMaterialIndex));
    builder.Fill(op);
}

}  // namespace vantrel_host::model_import
