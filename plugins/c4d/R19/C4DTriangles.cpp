#include <algorithm>
#include <cstring>
#include <memory>

#include "C4DLoader.h"
#include "C4DText.h"

namespace {

static_assert(sizeof(Vector32) == 3 * sizeof(float), "phong normals are written as they lie");

// The polygon's point indices all lie within the point array.
bool pointsExist(const CPolygon& polygon, Int32 pointCount) {
    const Int32 corners[4] = {polygon.a, polygon.b, polygon.c, polygon.d};
    return std::all_of(corners, corners + 4,
                       [pointCount](Int32 i) { return i >= 0 && i < pointCount; });
}

// The polygon selection a texture tag is restricted to, or null for the whole object.
SelectionTag* restrictionOf(BaseTag* textureTag,
                            const std::map<std::string, SelectionTag*>& selections) {
    GeData data;
    std::string name;
    if (!textureTag->GetParameter(DescID(TEXTURETAG_RESTRICTION), data, DESCFLAGS_GET_0) ||
        !getUtf8(data.GetString(), name) || name.empty())
        return nullptr;
    const auto found = selections.find(name);
    return found == selections.end() ? nullptr : found->second;
}

void setArray(tavScene_api* api, const char* name, tavType element, const void* data,
              size_t count) {
    const tavArray array{data, static_cast<uint32_t>(count)};
    api->set_parameter(name, TAV_ARRAY | element, &array);
}

struct HostMemory {
    void operator()(Vector32* memory) const { DeleteMem(memory); }
};

}  // namespace

bool C4DLoader::layerShows(BaseObject* object) {
    LayerObject* layer = object->GetLayerObject(document);
    if (!layer) return true;
    GeData editor, render;
    return layer->GetParameter(DescID(1001), editor, DESCFLAGS_GET_0) &&
           layer->GetParameter(DescID(1002), render, DESCFLAGS_GET_0) && editor.GetInt32() != 0 &&
           render.GetInt32() != 0;
}

void C4DLoader::writePolygonObject(PolygonObject* object, std::vector<BaseTag*> inheritedTags,
                                   float) {
    if (!layerShows(object)) return;
    const Vector64 displayColor = getDefaultColor(object);

    const Int32 polygonCount = object->GetPolygonCount();
    TriangleSource mesh;
    mesh.polygons = object->GetPolygonR();
    mesh.points = object->GetPointR();
    mesh.pointCount = object->GetPointCount();
    std::string name;
    const bool named = getUtf8(object->GetName(), name);

    UVWTag* uvwTag = nullptr;
    NormalTag* normalTag = nullptr;
    std::map<std::string, SelectionTag*> selections;
    for (BaseTag* tag = object->GetFirstTag(); tag; tag = tag->GetNext())
        browseTag(tag, &uvwTag, &normalTag, &selections, &inheritedTags);

    // UVs and normals come whole or not at all: a short UVW tag gives none.
    if (uvwTag && uvwTag->GetDataCount() >= polygonCount) mesh.uvwData = uvwTag->GetDataAddressR();
    mesh.zeroNormals = normalTag != nullptr;
    const std::unique_ptr<Vector32, HostMemory> phong(normalTag ? nullptr
                                                                : object->CreatePhongNormals());
    mesh.phongNormals = phong.get();

    polygonTaken.assign(polygonCount, 0);
    takenCount = 0;

    // Later tags win, so the list is walked backwards; the null entry at its front
    // collects what no texture tag took, with the display colour.
    for (auto entry = inheritedTags.rbegin(); entry != inheritedTags.rend(); ++entry) {
        if (takenCount == polygonCount) break;

        BaseTag* tag = *entry;
        SelectionTag* restriction = nullptr;
        if (tag) {
            if (tag->GetType() != Ttexture) continue;
            restriction = restrictionOf(tag, selections);
        }
        TavMat record;
        record.color = displayColor;
        if (tag && !getMaterial(tag, record)) continue;
        if (!takeGroup(restriction, mesh)) continue;
        writeTriangles(named ? name.c_str() : nullptr, polygonGroup, groupQuads, mesh, record);
    }
}

