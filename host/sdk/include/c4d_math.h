// Vectors and matrices of the host. A Matrix64 is an offset and three axis vectors;
// it maps a point p to off + p.x * v1 + p.y * v2 + p.z * v3, and the product a * b
// is the map p -> a(b(p)).
#pragma once

#include <cmath>

#include "c4d_types.h"

template <typename T>
struct Vec3 {
    T x = 0, y = 0, z = 0;

    constexpr Vec3() = default;
    constexpr Vec3(T x_, T y_, T z_) : x(x_), y(y_), z(z_) {}
    constexpr explicit Vec3(T all) : x(all), y(all), z(all) {}
    template <typename U>
    constexpr explicit Vec3(const Vec3<U>& v) : x(T(v.x)), y(T(v.y)), z(T(v.z)) {}

    T& operator[](Int32 i) { return i == 0 ? x : i == 1 ? y : z; }
    T operator[](Int32 i) const { return i == 0 ? x : i == 1 ? y : z; }

    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
    Vec3 operator*(T s) const { return {x * s, y * s, z * s}; }
    Vec3 operator/(T s) const { return {x / s, y / s, z / s}; }
    Vec3& operator+=(const Vec3& o) { return *this = *this + o; }
    Vec3& operator-=(const Vec3& o) { return *this = *this - o; }
    Vec3& operator*=(T s) { return *this = *this * s; }
    bool operator==(const Vec3& o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator!=(const Vec3& o) const { return !(*this == o); }

    T GetLength() const { return std::sqrt(x * x + y * y + z * z); }
    // The zero vector stays zero.
    Vec3 GetNormalized() const {
        T len = GetLength();
        return len > 0 ? *this / len : Vec3();
    }
};

template <typename T>
Vec3<T> operator*(T s, const Vec3<T>& v) {
    return v * s;
}
template <typename T>
T Dot(const Vec3<T>& a, const Vec3<T>& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
template <typename T>
Vec3<T> Cross(const Vec3<T>& a, const Vec3<T>& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

using Vector64 = Vec3<Float64>;
using Vector32 = Vec3<Float32>;
using Vector = Vector64;

struct Matrix64 {
    Vector64 off{0, 0, 0};
    Vector64 v1{1, 0, 0};
    Vector64 v2{0, 1, 0};
    Vector64 v3{0, 0, 1};

    constexpr Matrix64() = default;
    constexpr Matrix64(const Vector64& off_, const Vector64& v1_, const Vector64& v2_,
                       const Vector64& v3_)
        : off(off_), v1(v1_), v2(v2_), v3(v3_) {}

    // Transforms a point (the offset applies).
    Vector64 operator*(const Vector64& p) const { return off + v1 * p.x + v2 * p.y + v3 * p.z; }
    Matrix64 operator*(const Matrix64& b) const {
        return {*this * b.off, TransformVector(b.v1), TransformVector(b.v2), TransformVector(b.v3)};
    }
    // Transforms a direction (the offset does not apply).
    Vector64 TransformVector(const Vector64& d) const { return v1 * d.x + v2 * d.y + v3 * d.z; }
    Float64 GetDeterminant() const { return Dot(v1, Cross(v2, v3)); }

    bool operator==(const Matrix64& o) const {
        return off == o.off && v1 == o.v1 && v2 == o.v2 && v3 == o.v3;
    }
    bool operator!=(const Matrix64& o) const { return !(*this == o); }
};

using Matrix = Matrix64;

// The inverse affine map; the identity when the determinant is exactly 0.0.
Matrix64 operator~(const Matrix64& m);

Matrix64 MatrixMove(const Vector64& offset);
Matrix64 MatrixScale(const Vector64& scale);
Matrix64 MatrixRotX(Float64 angle);
Matrix64 MatrixRotY(Float64 angle);
Matrix64 MatrixRotZ(Float64 angle);

// Rotation from a vector of angles in radians. For ROTATIONORDER_HPB the components
// are heading (about Y), pitch (about X) and bank (about Z), and the matrix is
// RotY(h) * RotX(p) * RotZ(b): bank is applied first. For the other orders the
// components are the angles about X, Y and Z, applied in the order the name gives
// (ROTATIONORDER_YXZGLOBAL: Y first, then X, then Z, so RotZ * RotX * RotY).
// An order outside 0 to 6 gives the identity.
Matrix64 HPBToMatrix(const Vector64& hpb, ROTATIONORDER order);
