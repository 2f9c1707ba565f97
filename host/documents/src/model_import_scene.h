// The walk over an Assimp scene that builds the host document.
#pragma once

#include <assimp/scene.h>

#include <functional>
#include <string>

#include "vantrel_host/model_import.h"

namespace vantrel_host::model_import {

// Builds the document of a scene read from path: every node becomes an object (a
// polygon object when it lists meshes, a null otherwise) with its name and local
// transform; the root, when unnamed, takes the file's name. Each camera and light
// becomes a child object of its node (the first of its name), placed by its own
// position, direction and up vector. The first animation becomes tracks. progress
// is told the fraction of meshes done. Throws std::runtime_error for damaged scenes.
ModelDocument BuildModelDocument(const aiScene& scene, const std::string& path,
                                 const std::function<void(float)>& progress);

// Nodes nest at most this deep, so that a hostile file cannot exhaust the stack.
constexpr int kMaxNodeDepth = 256;

}  // namespace vantrel_host::model_import
