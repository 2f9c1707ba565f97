#include "C4DLoader.h"

C4DLoader::C4DLoader() = default;
C4DLoader::~C4DLoader() = default;

// The commands and the document walk are not built yet.
bool C4DLoader::render(BaseDocument*) { return true; }
bool C4DLoader::update(BaseDocument*) { return true; }
bool C4DLoader::vspExport(BaseDocument*) { return false; }
void C4DLoader::load(BaseDocument*) {}
