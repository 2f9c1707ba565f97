#include "C4DLoader.h"

// Lights are not converted yet.
void C4DLoader::writeLight(std::string, BaseObject*) {}
