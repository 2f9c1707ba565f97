#include <algorithm>
#include <memory>

#include "C4DLoader.h"
#include "C4DParameters.h"
#include "C4DText.h"
#include "tavsceneapi_values.h"

namespace {

// The polygon's point indices all lie within the point array.
bool pointsExist(const CPolygon& polygon, Int32 pointCount) {
    const Int32 corners[4] = {polygon.a, polygon.b, polygon.c, polygon.d};
    return std::all_of(corners, corners + 4,
                       [pointCount](Int32 i) { return i >= 0 && i < pointCount; });
}

// The polygon selection a texture tag is restricted to, or null for the whole object.
SelectionTag* restrictionOf(BaseTag* textureTag,
                            const std::map<std::string, SelectionTag*>& selections) {
    String restriction;
    std::string name;
    if (!readParameter(textureTag, TEXTURETAG_RESTRICTION, restriction) ||
        !getUtf8(restriction, name) || name.empty())
        return nullptr;
    const auto found = selections.find(name);
    return found == selections.end() ? nullptr : found->second;
}

struct HostMemory {
    void operator()(Vector32* memory) const { DeleteMem(memory); }
};

}  // namespace

bool C4DLoader::layerShows(BaseObject* object) {
    LayerObject* layer = object->GetLayerObject(document);
    if (!layer) return true;
    Int32 editor = 0, render = 0;
    return readParameter(layer, ID_LAYER_VIEW, editor) &&
           readParameter(layer, ID_LAYER_RENDER, render) && editor != 0 && render != 0;
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
    std::unique_ptr<Vector32, HostMemory> phong(normalTag ? nullptr : object->CreatePhongNormals());
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
        // The last group hands the host's normals back once it has written them: the UVs
        // and triangles it still builds need the memory more.
        const bool lastGroup = takenCount == polygonCount;
        writeTriangles(named ? name.c_str() : nullptr, polygonGroup, groupQuads, mesh, record, [&] {
            if (lastGroup) phong.reset();
        });
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
                               const TriangleSource& mesh, const TavMat& record,
                               const std::function<void()>& normalsWritten) {
    if (group.empty()) return;
    tavScene_api& api = *sceneWrapper->get_scene_api();
    api.object_begin(name ? name : "object", true);
    api.geometry_use("triangles");
    // Each array goes to the scene before the next is built in its place.
    const auto& vertices = triangleBuilder.weld(group, quads, mesh);
    tav::setColorArray(api, "vertices", vertices.data(), vertices.size() / 3);
    const CornerNormals normals = triangleBuilder.cornerNormals(group, mesh);
    if (normals.count != 0) tav::setColorArray(api, "normals", normals.xyz, normals.count);
    normalsWritten();
    const bool uvs = mesh.uvwData != nullptr;
    const int32_t* corner =
        normals.count != 0 || uvs ? triangleBuilder.cornerIndices(group, mesh) : nullptr;
    const size_t indices = triangleBuilder.indexCount();
    if (normals.count != 0) tav::setArray(api, "triangles_norm", corner, indices);
    if (uvs) {
        tav::setArray(api, "uv_tex", triangleBuilder.uvs(group, mesh));
        tav::setArray(api, "triangles_uv", corner, indices);
    }
    tav::setArray(api, "triangles", triangleBuilder.triangles(group, mesh));
    api.geometry_end();
    ++counts.objects;
    counts.triangles += indices / 3;
    writeMaterial(record);
    api.object_end();
}
