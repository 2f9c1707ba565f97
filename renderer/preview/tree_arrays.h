// The one place that knows how the scene-file reader hands out array numbers, so that a
// change of its storage touches nothing else here.
#pragma once

#include <cstdint>
#include <vector>

#include "vec3.h"

namespace vsp {
class Value;
}

namespace preview {

// Elements of three numbers each (positions, normals, colours).
std::vector<Vec3> vectorsOf(const vsp::Value& value);
std::vector<float> floatsOf(const vsp::Value& value);
// Every element must be a whole number from 0 up; throws std::runtime_error otherwise.
std::vector<uint32_t> indicesOf(const vsp::Value& value);

}  // namespace preview
