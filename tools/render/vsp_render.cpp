// vsp-render: renders a scene file into a PNG picture with the preview renderer.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "picture_file.h"
#include "render.h"
#include "scene.h"
#include "vsp/Reader.h"

namespace {

constexpr const char* kUsage =
    "usage: vsp-render SCENE.vsp --out PICTURE.png [--width W] [--height H] [--samples N]\n"
    "                  [--seed S]\n"
    "  Renders the scene file SCENE.vsp (\"-\" for standard input) into PICTURE.png.\n"
    "  Defaults: 640 x 360 pixels, 16 samples per pixel, seed 1.\n";

bool parseCount(const char* text, long low, long high, long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return *text != '\0' && *end == '\0' && errno == 0 && value >= low && value <= high;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return path == "-" || slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// A percentage line on standard error for renders that take more than a second.
class Progress {
public:
    void operator()(double fraction) {
        if (std::chrono::steady_clock::now() - start_ < std::chrono::seconds(1)) return;
        const int percent = static_cast<int>(fraction * 100);
        if (percent / 10 == shown_ / 10 && shown_ >= 0) return;
        shown_ = percent;
        std::fprintf(stderr, "vsp-render: %d%% done\n", percent);
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    int shown_ = -1;
};

}  // namespace

int main(int argc, char** argv) {
    const char* scenePath = nullptr;
    const char* outPath = nullptr;
    preview::RenderSettings settings;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        long value = 0;
        const bool hasValue = i + 1 < argc;
        if (option == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (option == "--out" && hasValue) {
            outPath = argv[++i];
        } else if (option == "--width" && hasValue && parseCount(argv[++i], 1, 16384, value)) {
            settings.width = static_cast<int>(value);
        } else if (option == "--height" && hasValue && parseCount(argv[++i], 1, 16384, value)) {
            settings.height = static_cast<int>(value);
        } else if (option == "--samples" && hasValue && parseCount(argv[++i], 1, 1 << 20, value)) {
            settings.samples = static_cast<int>(value);
        } else if (option == "--seed" && hasValue && parseCount(argv[++i], 0, 0xffffffffL, value)) {
            settings.seed = static_cast<uint32_t>(value);
        } else if (!scenePath && (option[0] != '-' || option == "-")) {
            scenePath = argv[i];
        } else {
            std::cerr << "vsp-render: bad argument " << argv[i] << "\n" << kUsage;
            return 2;
        }
    }
    if (!scenePath || !outPath) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        const vsp::Node root = vsp::parseFile(scenePath);
        const preview::Scene scene = preview::sceneFromTree(root, folderOf(scenePath));
        for (const std::string& warning : scene.warnings)
            std::cerr << "vsp-render: " << scenePath << ": " << warning << '\n';
        Progress progress;
        preview::RenderStats stats;
        const preview::Picture picture =
            preview::render(scene, settings, &stats, {std::ref(progress), nullptr});
        preview::writePng(picture, outPath);
        std::printf("vsp-render: wrote %s (%dx%d, %d samples, %.2f s)\n", outPath, picture.width,
                    picture.height, settings.samples, stats.buildSeconds + stats.traceSeconds);
    } catch (const std::exception& error) {
        std::cerr << "vsp-render: " << scenePath << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}
