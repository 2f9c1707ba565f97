#include "TriangleBuilder.h"

#include <algorithm>
#include <cstring>

static_assert(sizeof(Vector32) == 3 * sizeof(float), "phong normals are used as they lie");

const TriangleBuilder::FillBuffer<float>& TriangleBuilder::weld(const std::vector<Int32>& group,
                                                                size_t quads,
                                                                const TriangleSource& mesh) {
    if (pointToVertex.size() < size_t(mesh.pointCount)) pointToVertex.resize(mesh.pointCount);
    if (++weldGeneration == 0) {  // wrapped: forget every slot once
        std::fill(pointToVertex.begin(), pointToVertex.end(), WeldSlot{});
        weldGeneration = 1;
    }
    corners = 3 * group.size() + quads;
    triangleCount = group.size() + quads;
    floats.clear();
    // Room for the UVs as well, so that the buffer is not moved (and held twice) later.
    floats.reserve(
        std::max(3 * std::min(size_t(mesh.pointCount), corners), mesh.uvwData ? 2 * corners : 0));
    int32_t vertexCount = 0;
    auto weldPoint = [&](Int32 point) {
        WeldSlot& slot = pointToVertex[point];
        if (slot.generation == weldGeneration) return;
        slot = {weldGeneration, vertexCount++};
        const Vector64& v = mesh.points[point];
        floats.push_back(float(v.x));
        floats.push_back(float(v.y));
        floats.push_back(float(v.z));
    };
    for (const Int32 p : group) {
        const CPolygon& polygon = mesh.polygons[p];
        weldPoint(polygon.a);
        weldPoint(polygon.b);
        weldPoint(polygon.c);
        if (!polygon.IsTriangle()) weldPoint(polygon.d);
    }
    return floats;
}

CornerNormals TriangleBuilder::cornerNormals(const std::vector<Int32>& group,
                                             const TriangleSource& mesh) {
    if (mesh.zeroNormals) {
        floats.assign(3 * corners, 0.0f);
        return {floats.data(), corners};
    }
    const Vector32* phong = mesh.phongNormals;
    if (!phong) return {};
    const bool consecutive = size_t(group.back() - group.front()) + 1 == group.size();
    if (consecutive && corners == 4 * group.size())
        return {&phong[4 * size_t(group.front())].x, corners};

    floats.clear();  // what it holds is no longer needed: nothing to move if it grows
    floats.resize(3 * corners);
    float* normal = floats.data();
    for (const Int32 p : group) {
        const int count = mesh.polygons[p].IsTriangle() ? 3 : 4;
        std::memcpy(normal, phong + 4 * size_t(p), count * sizeof(Vector32));
        normal += 3 * count;
    }
    return {floats.data(), corners};
}

const int32_t* TriangleBuilder::cornerIndices(const std::vector<Int32>& group,
                                              const TriangleSource& mesh) {
    // The same reversed order as the vertex indices, numbering the group's corners.
    auto writeQuad = [](int32_t*& out, int32_t k) {
        for (int32_t index : {k, k + 3, k + 1, k + 2, k + 1, k + 3}) *out++ = index;
    };
    indices.resize(indexCount());
    int32_t* out = indices.data();
    if (corners == 4 * group.size()) {  // quads only: a fixed pattern
        for (int32_t k = 0; k < int32_t(corners); k += 4) writeQuad(out, k);
        return indices.data();
    }
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
    return indices.data();
}

const TriangleBuilder::FillBuffer<float>& TriangleBuilder::uvs(const std::vector<Int32>& group,
                                                               const TriangleSource& mesh) {
    floats.clear();
    floats.resize(2 * corners);
    float* uv = floats.data();
    for (const Int32 p : group) {
        UVWStruct uvw;
        UVWTag::Get(mesh.uvwData, p, uvw);
        const Vector64* uvws[4] = {&uvw.a, &uvw.b, &uvw.c, &uvw.d};
        for (int i = 0; i < (mesh.polygons[p].IsTriangle() ? 3 : 4); ++i) {
            *uv++ = float(uvws[i]->x);
            *uv++ = float(uvws[i]->y);
        }
    }
    return floats;
}

const TriangleBuilder::FillBuffer<int32_t>& TriangleBuilder::triangles(
    const std::vector<Int32>& group, const TriangleSource& mesh) {
    // The weld table still numbers this group's points.
    auto vertex = [this](Int32 point) { return pointToVertex[point].vertex; };
    indices.resize(indexCount());
    int32_t* triangle = indices.data();
    for (const Int32 p : group) {
        const CPolygon& polygon = mesh.polygons[p];
        const int32_t va = vertex(polygon.a), vb = vertex(polygon.b), vc = vertex(polygon.c);
        // Corners in reverse order: the model group mirrors z.
        if (polygon.IsTriangle())
            for (int32_t index : {va, vc, vb}) *triangle++ = index;
        else
            for (int32_t index : {va, vertex(polygon.d), vb, vc, vb, vertex(polygon.d)})
                *triangle++ = index;
    }
    return indices;
}
