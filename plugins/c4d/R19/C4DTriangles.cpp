#include "C4DLoader.h"

// Polygon objects are not converted yet.
void C4DLoader::writePolygonObject(PolygonObject*, std::vector<BaseTag*>, float) {}
