// The triangle writer on hand-made mesh data: index patterns, welding, normals, UVs.
#include <gtest/gtest.h>

#include "converter_fixture.h"

namespace {

using Ints = std::vector<int>;
using Floats = std::vector<float>;

struct Mesh {
    Mesh(std::vector<Vector> points, std::vector<CPolygon> polygons)
        : points(std::move(points)), polygons(std::move(polygons)) {}

    std::vector<Vector> points;
    std::vector<CPolygon> polygons;
    std::vector<UVWStruct> uvws;
    std::vector<Vector32> phong;
    bool normalTag = false;

    C4DLoader::TriangleSource source() const {
        C4DLoader::TriangleSource s;
        s.polygons = polygons.data();
        s.points = points.data();
        s.pointCount = static_cast<Int32>(points.size());
        s.uvwData = uvws.empty() ? nullptr : uvws.data();
        s.zeroNormals = normalTag;
        s.phongNormals = phong.empty() ? nullptr : phong.data();
        return s;
    }
};

// Writes one group and returns the geometry written.
vsp::Node writeGroup(const Mesh& mesh, const std::vector<Int32>& group) {
    ConverterFixture f;
    f.take();
    f.loader.writeTriangles("Mesh", group, mesh.source(), TavMat());
    return f.parsed().at("Mesh/triangles");
}

std::vector<Vector> grid(int count) {
    std::vector<Vector> points;
    for (int i = 0; i < count; ++i) points.emplace_back(i, 2 * i, -i);
    return points;
}

TEST(Triangles, TriangleReversesCornersAndQuadSplitsAlongBDDiagonal) {
    Mesh mesh(grid(4), {CPolygon(0, 1, 2), CPolygon(0, 1, 2, 3)});
    mesh.uvws = {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                 {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}};

    vsp::Node triangle = writeGroup(mesh, {0});
    EXPECT_EQ(triangle.param("vertices").floats(), (Floats{0, 0, 0, 1, 2, -1, 2, 4, -2}));
    EXPECT_EQ(triangle.param("triangles").ints(), (Ints{0, 2, 1}));
    EXPECT_EQ(triangle.param("uv_tex").floats(), (Floats{0, 0, 1, 0, 1, 1}));
    EXPECT_EQ(triangle.param("triangles_uv").ints(), (Ints{0, 2, 1}));

    vsp::Node quad = writeGroup(mesh, {1});
    EXPECT_EQ(quad.param("triangles").ints(), (Ints{0, 3, 1, 2, 1, 3}));
    EXPECT_EQ(quad.param("triangles_uv").ints(), (Ints{0, 3, 1, 2, 1, 3}));
    EXPECT_EQ(quad.param("uv_tex").size(), 8u);
    EXPECT_EQ(quad.findParameter("normals"), nullptr);  // neither a normal tag nor phong data
}

TEST(Triangles, WeldsPointsInOrderOfFirstUseAndSharesOnlyPositions) {
    Mesh mesh(grid(11), {CPolygon(7, 9, 10), CPolygon(10, 9, 3), CPolygon(0, 1, 2)});
    mesh.uvws.resize(3);
    mesh.phong.assign(12, Vector32(0, 1, 0));

    vsp::Node far = writeGroup(mesh, {0});
    EXPECT_EQ(far.param("vertices").floats(), (Floats{7, 14, -7, 9, 18, -9, 10, 20, -10}));
    EXPECT_EQ(far.param("triangles").ints(), (Ints{0, 2, 1}));

    vsp::Node shared = writeGroup(mesh, {0, 1});
    EXPECT_EQ(shared.param("vertices").size(), 4u);
    EXPECT_EQ(shared.param("triangles").ints(), (Ints{0, 2, 1, 2, 3, 1}));
    EXPECT_EQ(shared.param("uv_tex").size(), 12u);  // six corners
    EXPECT_EQ(shared.param("normals").size(), 6u);
    EXPECT_EQ(shared.param("triangles_norm").ints(), (Ints{0, 2, 1, 3, 5, 4}));

    // A later group of the same object numbers its vertices afresh.
    EXPECT_EQ(writeGroup(mesh, {1, 2}).param("vertices").size(), 6u);
}

TEST(Triangles, NormalsComeFromPhongDataOrAreZeroUnderANormalTag) {
    Mesh mesh(grid(4), {CPolygon(0, 1, 2, 3)});
    mesh.phong = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, -1}};
    EXPECT_EQ(writeGroup(mesh, {0}).param("normals").floats(),
              (Floats{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, -1}));

    mesh.normalTag = true;
    vsp::Node zero = writeGroup(mesh, {0});
    EXPECT_EQ(zero.param("normals").floats(), Floats(12, 0.0f));
    EXPECT_EQ(zero.param("triangles_norm").ints(), (Ints{0, 3, 1, 2, 1, 3}));
}

TEST(Triangles, EmptyGroupWritesNothingAndNamelessObjectIsCalledObject) {
    Mesh mesh(grid(3), {CPolygon(0, 1, 2)});
    ConverterFixture f;
    f.take();
    f.loader.writeTriangles("Mesh", {}, mesh.source(), TavMat());
    EXPECT_EQ(f.take(), "");
    f.loader.writeTriangles(nullptr, {0}, mesh.source(), TavMat());
    vsp::Node root = f.parsed();
    ASSERT_NE(root.find("object/triangles"), nullptr);
    EXPECT_EQ(root.at("object/Display color").kind, vsp::NodeKind::Material);
}

}  // namespace
