// Collects the elements of one bracketed array and checks that they all have the same
// kind and size, as the writer produces them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vsp/Node.h"

namespace vsp::detail {

class ArrayBuilder {
public:
    // `numbers` holds whole elements of `arity` numbers each; `letter` is the binary
    // block's type letter, 0 for text. `offset` locates the element for errors.
    void addNumbers(size_t offset, const std::vector<double>& numbers, size_t arity,
                    ElementKind kind, char letter);
    // Where a binary block's elements go, appended: floats for 'f' and 'c', ints for 'i',
    // doubles for 'r'. The reference holds until the next call.
    std::vector<float>& binaryFloats(size_t offset, char letter);
    std::vector<int32_t>& binaryInts(size_t offset);
    std::vector<double>& binaryDoubles(size_t offset);
    void addText(size_t offset, std::string text);
    void addShader(size_t offset, std::shared_ptr<const Node> shader);
    Value finish();

private:
    void expect(size_t offset, ElementKind kind, size_t arity, char letter);

    bool started_ = false;
    ElementKind kind_ = ElementKind::Number;
    size_t arity_ = 1;
    char letter_ = 0;
    std::vector<double> numbers_;
    std::vector<float> floats_;
    std::vector<int32_t> ints_;
    std::vector<std::string> texts_;
    std::vector<std::shared_ptr<const Node>> shaders_;
};

}  // namespace vsp::detail
