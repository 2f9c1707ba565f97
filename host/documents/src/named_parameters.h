// The parameters that document files name in words, per element type.
#pragma once

#include "json_values.h"

namespace vantrel_host::document_file {

// Every object's (visibility, display colour).
extern const NamedParameters kObjectParameters;
extern const NamedParameters kLayerParameters;
extern const NamedParameters kTrackParameters;
// Those of one object, tag, material or shader type; none for other types.
const NamedParameters& ParametersOf(Int32 type);

}  // namespace vantrel_host::document_file
