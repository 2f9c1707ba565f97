// Readable text form of a tree: one line per statement, parameter and block, indented
// by depth, in file order; long arrays show their first elements and their size.
#pragma once

#include <ostream>

#include "vsp/Node.h"

namespace vsp {

void printTree(std::ostream& out, const Node& root);

}  // namespace vsp
