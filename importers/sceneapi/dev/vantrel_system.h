// Finds an installed Vantrel renderer (executable folder, executable, resource folder)
// and starts it.
//
// Every path is taken under a root prefix: empty by default, the value of the
// environment variable VANTREL_ROOT when that is set. With VANTREL_ROOT=/tmp/sandbox the
// standard installation of version 8 is looked for in
// /tmp/sandbox/Applications/Vantrel8.app/Contents/MacOS/ and its resource folder is
// /tmp/sandbox/Library/Application Support/Vantrel8/, so tests and demos never touch
// the real system folders. Each operation reads the variable once when it starts.
#pragma once

#include <string>

class VantrelSystem {
public:
    static const VantrelSystem& instance();

    // Highest installed version in the range (standard installations first), or -1.
    int vantrel_version(int versionMin, int versionMax) const;
    // Executable folder of the chosen installation, or empty; sets version when found.
    // A floating installation of a higher version (5 to 20) wins over a standard one.
    std::string find_bin_path(int& version, int versionMin, int versionMax) const;
    // Full path of the executable to start, or empty.
    std::string find_binary_name(int versionMin, int versionMax) const;
    // Resource folder of the version vantrel_version(5, 20) finds, whatever the arguments;
    // ends in "/". Without an installation the version part reads -1.
    std::string find_resource_path(int versionMin, int versionMax) const;
    // Live-link ports a renderer may listen on: 3141 to 3151. Returns 0.
    int getDefaultPortRange(int& low, int& high, int versionMin, int versionMax) const;
    // Starts the renderer as an independent process. False when no installed executable
    // is found, the process cannot be created or the executable cannot be started.
    bool launch_vantrel(int versionMin, int versionMax) const;

private:
    VantrelSystem() = default;
};
