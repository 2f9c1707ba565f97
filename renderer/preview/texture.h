// An 8-bit picture read from disk, sampled with bilinear filtering in linear colour.
#pragma once

#include <string>
#include <vector>

#include "vec3.h"

namespace preview {

class Texture {
public:
    // Throws std::runtime_error naming the file and the reason when it cannot be read.
    static Texture load(const std::string& path);

    // u grows to the right and v downwards from the picture's top-left corner; both
    // repeat outside 0..1.
    Vec3 sample(float u, float v) const;

private:
    Vec3 texel(int x, int y) const;

    int width_ = 0, height_ = 0;
    std::vector<Vec3> texels_;  // linear colour, rows from the top
};

}  // namespace preview
