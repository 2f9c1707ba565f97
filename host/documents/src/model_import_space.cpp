#include "model_import_space.h"

#include <algorithm>
#include <cmath>

namespace vantrel_host::model_import {

Vector ToHost(const aiVector3D& v) { return Vector(v.x, v.y, -v.z); }

Matrix ToHost(const aiMatrix4x4& m) {
    // Assimp's columns are the axes and the offset; S M S flips the z row and the z
    // column, so the z element of the z axis keeps its sign.
    return Matrix(Vector(m.a4, m.b4, -m.c4), Vector(m.a1, m.b1, -m.c1), Vector(m.a2, m.b2, -m.c2),
                  Vector(-m.a3, -m.b3, m.c3));
}

Matrix ToHost(const aiQuaternion& q) {
    aiQuaternion unit = q;
    unit.Normalize();
    return ToHost(aiMatrix4x4(unit.GetMatrix()));
}

Transform Decompose(const Matrix& m) {
    Transform t;
    t.position = m.off;
    t.scale = Vector(m.v1.GetLength(), m.v2.GetLength(), m.v3.GetLength());
    Vector z = m.v3.GetNormalized();
    if (m.GetDeterminant() < 0) {
        t.scale.z = -t.scale.z;
        z = -z;
    }
    t.rotation = MatrixToHPB(Matrix(Vector(), m.v1.GetNormalized(), m.v2.GetNormalized(), z));
    return t;
}

Vector MatrixToHPB(const Matrix& m) {
    // HPBToMatrix builds RotY(h) * RotX(p) * RotZ(b): its z axis is
    // (sin h cos p, -sin p, cos h cos p), the y components of its x and y axes are
    // cos p sin b and cos p cos b.
    const Float cos_p = std::hypot(m.v3.x, m.v3.z);
    const Float p = std::atan2(-m.v3.y, cos_p);
    if (cos_p > 1e-12) return Vector(std::atan2(m.v3.x, m.v3.z), p, std::atan2(m.v1.y, m.v2.y));
    // Looking straight up or down only h + b or h - b is defined; put it all in h.
    return Vector(std::atan2(-m.v1.z, m.v1.x), p, 0);
}

namespace {

constexpr Float kPi = 3.14159265358979323846;

Float NearestTurn(Float angle, Float target) {
    return angle + 2 * kPi * std::round((target - angle) / (2 * kPi));
}

Vector NearestTurns(const Vector& hpb, const Vector& previous) {
    return Vector(NearestTurn(hpb.x, previous.x), NearestTurn(hpb.y, previous.y),
                  NearestTurn(hpb.z, previous.z));
}

}  // namespace

Vector NearestHPB(const Vector& hpb, const Vector& previous) {
    const Vector first = NearestTurns(hpb, previous);
    const Vector second = NearestTurns(Vector(hpb.x + kPi, kPi - hpb.y, hpb.z + kPi), previous);
    return (second - previous).GetLength() < (first - previous).GetLength() ? second : first;
}

}  // namespace vantrel_host::model_import
