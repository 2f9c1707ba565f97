// Helpers of the picture tests: reading a PNG and averaging a region of it.
#pragma once

#include <stb_image.h>

#include <memory>
#include <string>
#include <vector>

#include "run_command.h"
#include "sandbox.h"

namespace picture_test {

struct Colour {
    double r = 0, g = 0, b = 0;
    double brightness() const { return (r + g + b) / 3; }
};

struct Image {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;

    // Mean colour (0 to 255) of the region between the fractions x0..x1, y0..y1 of the
    // picture's width and height, y from the top.
    Colour mean(double x0, double y0, double x1, double y1) const {
        Colour sum;
        int count = 0;
        for (int y = int(y0 * height); y < int(y1 * height); ++y)
            for (int x = int(x0 * width); x < int(x1 * width); ++x, ++count) {
                const unsigned char* p = &rgb[(size_t(y) * width + x) * 3];
                sum.r += p[0], sum.g += p[1], sum.b += p[2];
            }
        if (count > 0) sum.r /= count, sum.g /= count, sum.b /= count;
        return sum;
    }
};

// Empty (width 0) when the file cannot be read.
inline Image readPng(const std::string& path) {
    Image image;
    int channels = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> pixels(
        stbi_load(path.c_str(), &image.width, &image.height, &channels, 3), stbi_image_free);
    if (!pixels) return {};
    image.rgb.assign(pixels.get(), pixels.get() + size_t(image.width) * image.height * 3);
    return image;
}

}  // namespace picture_test
