// A light-weight look at received scene-file text: which groups it opens at top level.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantrel_renderer {

// Names of the groups opened outside every block ("group NAME {" at nesting depth 0),
// in order. Quoted and hex-encoded names are decoded; quoted texts, "#print"/"#error"
// lines and binary array blocks are skipped, so braces inside them do not count.
std::vector<std::string> topLevelGroups(std::string_view text);

}  // namespace vantrel_renderer
