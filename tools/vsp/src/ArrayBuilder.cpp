#include "ArrayBuilder.h"

#include "vsp/Reader.h"

namespace vsp::detail {

namespace {

std::string shape(ElementKind kind, size_t arity, char letter) {
    std::string text = toString(kind);
    if (arity > 1) text += " x" + std::to_string(arity);
    if (letter != 0) text += std::string(" (binary ") + letter + ")";
    return text;
}

}  // namespace

void ArrayBuilder::expect(size_t offset, ElementKind kind, size_t arity, char letter) {
    if (!started_) {
        started_ = true;
        kind_ = kind;
        arity_ = arity;
        letter_ = letter;
        return;
    }
    if (kind != kind_ || arity != arity_ || letter != letter_)
        throw ParseError(offset, "array element of " + shape(kind, arity, letter) +
                                     " follows elements of " + shape(kind_, arity_, letter_));
}

void ArrayBuilder::addNumbers(size_t offset, const std::vector<double>& numbers, size_t arity,
                              ElementKind kind, char letter) {
    expect(offset, kind, arity, letter);
    numbers_.insert(numbers_.end(), numbers.begin(), numbers.end());
}

std::vector<float>& ArrayBuilder::binaryFloats(size_t offset, char letter) {
    expect(offset, ElementKind::Number, letter == 'c' ? 3 : 1, letter);
    return floats_;
}

std::vector<int32_t>& ArrayBuilder::binaryInts(size_t offset) {
    expect(offset, ElementKind::Number, 1, 'i');
    return ints_;
}

std::vector<double>& ArrayBuilder::binaryDoubles(size_t offset) {
    expect(offset, ElementKind::Number, 1, 'r');
    return numbers_;
}

void ArrayBuilder::addText(size_t offset, std::string text) {
    expect(offset, ElementKind::Text, 1, 0);
    texts_.push_back(std::move(text));
}

void ArrayBuilder::addShader(size_t offset, std::shared_ptr<const Node> shader) {
    expect(offset, ElementKind::Shader, 1, 0);
    shaders_.push_back(std::move(shader));
}

Value ArrayBuilder::finish() {
    switch (kind_) {
        case ElementKind::Text:
            return Value::ofTextArray(std::move(texts_));
        case ElementKind::Shader:
            return Value::ofShaderArray(std::move(shaders_));
        default:
            if (letter_ == 'f' || letter_ == 'c')
                return Value::ofFloatArray(std::move(floats_), arity_, letter_);
            if (letter_ == 'i') return Value::ofIntArray(std::move(ints_));
            return Value::ofNumberArray(std::move(numbers_), arity_, kind_, letter_);
    }
}

}  // namespace vsp::detail
