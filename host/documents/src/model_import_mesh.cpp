#include "model_import_mesh.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "model_import_polygons.h"
#include "model_import_space.h"
#include "vantrel_host/document_builder.h"
#include "vantrel_host/host_services.h"

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

// Welds points of equal position (and normal) bits, numbering them in the order first
// seen. Open addressing on flat arrays: a tree of nodes costs most of the import's time.
class PointWelder {
public:
    explicit PointWelder(size_t most_points) {
        size_t capacity = 16;
        while (capacity < 2 * most_points) capacity *= 2;
        slots_.assign(capacity, kFree);
        keys_.reserve(most_points);
        points_.reserve(most_points);
    }

    Int32 Weld(const aiVector3D& position, const aiVector3D& normal) {
        const Key key = {Bits(position.x), Bits(position.y), Bits(position.z),
                         Bits(normal.x),   Bits(normal.y),   Bits(normal.z)};
        const size_t mask = slots_.size() - 1;
        for (size_t slot = Hash(key) & mask;; slot = (slot + 1) & mask) {
            if (slots_[slot] == kFree) {
                if (points_.size() == size_t(INT32_MAX))
                    throw std::runtime_error("too many points");
                slots_[slot] = static_cast<Int32>(points_.size());
                keys_.push_back(key);
                points_.push_back(ToHost(position));
                return slots_[slot];
            }
            if (keys_[size_t(slots_[slot])] == key) return slots_[slot];
        }
    }

    std::vector<Vector> TakePoints() { return std::move(points_); }

private:
    using Key = std::array<uint32_t, 6>;
    static constexpr Int32 kFree = -1;

    static size_t Hash(const Key& key) {
        uint64_t h = 0;
        for (uint32_t word : key) h = (h ^ word) * 0x9E3779B97F4A7C15ull;
        return static_cast<size_t>(h ^ (h >> 29));
    }

    std::vector<Int32> slots_;  // point numbers, or kFree
    std::vector<Key> keys_;     // per point
    std::vector<Vector> points_;
};

// Polygons a face becomes: n-gons split into n - 2 triangles, lines and points dropped.
size_t PolygonsOf(const aiFace& face) {
    const unsigned n = face.mNumIndices;
    return n < 3 ? 0 : n <= 4 ? 1 : n - 2;
}

// Writes polygons and UVW records straight into the object and its tag, counted
// beforehand, so that a large mesh is neither copied nor grown on the way.
class PolygonBuilder {
public:
    PolygonBuilder(PolygonObject& op, const std::vector<const aiMesh*>& meshes, bool weld_normals);

    void AddMesh(const aiMesh& mesh, BaseMaterial* material);
    void Finish();

private:
    void AddPolygon(const aiMesh& mesh, const std::vector<Int32>& point_of, const unsigned* corners,
                    unsigned count);

    PolygonObject& op_;
    const bool weld_normals_;
    PointWelder welder_;
    std::vector<CPolygon> polygons_;  // handed to the object with the points at the end
    UVWStruct* uvws_ = nullptr;       // in the object's UVW tag, when some mesh has UVs
    std::vector<BaseMaterial*> materials_;
    // Per mesh, its material as an index into materials_ and where its polygons end.
    std::vector<std::pair<Int32, Int32>> mesh_ends_;
};

size_t CountVertices(const std::vector<const aiMesh*>& meshes) {
    size_t vertices = 0;
    for (const aiMesh* mesh : meshes) vertices += mesh->mNumVertices;
    return vertices;
}

PolygonBuilder::PolygonBuilder(PolygonObject& op, const std::vector<const aiMesh*>& meshes,
                               bool weld_normals)
    : op_(op), weld_normals_(weld_normals), welder_(CountVertices(meshes)) {
    size_t polygons = 0;
    bool has_uvw = false;
    for (const aiMesh* mesh : meshes) {
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) polygons += PolygonsOf(mesh->mFaces[f]);
        has_uvw = has_uvw || mesh->mTextureCoords[0] != nullptr;
    }
    if (polygons > size_t(INT32_MAX)) throw std::runtime_error("too many polygons");
    polygons_.reserve(polygons);
    if (weld_normals_) AddTag(op_, Tphong, "Phong");
    if (has_uvw)
        uvws_ = static_cast<UVWStruct*>(
            AddTag(op_, UVWTag::Alloc(static_cast<Int32>(polygons)), "UVW")->GetDataAddressW());
}

void PolygonBuilder::AddMesh(const aiMesh& mesh, BaseMaterial* material) {
    const auto slot = std::find(materials_.begin(), materials_.end(), material);
    const Int32 group = static_cast<Int32>(slot - materials_.begin());
    if (slot == materials_.end()) materials_.push_back(material);

    const bool with_normal = weld_normals_ && mesh.HasNormals();
    std::vector<Int32> point_of(mesh.mNumVertices);
    for (unsigned v = 0; v < mesh.mNumVertices; ++v)
        point_of[v] =
            welder_.Weld(mesh.mVertices[v], with_normal ? mesh.mNormals[v] : aiVector3D());

    std::vector<unsigned> corners;
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        const unsigned n = face.mNumIndices;
        if (n < 3) continue;
        // Reversed (a, d, c, b), so that the face keeps facing the same way after the mirror.
        corners.assign({face.mIndices[0]});
        for (unsigned k = n - 1; k > 0; --k) corners.push_back(face.mIndices[k]);
        if (n <= 4) {
            AddPolygon(mesh, point_of, corners.data(), n);
            continue;
        }
        std::vector<Vector> positions;
        for (unsigned v : corners) positions.push_back(ToHost(mesh.mVertices[v]));
        for (const auto& t : SplitPolygon(positions)) {
            const unsigned triangle[] = {corners[t[0]], corners[t[1]], corners[t[2]]};
            AddPolygon(mesh, point_of, triangle, 3);
        }
    }
    mesh_ends_.emplace_back(group, static_cast<Int32>(polygons_.size()));
}

void PolygonBuilder::AddPolygon(const aiMesh& mesh, const std::vector<Int32>& point_of,
                                const unsigned* corners, unsigned count) {
    const aiVector3D* uv = mesh.mTextureCoords[0];
    const auto uvw = [uv](unsigned v) {
        return uv ? Vector(uv[v].x, 1.0 - uv[v].y, uv[v].z) : Vector();
    };
    const unsigned d = count == 4 ? corners[3] : corners[2];
    if (uvws_ != nullptr)
        uvws_[polygons_.size()] = {uvw(corners[0]), uvw(corners[1]), uvw(corners[2]), uvw(d)};
    polygons_.emplace_back(point_of[corners[0]], point_of[corners[1]], point_of[corners[2]],
                           point_of[d]);
}

void PolygonBuilder::Finish() {
    AdoptMesh(op_, welder_.TakePoints(), std::move(polygons_));
    if (materials_.size() == 1) {
        AddTextureTag(op_, materials_[0]);
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
        Int32 begin = 0;
        for (const auto& [group, end] : mesh_ends_) {
            if (group == Int32(m))
                for (Int32 p = begin; p < end; ++p) selected.push_back(p);
            begin = end;
        }
        AddPolygonSelection(op_, name, selected);
        AddTextureTag(op_, materials_[m], name);
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
    PolygonBuilder builder(op, meshes, smooth);
    for (const aiMesh* mesh : meshes) builder.AddMesh(*mesh, materials.Get(mesh->mMaterialIndex));
    builder.Finish();
}

}  // namespace vantrel_host::model_import
