// Small file-system and timing helpers of the renderer link.
#pragma once

#include <cstdint>
#include <string>

namespace tav_sys {

// True when path names an existing directory.
bool directoryExists(const std::string& path);

// Size in bytes of the file at path; 0 when it cannot be opened or measured.
int64_t fileSize(const std::string& path);

// a, one "/", then b; the slash is added even when a already ends with one.
std::string joinPath(const std::string& a, const std::string& b);

void sleep(int milliseconds);

}  // namespace tav_sys
