#include <gtest/gtest.h>

#include "c4d.h"
#include "test_support.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

bool Near(const Vector& a, const Vector& b) { return (a - b).GetLength() < 1e-12; }

::testing::AssertionResult Near(const Matrix& a, const Matrix& b) {
    return vantrel_host::testing::Near(a, b, 1e-12);
}

TEST(Matrix, ProductAppliesTheRightFactorFirst) {
    const Matrix move = MatrixMove(Vector(10, 0, 0));
    const Matrix scale = MatrixScale(Vector(2, 3, 4));
    EXPECT_TRUE(Near((move * scale) * Vector(1, 1, 1), Vector(12, 3, 4)));
    EXPECT_TRUE(Near(MatrixRotZ(kPi / 2) * Vector(1, 0, 0), Vector(0, 1, 0)));
    EXPECT_TRUE(Near(MatrixRotX(kPi / 2) * Vector(0, 1, 0), Vector(0, 0, 1)));
    EXPECT_TRUE(Near(MatrixRotY(kPi / 2) * Vector(0, 0, 1), Vector(1, 0, 0)));
    EXPECT_TRUE(Near(move.TransformVector(Vector(1, 2, 3)), Vector(1, 2, 3)));
}

TEST(Matrix, InverseUndoesTheMapAndIsIdentityWhenSingular) {
    const Matrix m = MatrixMove(Vector(5, -2, 7)) *
                     HPBToMatrix(Vector(0.3, -1.1, 2.0), ROTATIONORDER_HPB) *
                     MatrixScale(Vector(2, 0.5, 3));
    EXPECT_TRUE(Near(~m * m, Matrix()));
    EXPECT_TRUE(Near(m * ~m, Matrix()));
    EXPECT_TRUE(Near(~m * (m * Vector(1, 2, 3)), Vector(1, 2, 3)));
    EXPECT_EQ(~MatrixScale(Vector(1, 0, 1)), Matrix());
    EXPECT_EQ(~Matrix(Vector(4, 5, 6), Vector(), Vector(), Vector()), Matrix());
}

TEST(HPBToMatrix, EveryOrderAppliesItsAxesInTurnAndIsARotation) {
    const Vector r(0.4, -0.7, 1.3);
    const Matrix x = MatrixRotX(r.x), y = MatrixRotY(r.y), z = MatrixRotZ(r.z);
    const std::pair<ROTATIONORDER, Matrix> orders[] = {
        {ROTATIONORDER_YXZGLOBAL, z * x * y},
        {ROTATIONORDER_YZXGLOBAL, x * z * y},
        {ROTATIONORDER_ZYXGLOBAL, x * y * z},
        {ROTATIONORDER_ZXYGLOBAL, y * x * z},
        {ROTATIONORDER_XZYGLOBAL, y * z * x},
        {ROTATIONORDER_XYZGLOBAL, z * y * x},
        // Heading about Y, pitch about X, bank about Z; bank applies first.
        {ROTATIONORDER_HPB, MatrixRotY(r.x) * MatrixRotX(r.y) * MatrixRotZ(r.z)},
    };
    for (const auto& [order, expected] : orders) {
        SCOPED_TRACE("order " + std::to_string(order));
        const Matrix m = HPBToMatrix(r, order);
        EXPECT_TRUE(Near(m, expected));
        EXPECT_NEAR(m.GetDeterminant(), 1.0, 1e-12);
        EXPECT_TRUE(Near(
            ~m, Matrix(Vector(), Vector(m.v1.x, m.v2.x, m.v3.x), Vector(m.v1.y, m.v2.y, m.v3.y),
                       Vector(m.v1.z, m.v2.z, m.v3.z))));  // a rotation inverts by transposing
    }
    EXPECT_EQ(HPBToMatrix(r, static_cast<ROTATIONORDER>(7)), Matrix());
}

}  // namespace
