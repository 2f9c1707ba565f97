// The meshes of one Assimp node as one host polygon object.
#pragma once

#include <assimp/scene.h>

#include "c4d.h"
#include "model_import_materials.h"

namespace vantrel_host::model_import {

// Fills op, a new polygon object, with the meshes the node lists:
// - points welded where position and, on smooth meshes, normal agree; polygons keep
//   three or four corners (in reversed order, see model_import_space.h), larger ones
//   are split into triangles; point and line primitives leave only their points;
// - the first UV channel as a UVW tag, v turned top-down (v' = 1 - v);
// - a phong tag when a mesh's normals are smooth somewhere (not all equal to their
//   faces' normals); hard edges keep their points apart, so the phong shading stays
//   within the faces that shared normals in the file;
// - one texture tag for the meshes' material or, when they use several, a polygon
//   selection per material named after it with a texture tag restricted to it.
// Throws std::runtime_error for a damaged mesh (a corner index out of range).
void FillPolygonObject(PolygonObject& op, const aiScene& scene, const aiNode& node,
                       MaterialImporter& materials);

}  // namespace vantrel_host::model_import
