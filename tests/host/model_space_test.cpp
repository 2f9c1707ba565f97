#include <gtest/gtest.h>

#include <cmath>

#include "model_import_polygons.h"
#include "model_import_space.h"
#include "test_support.h"

namespace {

using namespace vantrel_host::model_import;
using vantrel_host::testing::Near;

constexpr double kPi = 3.14159265358979323846;

TEST(ModelSpace, MirrorKeepsTransformsOfMirroredPoints) {
    aiMatrix4x4 rotation, translation, scaling;
    aiMatrix4x4::Rotation(0.7f, aiVector3D(0.3f, 1.0f, -0.5f).Normalize(), rotation);
    aiMatrix4x4::Translation(aiVector3D(1, 2, 3), translation);
    aiMatrix4x4::Scaling(aiVector3D(2, 0.5f, 3), scaling);
    const aiMatrix4x4 m = translation * rotation * scaling;
    const aiVector3D p(0.25f, -4, 7);
    EXPECT_LT(((ToHost(m) * ToHost(p)) - ToHost(m * p)).GetLength(), 1e-5);
}

TEST(ModelSpace, DecomposeRebuildsRotationScaleAndMirror) {
    const Vector angles[] = {
        {0.3, -0.4, 1.2}, {2.5, 0.1, -3.0}, {0.2, kPi / 2, 0}, {-1, -kPi / 2, 0}};
    const Vector scales[] = {{1, 1, 1}, {2, 0.5, 3}, {1, 1, -2}, {-1, 1, 1}};  // two mirrors
    for (const Vector& hpb : angles) {
        for (const Vector& scale : scales) {
            SCOPED_TRACE("hpb.x " + std::to_string(hpb.x) + " scale.x " + std::to_string(scale.x));
            const Matrix m = MatrixMove(Vector(1, -2, 3)) * HPBToMatrix(hpb, ROTATIONORDER_HPB) *
                             MatrixScale(scale);
            const Transform t = Decompose(m);
            EXPECT_TRUE(Near(MatrixMove(t.position) * HPBToMatrix(t.rotation, ROTATIONORDER_HPB) *
                                 MatrixScale(t.scale),
                             m, 1e-9));
        }
    }
}

TEST(ModelSpace, NearestHpbIsTheSameRotationWithoutJumps) {
    // Past half a turn of heading the angle keeps growing instead of wrapping.
    const Vector next = NearestHPB(Vector(-kPi + 0.1, 0, 0), Vector(kPi - 0.1, 0, 0));
    EXPECT_NEAR(next.x, kPi + 0.1, 1e-12);
    // Pitching over the pole: the second triple continues the motion.
    const Vector over = MatrixToHPB(HPBToMatrix(Vector(0, kPi / 2 + 0.1, 0), ROTATIONORDER_HPB));
    const Vector continued = NearestHPB(over, Vector(0, kPi / 2 - 0.1, 0));
    EXPECT_NEAR(continued.y, kPi / 2 + 0.1, 1e-9);
    EXPECT_NEAR(continued.x, 0, 1e-9);
    EXPECT_NEAR(continued.z, 0, 1e-9);
    EXPECT_TRUE(Near(HPBToMatrix(continued, ROTATIONORDER_HPB),
                     HPBToMatrix(over, ROTATIONORDER_HPB), 1e-9));
}

double Area(const std::vector<Vector>& c, int a, int b, int d) {
    return Cross(c[b] - c[a], c[d] - c[a]).y / 2;  // signed, seen along +y
}

TEST(ModelPolygons, ConcavePolygonSplitsIntoTrianglesTurningItsWay) {
    // An L in the xz plane, area 3, turning one way and then the other.
    std::vector<Vector> l = {{0, 0, 0}, {2, 0, 0}, {2, 0, 1}, {1, 0, 1}, {1, 0, 2}, {0, 0, 2}};
    for (const char* order : {"as given", "reversed"}) {
        SCOPED_TRACE(order);
        const auto triangles = SplitPolygon(l);
        ASSERT_EQ(triangles.size(), 4u);
        double total = 0;
        for (const auto& t : triangles) {
            const double area = Area(l, t[0], t[1], t[2]);
            EXPECT_GT(area * Area(l, 0, 1, 2), 0) << "every triangle turns the polygon's way";
            total += area;
        }
        EXPECT_NEAR(std::abs(total), 3.0, 1e-12);
        std::reverse(l.begin(), l.end());
    }
    // Past the ear-clipping limit: a fan.
    std::vector<Vector> circle;
    for (size_t i = 0; i <= kMaxEarClippedCorners; ++i)
        circle.push_back(Vector(std::cos(i * 0.001), 0, std::sin(i * 0.001)));
    const auto fan = SplitPolygon(circle);
    EXPECT_EQ(fan.size(), circle.size() - 2);
}

}  // namespace
