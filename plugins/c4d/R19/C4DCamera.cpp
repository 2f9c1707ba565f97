#include "C4DLoader.h"

// Cameras are not converted yet.
void C4DLoader::getCameras(BaseObject*, std::vector<BaseObject*>&) {}
void C4DLoader::writeCamera(BaseObject*) {}
