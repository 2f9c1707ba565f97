// From Assimp's space (right-handed, y up) into the host's (left-handed, y up): the
// import mirrors z. A point (x, y, z) becomes (x, y, -z); a matrix M becomes S M S
// with S = diag(1, 1, -1), which keeps it a rotation where it was one; polygons
// reverse their corner order so that they keep facing the same way.
#pragma once

#include <assimp/types.h>  // vectors, matrices and quaternions with their inline code

#include "c4d_math.h"

namespace vantrel_host::model_import {

Vector ToHost(const aiVector3D& v);
Matrix ToHost(const aiMatrix4x4& m);
// The rotation of a quaternion, mirrored.
Matrix ToHost(const aiQuaternion& q);

// An object's transform: MatrixMove(position) * HPBToMatrix(rotation, HPB) *
// MatrixScale(scale).
struct Transform {
    Vector position;
    Vector rotation;
    Vector scale{1, 1, 1};
};

// The transform nearest to m: shear is dropped, and a mirroring m gets a negative z
// scale.
Transform Decompose(const Matrix& m);

// Heading, pitch and bank of a rotation matrix; at pitch +-90 degrees the bank is 0.
Vector MatrixToHPB(const Matrix& m);

// The angles of the rotation hpb nearest to previous: whole turns and the second
// triple of every rotation, (h + pi, pi - p, b + pi), are chosen so that sampled
// rotations do not jump between neighbouring samples.
Vector NearestHPB(const Vector& hpb, const Vector& previous);

}  // namespace vantrel_host::model_import
