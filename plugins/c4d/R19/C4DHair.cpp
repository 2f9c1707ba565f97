#include "C4DLoader.h"

// Hair is not converted yet.
void C4DLoader::writeHairObject(HairObject*, std::vector<BaseTag*>, float) {}
