// The material model sent to the renderer: one diffuse colour, an optional specular
// colour and an optional colour texture with its placement.
#pragma once

#include <string>

#include "C4DText.h"
#include "c4d.h"

struct TavMat {
    char name[kMaxNameBytes + 1] = "";  // host material name, UTF-8, cut at a character boundary
    Vector64 color{0.65, 0.65, 0.65};
    Vector64 specular{0, 0, 0};
    std::string texture;  // texture file path; empty for none
    Matrix64 textureMatrix;
    BaseTag* textureTag = nullptr;  // not owned; valid during one conversion
    double offsetU = 0.0;
    double offsetV = 0.0;
    double lengthU = 1.0;
    double lengthV = 1.0;
    bool tile = true;
    Int32 projection = 0;

    // Key order of the material table. Specular, placement matrix, tag and projection
    // take no part: records that differ only there share one material number.
    bool operator<(const TavMat& other) const;
};
