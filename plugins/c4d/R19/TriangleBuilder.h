// The triangle arrays of one material group of a polygon object: welded vertices,
// per-corner UVs and normals, and the vertex and corner indices of its triangles. The
// two buffers are emptied, never freed, between groups, so that a large document does
// not allocate them again for every group.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
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
    // Takes host memory, as the host wants of plug-ins, so that blocks it keeps for reuse
    // (phong normals already written) serve the buffers too. New elements of a
    // plain type stay uninitialised, so that a buffer can be sized first and then filled
    // in place without a zeroing pass.
    template <typename T>
    struct HostAllocator : std::allocator<T> {
        template <typename U>
        struct rebind {
            using other = HostAllocator<U>;
        };
        HostAllocator() = default;
        template <typename U>
        HostAllocator(const HostAllocator<U>&) noexcept {}
        T* allocate(size_t count) {
            T* memory = NewMem(T, count);
            if (memory == nullptr) throw std::bad_alloc();
            return memory;
        }
        void deallocate(T* memory, size_t) noexcept { DeleteMem(memory); }
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
    using FillBuffer = std::vector<T, HostAllocator<T>>;

    // A group (polygon indices, ascending, none repeated; quads of them quadrangles) is
    // built in stages, in the order the scene takes the arrays: weld, cornerNormals,
    // cornerIndices, uvs, triangles. Vertices, copied normals and UVs share one float
    // buffer, corner indices and triangles one index buffer, so an array stays valid
    // until the next one built in its buffer, and a group never holds more than one of
    // each.

    // Welds the group's points: x, y, z of each welded vertex, in order of first use.
    const FillBuffer<float>& weld(const std::vector<Int32>& group, size_t quads,
                                  const TriangleSource& mesh);
    // Indices of the welded group's triangles: three a triangle, two triangles a quad.
    size_t indexCount() const { return 3 * triangleCount; }
    // The group's normals, one per corner: the host's phong array itself where the group
    // is a run of consecutive quads (the layouts agree), else copied; none (count 0)
    // without phong normals or a normal tag.
    CornerNormals cornerNormals(const std::vector<Int32>& group, const TriangleSource& mesh);
    // The corner indices of the group's triangles (three per triangle), which number its
    // normals and UVs alike; corners reversed because the model group mirrors z.
    const int32_t* cornerIndices(const std::vector<Int32>& group, const TriangleSource& mesh);
    // u, v of each corner, for a mesh with UVs.
    const FillBuffer<float>& uvs(const std::vector<Int32>& group, const TriangleSource& mesh);
    // The welded vertex indices of the group's triangles, corners reversed.
    const FillBuffer<int32_t>& triangles(const std::vector<Int32>& group,
                                         const TriangleSource& mesh);

private:
    FillBuffer<float> floats;
    FillBuffer<int32_t> indices;
    // Welding: the welded vertex of each host point, valid where the slot carries the
    // current group's generation, so that no group has to clear the table.
    struct WeldSlot {
        uint32_t generation = 0;
        int32_t vertex = 0;
    };
    FillBuffer<WeldSlot> pointToVertex;
    uint32_t weldGeneration = 0;
    size_t corners = 0;
    size_t triangleCount = 0;
};