bool C4DLoader::takeGroup(SelectionTag* restriction, const TriangleSource& mesh) {
    polygonGroup.clear();
    groupQuads = 0;
    const Int32 polygonCount = static_cast<Int32>(polygonTaken.size());
    auto take = [this, &mesh](Int32 first, Int32 last) {
        for (Int32 p = first; p <= last; ++p) {
            if (polygonTaken[p]) continue;
            polygonTaken[p] = 1;
            ++takenCount;
            // A polygon naming a point that does not exist cannot be written: taken, but
            // by no group.
            const CPolygon& polygon = mesh.polygons[p];
            if (!pointsExist(polygon, mesh.pointCount)) continue;
            polygonGroup.push_back(p);
            groupQuads += !polygon.IsTriangle();
        }
    };
    if (!restriction) {
        take(0, polygonCount - 1);
        return true;
    }
    const BaseSelect* select = restriction->GetBaseSelect();
    const Int32 segments = select->GetSegments();
    if (segments == 0) return false;
    for (Int32 s = 0; s < segments; ++s) {
        Int32 first = 0, last = -1;
        if (!select->GetRange(s, 2147483647, &first, &last)) continue;
        // A stale selection may name polygons the object no longer has.
        take(std::max(first, 0), std::min(last, polygonCount - 1));
    }
    if (!std::is_sorted(polygonGroup.begin(), polygonGroup.end()))
        std::sort(polygonGroup.begin(), polygonGroup.end());
    return true;
}

void C4DLoader::writeTriangles(const char* name, const std::vector<Int32>& group, size_t quads,
                               const TriangleSource& mesh, const TavMat& record) {
    if (group.empty()) return;
    tavScene_api* api = sceneWrapper->get_scene_api();
    api->object_begin(name ? name : "object", true);
    api->geometry_use("triangles");
    const size_t corners = fillTriangleArrays(group, quads, mesh);
    setArray(api, "vertices", TAV_COLOR, vertexArray.data(), vertexArray.size() / 3);
    const tavArray normals = cornerNormals(group, mesh, corners);
    const int32_t* corner =
        normals.count != 0 || !uvArray.empty() ? cornerIndices(group, mesh, corners) : nullptr;
    const size_t indices = triangleIndexArray.size();
    if (normals.count != 0) {
        api->set_parameter("normals", TAV_ARRAY | TAV_COLOR, &normals);
        setArray(api, "triangles_norm", TAV_INT, corner, indices);
    }
    if (!uvArray.empty()) {
        setArray(api, "uv_tex", TAV_FLOAT, uvArray.data(), uvArray.size());
        setArray(api, "triangles_uv", TAV_INT, corner, indices);
    }
    setArray(api, "triangles", TAV_INT, triangleIndexArray.data(), triangleIndexArray.size());
    api->geometry_end();
    writeMaterial(record);
    api->object_end();
}

