// What the benchmarks share: the large polygon document of the export benchmarks, the
// median, and the peak memory of a measured part.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "vantrel_host/document_builder.h"
#include "vantrel_host/host_services.h"

// Flushes a written file to disk and removes it, so that every timed write starts
// from the same state: no dirty pages of earlier writes, no old file to truncate.
inline void settle(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0 || fsync(fd) != 0) throw std::runtime_error("cannot flush " + path);
    close(fd);
    std::remove(path.c_str());
}

// Keeps the export's success line out of the benchmark's table; dialogs, which tell of
// failures, still show.
inline void ShowDialogsOnly() {
    vantrel_host::SetMessageSink([](vantrel_host::MessageKind kind, const std::string& text) {
        if (kind == vantrel_host::MessageKind::Dialog)
            std::fprintf(stderr, "Message: %s\n", text.c_str());
    });
}

// A side x side grid of quads with one UVW record per quad and a phong tag.
struct GridDocument {
    BaseDocument* doc = BaseDocument::Alloc();
    PolygonObject* object = nullptr;

    explicit GridDocument(int side) {
        std::vector<Vector> points;
        std::vector<CPolygon> polygons;
        std::vector<UVWStruct> uvws;
        points.reserve(size_t(side + 1) * (side + 1));
        for (int y = 0; y <= side; ++y)
            for (int x = 0; x <= side; ++x) points.emplace_back(x, 0.01 * ((x * y) % 7), y);
        polygons.reserve(size_t(side) * side);
        uvws.reserve(size_t(side) * side);
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const Int32 a = y * (side + 1) + x;
                polygons.emplace_back(a, a + 1, a + side + 2, a + side + 1);
                const double u = double(x) / side, v = double(y) / side, d = 1.0 / side;
                uvws.push_back({{u, v, 0}, {u + d, v, 0}, {u + d, v + d, 0}, {u, v + d, 0}});
            }
        }
        object = vantrel_host::AddPolygonObject(*doc, "Grid", points, polygons);
        vantrel_host::AddUVWTag(*object, uvws);
        vantrel_host::AddTag(*object, Tphong, "Phong");
    }
    ~GridDocument() { BaseDocument::Free(doc); }
    GridDocument(const GridDocument&) = delete;
    GridDocument& operator=(const GridDocument&) = delete;
};

// The middle of the measured times: this machine's writes now and then stall for
// reasons of its own, which a mean would charge to whichever side they hit.
inline double median(std::vector<double> seconds) {
    std::sort(seconds.begin(), seconds.end());
    const size_t n = seconds.size();
    return n % 2 ? seconds[n / 2] : (seconds[n / 2 - 1] + seconds[n / 2]) / 2;
}

// Peak memory of a measured part: call resetPeakMemory() before it and memoryMiB("VmHWM")
// after. Where the system does not allow the reset, the peak is the process's whole life.
// process is "self" or the id of a process of ours.
inline void resetPeakMemory(const std::string& process = "self") {
    std::ofstream clear("/proc/" + process + "/clear_refs");
    clear << "5";
}

// A figure of /proc/PROCESS/status in MiB: "VmHWM" the peak, "VmRSS" the memory held now.
inline double memoryMiB(const std::string& field, const std::string& process = "self") {
    std::ifstream status("/proc/" + process + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0) return std::stod(line.substr(field.size() + 1)) / 1024;
    throw std::runtime_error("no " + field + " in /proc/" + process + "/status");
}
