#include "C4DLoader.h"

// The hierarchy walk is not built yet.
void C4DLoader::browseHierarchy(BaseObject*, std::vector<BaseTag*>, bool, bool, float, bool) {}
void C4DLoader::browseTag(BaseTag*, UVWTag**, NormalTag**, std::map<std::string, SelectionTag*>*,
                          std::vector<BaseTag*>*) {}