size_t C4DLoader::fillTriangleArrays(const std::vector<Int32>& group, size_t quads,
                                     const TriangleSource& mesh) {
    if (pointToVertex.size() < size_t(mesh.pointCount)) pointToVertex.resize(mesh.pointCount);
    if (++weldGeneration == 0) {  // wrapped: forget every slot once
        std::fill(pointToVertex.begin(), pointToVertex.end(), WeldSlot{});
        weldGeneration = 1;
    }
    // Every array but the welded vertices has a known size: fill them in place.
    const size_t corners = 3 * group.size() + quads, indices = 3 * (group.size() + quads);
    vertexArray.clear();
    vertexArray.reserve(3 * std::min(size_t(mesh.pointCount), corners));
    uvArray.resize(mesh.uvwData ? 2 * corners : 0);
    triangleIndexArray.resize(indices);

    int32_t vertexCount = 0;
    auto weld = [&](Int32 point) {
        WeldSlot& slot = pointToVertex[point];
        if (slot.generation != weldGeneration) {
            slot = {weldGeneration, vertexCount++};
            const Vector64& v = mesh.points[point];
            vertexArray.push_back(float(v.x));
            vertexArray.push_back(float(v.y));
            vertexArray.push_back(float(v.z));
        }
        return slot.vertex;
    };

    float* uv = uvArray.data();
    int32_t* triangle = triangleIndexArray.data();
    for (const Int32 p : group) {
        const CPolygon& polygon = mesh.polygons[p];
        const bool quad = !polygon.IsTriangle();
        const int32_t va = weld(polygon.a), vb = weld(polygon.b), vc = weld(polygon.c);
        const int32_t vd = quad ? weld(polygon.d) : vc;
        const int count = quad ? 4 : 3;

        if (mesh.uvwData) {
            UVWStruct uvw;
            UVWTag::Get(mesh.uvwData, p, uvw);
            const Vector64* uvws[4] = {&uvw.a, &uvw.b, &uvw.c, &uvw.d};
            for (int i = 0; i < count; ++i) {
                *uv++ = float(uvws[i]->x);
                *uv++ = float(uvws[i]->y);
            }
        }

        // Corners in reverse order: the model group mirrors z.
        if (quad)
            for (int32_t index : {va, vd, vb, vc, vb, vd}) *triangle++ = index;
        else
            for (int32_t index : {va, vc, vb}) *triangle++ = index;
    }
    return corners;
}

const int32_t* C4DLoader::cornerIndices(const std::vector<Int32>& group, const TriangleSource& mesh,
                                        size_t corners) {
    // The same reversed order as the vertex indices, numbering the group's corners.
    auto writeQuad = [](int32_t*& out, int32_t k) {
        for (int32_t index : {k, k + 3, k + 1, k + 2, k + 1, k + 3}) *out++ = index;
    };
    if (corners == 4 * group.size()) {
        const size_t known = quadCornerPattern.size() / 6;
        if (known < group.size()) {
            quadCornerPattern.resize(6 * group.size());
            int32_t* out = quadCornerPattern.data() + 6 * known;
            for (size_t quad = known; quad < group.size(); ++quad)
                writeQuad(out, int32_t(4 * quad));
        }
        return quadCornerPattern.data();
    }
    cornerIndexArray.resize(triangleIndexArray.size());
    int32_t* out = cornerIndexArray.data();
    int32_t k = 0;
    for (const Int32 p : group) {
        if (!mesh.polygons[p].IsTriangle()) {
            writeQuad(out, k);
            k += 4;
        } else {
            for (int32_t index : {k, k + 2, k + 1}) *out++ = index;
            k += 3;
        }
    }
    return cornerIndexArray.data();
}

tavArray C4DLoader::cornerNormals(const std::vector<Int32>& group, const TriangleSource& mesh,
                                  size_t corners) {
    if (mesh.zeroNormals) {
        normalArray.assign(3 * corners, 0.0f);
        return {normalArray.data(), static_cast<uint32_t>(corners)};
    }
    const Vector32* phong = mesh.phongNormals;
    if (!phong) return {nullptr, 0};
    const bool consecutive = size_t(group.back() - group.front()) + 1 == group.size();
    if (consecutive && corners == 4 * group.size())
        return {phong + 4 * size_t(group.front()), static_cast<uint32_t>(corners)};

    normalArray.resize(3 * corners);
    float* normal = normalArray.data();
    for (const Int32 p : group) {
        const int count = mesh.polygons[p].IsTriangle() ? 3 : 4;
        std::memcpy(normal, phong + 4 * size_t(p), count * sizeof(Vector32));
        normal += 3 * count;
    }
    return {normalArray.data(), static_cast<uint32_t>(corners)};
}
