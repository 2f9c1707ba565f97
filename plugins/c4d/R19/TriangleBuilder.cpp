#include "TriangleBuilder.h"

#include <algorithm>
#include <cstring>

static_assert(sizeof(Vector32) == 3 * sizeof(float), "phong normals are used as they lie");

size_t TriangleBuilder::build(const std::vector<Int32>& group, size_t quads,
                              const TriangleSource& mesh) {
    if (pointToVertex.size() < size_t(mesh.pointCount)) pointToVertex.resize(mesh.pointCount);
    if (++weldGeneration == 0) {  // wrapped: forget every slot once
        std::fill(pointToVertex.begin(), pointToVertex.end(), WeldSlot{});
        weldGeneration = 1;
    }
    // Every array but the welded vertices has a known size: fill them in place.
    corners = 3 * group.size() + quads;
    const size_t indices = 3 * (group.size() + quads);
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

const int32_t* TriangleBuilder::cornerIndices(const std::vector<Int32>& group,
                                              const TriangleSource& mesh) {
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

CornerNormals TriangleBuilder::cornerNormals(const std::vector<Int32>& group,
                                             const TriangleSource& mesh) {
    if (mesh.zeroNormals) {
        normalArray.assign(3 * corners, 0.0f);
        return {normalArray.data(), corners};
    }
    const Vector32* phong = mesh.phongNormals;
    if (!phong) return {};
    const bool consecutive = size_t(group.back() - group.front()) + 1 == group.size();
    if (consecutive && corners == 4 * group.size())
        return {&phong[4 * size_t(group.front())].x, corners};

    normalArray.resize(3 * corners);
    float* normal = normalArray.data();
    for (const Int32 p : group) {
        const int count = mesh.polygons[p].IsTriangle() ? 3 : 4;
        std::memcpy(normal, phong + 4 * size_t(p), count * sizeof(Vector32));
        normal += 3 * count;
    }
    return {normalArray.data(), corners};
}
