#include "c4d_math.h"

Matrix64 operator~(const Matrix64& m) {
    const Float64 det = m.GetDeterminant();
    if (det == 0.0) return Matrix64();
    // Rows of the inverse of the axis matrix are the cross products of its columns.
    const Vector64 r1 = Cross(m.v2, m.v3) / det;
    const Vector64 r2 = Cross(m.v3, m.v1) / det;
    const Vector64 r3 = Cross(m.v1, m.v2) / det;
    Matrix64 inv({0, 0, 0}, {r1.x, r2.x, r3.x}, {r1.y, r2.y, r3.y}, {r1.z, r2.z, r3.z});
    inv.off = -inv.TransformVector(m.off);
    return inv;
}

Matrix64 MatrixMove(const Vector64& offset) {
    Matrix64 m;
    m.off = offset;
    return m;
}

Matrix64 MatrixScale(const Vector64& scale) {
    return {{0, 0, 0}, {scale.x, 0, 0}, {0, scale.y, 0}, {0, 0, scale.z}};
}

Matrix64 MatrixRotX(Float64 angle) {
    const Float64 c = std::cos(angle), s = std::sin(angle);
    return {{0, 0, 0}, {1, 0, 0}, {0, c, s}, {0, -s, c}};
}

Matrix64 MatrixRotY(Float64 angle) {
    const Float64 c = std::cos(angle), s = std::sin(angle);
    return {{0, 0, 0}, {c, 0, -s}, {0, 1, 0}, {s, 0, c}};
}

Matrix64 MatrixRotZ(Float64 angle) {
    const Float64 c = std::cos(angle), s = std::sin(angle);
    return {{0, 0, 0}, {c, s, 0}, {-s, c, 0}, {0, 0, 1}};
}

Matrix64 HPBToMatrix(const Vector64& hpb, ROTATIONORDER order) {
    const Matrix64 x = MatrixRotX(hpb.x), y = MatrixRotY(hpb.y), z = MatrixRotZ(hpb.z);
    switch (order) {
        case ROTATIONORDER_YXZGLOBAL:
            return z * x * y;
        case ROTATIONORDER_YZXGLOBAL:
            return x * z * y;
        case ROTATIONORDER_ZYXGLOBAL:
            return x * y * z;
        case ROTATIONORDER_ZXYGLOBAL:
            return y * x * z;
        case ROTATIONORDER_XZYGLOBAL:
            return y * z * x;
        case ROTATIONORDER_XYZGLOBAL:
            return z * y * x;
        case ROTATIONORDER_HPB:
            return MatrixRotY(hpb.x) * MatrixRotX(hpb.y) * MatrixRotZ(hpb.z);
    }
    return Matrix64();
}
