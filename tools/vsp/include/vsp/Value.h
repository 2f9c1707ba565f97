// A parameter's value as read from a scene file, with typed accessors that throw
// QueryError when the value is not what the caller asked for.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace vsp {

struct Node;

// A lookup or typed access that does not match the tree (missing node or parameter,
// value of another kind).
class QueryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class ValueKind {
    Empty,     // the writer wrote nothing between name and terminator
    Numbers,   // one or more numbers on one line: scalar, colour, vector, matrix
    Bool,      // on / off
    Text,      // quoted or hex-encoded text, decoded
    Bytes,     // "bX..." byte block, decoded
    Array,     // "[ ... ]", text elements or binary blocks
    Shader,    // an embedded captured shader: a node of kind Shader
    ShaderId,  // a numbered shader ("! 5", "surface 5")
};

// What the elements of an Array are.
enum class ElementKind { Number, Bool, Text, Shader };

const char* toString(ValueKind kind);
const char* toString(ElementKind kind);

using Matrix16 = std::array<double, 16>;

class Value {
public:
    Value() = default;
    static Value ofNumbers(std::vector<double> numbers);
    static Value ofBool(bool value);
    static Value ofText(std::string text);
    static Value ofBytes(std::string bytes);
    static Value ofShader(std::shared_ptr<const Node> shader, bool subshader);
    static Value ofShaderId(int id, bool subshader);
    // Numbers (or on/off as 1/0) of `arity` numbers per element; `binaryLetter` is the
    // binary block's type letter ('c', 'f', 'r', 'i') or 0 for text.
    static Value ofNumberArray(std::vector<double> numbers, size_t arity, ElementKind element,
                               char binaryLetter);
    // Binary float ('f', 'c') and int ('i') blocks, kept as they were written.
    static Value ofFloatArray(std::vector<float> floats, size_t arity, char binaryLetter);
    static Value ofIntArray(std::vector<int32_t> ints);
    static Value ofTextArray(std::vector<std::string> texts);
    static Value ofShaderArray(std::vector<std::shared_ptr<const Node>> shaders);

    ValueKind kind() const { return kind_; }
    ElementKind elementKind() const { return element_; }
    size_t arity() const { return arity_; }
    char binaryLetter() const { return binaryLetter_; }
    // Written after "!": a subshader rather than a plain shader parameter.
    bool isSubshader() const { return subshader_; }
    // Elements of an array, numbers of a Numbers value, 0 for Empty, else 1.
    size_t size() const;

    double number() const;  // exactly one number
    long long integer() const;
    bool boolean() const;
    const std::string& text() const;
    const std::string& bytes() const;
    // Numbers of a Numbers value or of a number/on-off array, flat. Binary float and int
    // arrays are widened to double on the first call; prefer numberAt, floatArray or
    // intArray for large arrays.
    const std::vector<double>& numbers() const;
    size_t numberCount() const;           // as numbers().size(), without widening
    double numberAt(size_t index) const;  // as numbers().at(index), without widening
    // The elements of a binary float ('f', 'c') or int ('i') array as read, without a copy.
    const std::vector<float>& floatArray() const;
    const std::vector<int32_t>& intArray() const;
    std::vector<float> floats() const;
    std::vector<int> ints() const;  // every number must be a 32-bit integer
    Matrix16 matrix() const;        // exactly 16 numbers
    std::vector<Matrix16> matrices() const;
    const std::vector<std::string>& texts() const;
    const Node& shader() const;
    std::vector<const Node*> shaders() const;
    int shaderId() const;

    // Short description for messages, e.g. "array of 8 numbers x3 (binary c)".
    std::string describe() const;

private:
    struct Widened;

    [[noreturn]] void mismatch(const char* wanted) const;
    bool isNumeric() const;
    const std::vector<double>& numbersOr(const char* wanted) const;

    ValueKind kind_ = ValueKind::Empty;
    ElementKind element_ = ElementKind::Number;
    size_t arity_ = 1;
    char binaryLetter_ = 0;
    bool subshader_ = false;
    bool flag_ = false;
    std::vector<double> numbers_;
    std::vector<float> floats_;
    std::vector<int32_t> ints_;
    // numbers() of a float or int array, made once, shared by copies.
    std::shared_ptr<Widened> widened_;
    std::string text_;
    std::vector<std::string> texts_;
    std::vector<std::shared_ptr<const Node>> shaders_;
};

}  // namespace vsp
