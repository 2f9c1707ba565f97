// Writes a Picture as a PNG file.
#pragma once

#include <string>

#include "render.h"

namespace preview {

// Writes beside the target and renames, so the file is either whole or absent; throws
// std::runtime_error when it cannot be written.
void writePng(const Picture& picture, const std::string& path);

}  // namespace preview
