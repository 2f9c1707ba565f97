#include "tree_arrays.h"

#include <stdexcept>

#include "vsp/Value.h"

namespace preview {

std::vector<Vec3> vectorsOf(const vsp::Value& value) {
    const std::vector<float> numbers = value.floats();
    if (numbers.size() % 3 != 0)
        throw std::runtime_error("expected groups of three numbers, got " + value.describe());
    std::vector<Vec3> vectors(numbers.size() / 3);
    for (size_t i = 0; i < vectors.size(); ++i)
        vectors[i] = {numbers[3 * i], numbers[3 * i + 1], numbers[3 * i + 2]};
    return vectors;
}

std::vector<float> floatsOf(const vsp::Value& value) { return value.floats(); }

std::vector<uint32_t> indicesOf(const vsp::Value& value) {
    const std::vector<int> numbers = value.ints();
    std::vector<uint32_t> indices(numbers.size());
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (numbers[i] < 0) throw std::runtime_error("negative index in " + value.describe());
        indices[i] = static_cast<uint32_t>(numbers[i]);
    }
    return indices;
}

}  // namespace preview
