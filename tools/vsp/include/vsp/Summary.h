// Counts of what a scene file holds, as vsp-dump --summary prints them.
#pragma once

#include <cstddef>
#include <map>
#include <ostream>

#include "vsp/Node.h"

namespace vsp {

struct Summary {
    std::map<NodeKind, size_t> nodes;  // every node below the document, embedded shaders included
    size_t triangles = 0;              // "triangles" indices / 3, summed over geometries
    size_t vertices = 0;   // "vertices" elements (3 numbers each), summed over geometries
    size_t materials = 0;  // material blocks
};

Summary summarize(const Node& root);

// One "kind: count" line per node kind present, then triangles, vertices, materials.
void printSummary(std::ostream& out, const Summary& summary);

}  // namespace vsp
