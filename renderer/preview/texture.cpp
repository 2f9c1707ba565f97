#include "texture.h"

#include <stb_image.h>

#include <cmath>
#include <memory>
#include <stdexcept>

namespace preview {
namespace {

float linearFromSrgb(unsigned char value) {
    const float c = value / 255.0f;
    return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
}

int wrapIndex(int i, int size) {
    const int m = i % size;
    return m < 0 ? m + size : m;
}

}  // namespace

Texture Texture::load(const std::string& path) {
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> pixels(
        stbi_load(path.c_str(), &width, &height, &channels, 3), stbi_image_free);
    if (!pixels) throw std::runtime_error(path + ": " + stbi_failure_reason());
    Texture texture;
    texture.width_ = width;
    texture.height_ = height;
    texture.texels_.resize(static_cast<size_t>(width) * height);
    const unsigned char* p = pixels.get();
    for (Vec3& texel : texture.texels_) {
        texel = {linearFromSrgb(p[0]), linearFromSrgb(p[1]), linearFromSrgb(p[2])};
        p += 3;
    }
    return texture;
}

Vec3 Texture::texel(int x, int y) const {
    return texels_[static_cast<size_t>(wrapIndex(y, height_)) * width_ + wrapIndex(x, width_)];
}

Vec3 Texture::sample(float u, float v) const {
    const float x = u * width_ - 0.5f, y = v * height_ - 0.5f;
    const float fx = std::floor(x), fy = std::floor(y);
    const float tx = x - fx, ty = y - fy;
    // Far outside the picture the float loses its integer part; any texel will do there.
    const int ix = std::isfinite(fx) && std::fabs(fx) < 1e8f ? static_cast<int>(fx) : 0;
    const int iy = std::isfinite(fy) && std::fabs(fy) < 1e8f ? static_cast<int>(fy) : 0;
    const Vec3 top = texel(ix, iy) * (1 - tx) + texel(ix + 1, iy) * tx;
    const Vec3 bottom = texel(ix, iy + 1) * (1 - tx) + texel(ix + 1, iy + 1) * tx;
    return top * (1 - ty) + bottom * ty;
}

}  // namespace preview
