// The triangle arrays of one material group of a polygon object: welded vertices,
// per-corner UVs and normals, and the vertex and corner indices of its triangles. The
// buffers are emptied, never freed, between groups, so that a large document does not
// allocate them again for every group.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "c4d.h"

// The host mesh data a group is built from. Every point index of the polygons given to
// the builder lies within the point array; uvwData holds one record per polygon.
struct TriangleSource {
    const CPolygon* polygons = nullptr;
    const Vector64* points = nullptr;
    Int32 pointCount = 0;
    const void* uvwData = nullptr;           // UVW tag data, or null: no UVs
    bool zeroNormals = false;                // a normal tag: one zero normal per corner
    const Vector32* phongNormals = nullptr;  // four per polygon, or null: none
};

// Normals as x, y, z floats, count of them; none when count is 0.
struct CornerNormals {
    const float* xyz = nullptr;
    size_t count = 0;
};

class TriangleBuilder {
public:
    // Leaves new elements of a plain type uninitialised, so that a buffer can be sized
    // first and then filled in place without a zeroing pass.
    template <typename T>
    struct UninitializedAllocator : std::allocator<T> {
        template <typename U>
        struct rebind {
            using other = UninitializedAllocator<U>;
        };
        UninitializedAllocator() = default;
        template <typename U>
        UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
        template <typename U>
        void construct(U* p) noexcept {
            ::new (static_cast<void*>(p)) U;
        }
        template <typename U, typename... Args>
        void construct(U* p, Args&&... args) {
            ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
        }
    };
    template <typename T>
    using FillBuffer = std::vector<T, UninitializedAllocator<T>>;

    // Builds a group (polygon indices, ascending, none repeated; quads of them
    // quadrangles): welded vertices in order of first use, per-corner UVs when the mesh
    // has them, and the vertex indices of its triangles, corners reversed because the
    // model group mirrors z. Returns the number of corners.
    size_t build(const std::vector<Int32>& group, size_t quads, const TriangleSource& mesh);

    // x, y, z of each welded vertex.
    const FillBuffer<float>& vertices() const { return vertexArray; }
    // u, v of each corner; empty without UVs.
    const FillBuffer<float>& uvs() const { return uvArray; }
    // Three vertex indices per triangle.
    const FillBuffer<int32_t>& triangles() const { return triangleIndexArray; }

    // The corner indices of the built group's triangles (as many as triangles()), which
    // number its normals and UVs alike.
    const int32_t* cornerIndices(const std::vector<Int32>& group, const TriangleSource& mesh);
    // The built group's normals, one per corner: the host's phong array itself where the
    // group is a run of consecutive quads (the layouts agree), else copied.
    CornerNormals cornerNormals(const std::vector<Int32>& group, const TriangleSource& mesh);

private:
    FillBuffer<float> vertexArray;
    FillBuffer<float> normalArray;
    FillBuffer<float> uvArray;
    FillBuffer<int32_t> triangleIndexArray;
    FillBuffer<int32_t> cornerIndexArray;
    // A group of quads only has corner indices of a fixed pattern, kept apart and only
    // ever lengthened.
    FillBuffer<int32_t> quadCornerPattern;
    // Welding: the welded vertex of each host point, valid where the slot carries the
    // current group's generation, so that no group has to clear the table.
    struct WeldSlot {
        uint32_t generation = 0;
        int32_t vertex = 0;
    };
    std::vector<WeldSlot> pointToVertex;
    uint32_t weldGeneration = 0;
    size_t corners = 0;
};
