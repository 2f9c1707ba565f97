#include "C4DLoader.h"

#include <cstring>

// Materials are not converted yet: every object keeps the default record.
bool TavMat::operator<(const TavMat& other) const { return std::strcmp(name, other.name) < 0; }

Vector64 C4DLoader::getDefaultColor(BaseObject*) { return Vector64(0.65, 0.65, 0.65); }
bool C4DLoader::getMaterial(BaseTag*, TavMat&) { return false; }
bool C4DLoader::getMaterial(Material*, TavMat&) { return false; }
bool C4DLoader::getMaterial(BaseShader*, TavMat&) { return false; }
void C4DLoader::writeMaterial(TavMat) {}
