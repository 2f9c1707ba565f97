// The tree and its summary as JSON (vsp-dump --json).
#pragma once

#include <nlohmann/json.hpp>

#include "vsp/Node.h"
#include "vsp/Summary.h"

namespace vsp {

// {"kind", "name", "labels", "definition", "modification", "offset", "statements",
//  "parameters", "children"}; a value is {"type": ..., "data": ...} with the array
// fields "element", "arity", "count" and, for binary blocks, "binary". Numbers that
// are not finite become null; texts are emitted as UTF-8 with invalid bytes replaced.
nlohmann::json toJson(const Node& node);
nlohmann::json toJson(const Value& value);
// {"nodes": {"group": 3, ...}, "triangles": ..., "vertices": ..., "materials": ...}
nlohmann::json toJson(const Summary& summary);

}  // namespace vsp
