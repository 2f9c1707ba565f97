// Renders a Scene with a path tracer on Embree: diffuse and mirror surfaces, emitting
// triangles sampled directly, a constant environment. The same scene, settings and seed
// give the same picture whatever the number of threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "scene.h"

namespace preview {

struct RenderSettings {
    int width = 640;
    int height = 360;
    int samples = 16;  // per pixel
    uint32_t seed = 1;
    float exposure = 2;
    Vec3 environment{0.1f, 0.1f, 0.11f};  // radiance of the sky in every direction
    int threads = 0;                      // 0: one per core
};

// 8-bit sRGB, three bytes a pixel, rows from the top.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

struct RenderStats {
    double buildSeconds = 0;  // acceleration structure
    double traceSeconds = 0;  // all pixels
    uint64_t rays = 0;        // camera, bounce and shadow rays
};

struct RenderControl {
    // Called on the calling thread now and then with the fraction of pixels done.
    std::function<void(double)> progress;
    // Set from anywhere to stop early; render then throws RenderCancelled.
    const std::atomic<bool>* cancel = nullptr;
};

struct RenderCancelled : std::exception {
    const char* what() const noexcept override { return "render cancelled"; }
};

// Throws std::runtime_error when Embree fails or the settings are out of range.
Picture render(const Scene& scene, const RenderSettings& settings, RenderStats* stats = nullptr,
               const RenderControl& control = {});

}  // namespace preview
