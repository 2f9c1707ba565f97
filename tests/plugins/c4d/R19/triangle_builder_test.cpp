// The triangle arrays of one material group: welding, corner order, corner indices, UVs
// and normals, built from plain mesh data without a document.
#include <gtest/gtest.h>

#include <vector>

#include "TriangleBuilder.h"

namespace {

using Ints = std::vector<int32_t>;
using Floats = std::vector<float>;
using Group = std::vector<Int32>;

struct Mesh {
    std::vector<Vector64> points;
    std::vector<CPolygon> polygons;
    std::vector<Vector32> phong;  // empty: no phong normals

    TriangleSource source() const {
        TriangleSource s;
        s.polygons = polygons.data();
        s.points = points.data();
        s.pointCount = Int32(points.size());
        s.phongNormals = phong.empty() ? nullptr : phong.data();
        return s;
    }
    size_t quads(const Group& group) const {
        size_t count = 0;
        for (Int32 p : group) count += !polygons[p].IsTriangle();
        return count;
    }
};

template <class Buffer>
auto copy(const Buffer& buffer) {
    return std::vector<typename Buffer::value_type>(buffer.begin(), buffer.end());
}

// Five polygons over points of their own: quads 0 to 3, triangle 4; polygon p's phong
// normals are (p, corner, 0).
Mesh fivePolygons() {
    Mesh mesh;
    for (int p = 0; p < 5; ++p) {
        const Int32 a = Int32(mesh.points.size());
        mesh.polygons.emplace_back(a, a + 1, a + 2, p == 4 ? a + 2 : a + 3);
        for (int corner = 0; corner < 4; ++corner) {
            mesh.points.emplace_back(p, corner, 0);
            mesh.phong.emplace_back(float(p), float(corner), 0.0f);
        }
    }
    return mesh;
}

// The phong normals of a group's corners, as x, y, z.
Floats phongOf(const Mesh& mesh, const Group& group) {
    Floats normals;
    for (Int32 p : group)
        for (int corner = 0; corner < (mesh.polygons[p].IsTriangle() ? 3 : 4); ++corner) {
            const Vector32& n = mesh.phong[4 * p + corner];
            normals.insert(normals.end(), {n.x, n.y, n.z});
        }
    return normals;
}

// The arrays of one group are pinned through the polygon object writer; here what the
// builder carries from one group to the next.
TEST(TriangleBuilder, EachGroupWeldsOnlyItsOwnPointsNumberedFromZero) {
    Mesh mesh;
    mesh.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {5, 5, 5}, {7, 7, 7}};
    mesh.polygons = {CPolygon(0, 1, 2, 3), CPolygon(4, 2, 1)};
    TriangleBuilder builder;
    const TriangleSource source = mesh.source();
    builder.weld({0, 1}, 1, source);
    EXPECT_EQ(copy(builder.weld({1}, 0, source)), (Floats{5, 5, 5, 1, 1, 0, 1, 0, 0}));
    EXPECT_EQ(copy(builder.triangles({1}, source)), (Ints{0, 2, 1}));
}

TEST(TriangleBuilder, EachGroupGetsItsCornersIndicesAndPhongNormals) {
    const Mesh mesh = fivePolygons();
    TriangleBuilder builder;
    const TriangleSource source = mesh.source();
    struct Case {
        Group group;
        Ints corners;
        bool shared;  // the normals are the host's array itself, not a copy
    };
    // Each group after groups of other kinds and lengths, so that none sees their indices.
    const Case cases[] = {
        {{1, 2}, {0, 3, 1, 2, 1, 3, 4, 7, 5, 6, 5, 7}, true},
        {{0, 2}, {0, 3, 1, 2, 1, 3, 4, 7, 5, 6, 5, 7}, false},
        {{3, 4}, {0, 3, 1, 2, 1, 3, 4, 6, 5}, false},
        {{0, 1, 2}, {0, 3, 1, 2, 1, 3, 4, 7, 5, 6, 5, 7, 8, 11, 9, 10, 9, 11}, true},
        {{4}, {0, 2, 1}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.group));
        builder.weld(c.group, mesh.quads(c.group), source);
        const int32_t* indices = builder.cornerIndices(c.group, source);
        EXPECT_EQ(Ints(indices, indices + builder.indexCount()), c.corners);
        const size_t corners = 3 * c.group.size() + mesh.quads(c.group);
        const CornerNormals normals = builder.cornerNormals(c.group, source);
        ASSERT_EQ(normals.count, corners);
        EXPECT_EQ(Floats(normals.xyz, normals.xyz + 3 * corners), phongOf(mesh, c.group));
        EXPECT_EQ(normals.xyz == &mesh.phong[4 * c.group.front()].x, c.shared);
    }
}

}  // namespace
