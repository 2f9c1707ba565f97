// Splitting polygons of more than four corners into triangles.
#pragma once

#include <array>
#include <vector>

#include "c4d_math.h"

namespace vantrel_host::model_import {

// Triangles over the corners of a planar polygon, as corner indices, each turning the
// way the polygon turns. Concave polygons are split by clipping ears; polygons with
// more than kMaxEarClippedCorners corners, and what is left of a self-intersecting
// one, are split as a fan. Gives size - 2 triangles for 3 or more corners.
std::vector<std::array<int, 3>> SplitPolygon(const std::vector<Vector>& corners);

// Ear clipping takes time growing with the cube of the corner count.
constexpr size_t kMaxEarClippedCorners = 1000;

}  // namespace vantrel_host::model_import
