#include "vsp/Value.h"

#include <cmath>
#include <limits>
#include <mutex>

#include "vsp/Node.h"

namespace vsp {

struct Value::Widened {
    std::once_flag once;
    std::vector<double> numbers;
};

const char* toString(ValueKind kind) {
    switch (kind) {
        case ValueKind::Empty:
            return "empty";
        case ValueKind::Numbers:
            return "numbers";
        case ValueKind::Bool:
            return "bool";
        case ValueKind::Text:
            return "text";
        case ValueKind::Bytes:
            return "bytes";
        case ValueKind::Array:
            return "array";
        case ValueKind::Shader:
            return "shader";
        case ValueKind::ShaderId:
            return "shader_id";
    }
    return "?";
}

const char* toString(ElementKind kind) {
    switch (kind) {
        case ElementKind::Number:
            return "number";
        case ElementKind::Bool:
            return "bool";
        case ElementKind::Text:
            return "text";
        case ElementKind::Shader:
            return "shader";
    }
    return "?";
}

Value Value::ofNumbers(std::vector<double> numbers) {
    Value v;
    v.kind_ = ValueKind::Numbers;
    v.numbers_ = std::move(numbers);
    return v;
}

Value Value::ofBool(bool value) {
    Value v;
    v.kind_ = ValueKind::Bool;
    v.flag_ = value;
    return v;
}

Value Value::ofText(std::string text) {
    Value v;
    v.kind_ = ValueKind::Text;
    v.text_ = std::move(text);
    return v;
}

Value Value::ofBytes(std::string bytes) {
    Value v;
    v.kind_ = ValueKind::Bytes;
    v.text_ = std::move(bytes);
    return v;
}

Value Value::ofShader(std::shared_ptr<const Node> shader, bool subshader) {
    Value v;
    v.kind_ = ValueKind::Shader;
    v.subshader_ = subshader;
    v.shaders_.push_back(std::move(shader));
    return v;
}

Value Value::ofShaderId(int id, bool subshader) {
    Value v;
    v.kind_ = ValueKind::ShaderId;
    v.subshader_ = subshader;
    v.numbers_.push_back(id);
    return v;
}

Value Value::ofNumberArray(std::vector<double> numbers, size_t arity, ElementKind element,
                           char binaryLetter) {
    Value v;
    v.kind_ = ValueKind::Array;
    v.element_ = element;
    v.arity_ = arity == 0 ? 1 : arity;
    v.binaryLetter_ = binaryLetter;
    v.numbers_ = std::move(numbers);
    return v;
}

Value Value::ofFloatArray(std::vector<float> floats, size_t arity, char binaryLetter) {
    Value v = ofNumberArray({}, arity, ElementKind::Number, binaryLetter);
    v.floats_ = std::move(floats);
    v.widened_ = std::make_shared<Widened>();
    return v;
}

Value Value::ofIntArray(std::vector<int32_t> ints) {
    Value v = ofNumberArray({}, 1, ElementKind::Number, 'i');
    v.ints_ = std::move(ints);
    v.widened_ = std::make_shared<Widened>();
    return v;
}

Value Value::ofTextArray(std::vector<std::string> texts) {
    Value v;
    v.kind_ = ValueKind::Array;
    v.element_ = ElementKind::Text;
    v.texts_ = std::move(texts);
    return v;
}

Value Value::ofShaderArray(std::vector<std::shared_ptr<const Node>> shaders) {
    Value v;
    v.kind_ = ValueKind::Array;
    v.element_ = ElementKind::Shader;
    v.shaders_ = std::move(shaders);
    return v;
}

size_t Value::size() const {
    switch (kind_) {
        case ValueKind::Empty:
            return 0;
        case ValueKind::Numbers:
            return numbers_.size();
        case ValueKind::Array:
            switch (element_) {
                case ElementKind::Text:
                    return texts_.size();
                case ElementKind::Shader:
                    return shaders_.size();
                default:
                    return numberCount() / arity_;
            }
        default:
            return 1;
    }
}

void Value::mismatch(const char* wanted) const {
    throw QueryError(std::string("expected ") + wanted + ", found " + describe());
}

bool Value::isNumeric() const {
    return kind_ == ValueKind::Numbers ||
           (kind_ == ValueKind::Array &&
            (element_ == ElementKind::Number || element_ == ElementKind::Bool));
}

const std::vector<double>& Value::numbersOr(const char* wanted) const {
    if (!isNumeric()) mismatch(wanted);
    if (!widened_) return numbers_;
    // Safe for readers on several threads, as a const accessor should be.
    std::call_once(widened_->once, [this] {
        if (floats_.empty())
            widened_->numbers.assign(ints_.begin(), ints_.end());
        else
            widened_->numbers.assign(floats_.begin(), floats_.end());
    });
    return widened_->numbers;
}

size_t Value::numberCount() const {
    if (!isNumeric()) mismatch("numbers");
    return floats_.size() + ints_.size() + numbers_.size();  // only one is in use
}

double Value::numberAt(size_t index) const {
    if (index >= numberCount())
        mismatch(("at least " + std::to_string(index + 1) + " numbers").c_str());
    if (!floats_.empty()) return floats_[index];
    if (!ints_.empty()) return ints_[index];
    return numbers_[index];
}

const std::vector<float>& Value::floatArray() const {
    if (!widened_ || binaryLetter_ == 'i') mismatch("a binary float array");
    return floats_;
}

const std::vector<int32_t>& Value::intArray() const {
    if (!widened_ || binaryLetter_ != 'i') mismatch("a binary int array");
    return ints_;
}

double Value::number() const {
    if (kind_ != ValueKind::Numbers || numbers_.size() != 1) mismatch("one number");
    return numbers_[0];
}

static bool isIntegral(double x, double low, double high) {
    return std::isfinite(x) && std::floor(x) == x && x >= low && x <= high;
}

long long Value::integer() const {
    double x = number();
    // Ids and flags are unsigned 32-bit, ints signed: both fit.
    if (!isIntegral(x, -9.2e18, 9.2e18)) mismatch("an integer");
    return static_cast<long long>(x);
}

bool Value::boolean() const {
    if (kind_ != ValueKind::Bool) mismatch("on or off");
    return flag_;
}

const std::string& Value::text() const {
    if (kind_ != ValueKind::Text) mismatch("a text");
    return text_;
}

const std::string& Value::bytes() const {
    if (kind_ != ValueKind::Bytes) mismatch("a byte block");
    return text_;
}

const std::vector<double>& Value::numbers() const { return numbersOr("numbers"); }

std::vector<float> Value::floats() const {
    if (!isNumeric()) mismatch("numbers");
    if (!floats_.empty()) return floats_;
    if (!ints_.empty()) return std::vector<float>(ints_.begin(), ints_.end());
    return std::vector<float>(numbers_.begin(), numbers_.end());
}

std::vector<int> Value::ints() const {
    if (!isNumeric()) mismatch("integers");
    if (!ints_.empty()) return std::vector<int>(ints_.begin(), ints_.end());
    const auto& source = floats_.empty() ? numbers_ : numbersOr("integers");
    std::vector<int> result;
    result.reserve(source.size());
    for (double x : source) {
        if (!isIntegral(x, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()))
            mismatch("32-bit integers");
        result.push_back(static_cast<int>(x));
    }
    return result;
}

Matrix16 Value::matrix() const {
    const auto& source = numbersOr("a matrix");
    if (source.size() != 16) mismatch("a matrix of 16 numbers");
    Matrix16 m;
    std::copy(source.begin(), source.end(), m.begin());
    return m;
}

std::vector<Matrix16> Value::matrices() const {
    const auto& source = numbersOr("matrices");
    if (source.size() % 16 != 0) mismatch("matrices of 16 numbers");
    std::vector<Matrix16> result(source.size() / 16);
    for (size_t i = 0; i < result.size(); ++i)
        std::copy(source.begin() + 16 * i, source.begin() + 16 * (i + 1), result[i].begin());
    return result;
}

const std::vector<std::string>& Value::texts() const {
    if (kind_ != ValueKind::Array || element_ != ElementKind::Text) mismatch("an array of texts");
    return texts_;
}

const Node& Value::shader() const {
    if (kind_ != ValueKind::Shader) mismatch("a shader");
    return *shaders_[0];
}

std::vector<const Node*> Value::shaders() const {
    if (kind_ != ValueKind::Array || element_ != ElementKind::Shader)
        mismatch("an array of shaders");
    std::vector<const Node*> result;
    for (const auto& shader : shaders_) result.push_back(shader.get());
    return result;
}

int Value::shaderId() const {
    if (kind_ != ValueKind::ShaderId) mismatch("a shader id");
    return static_cast<int>(numbers_[0]);
}

std::string Value::describe() const {
    switch (kind_) {
        case ValueKind::Numbers:
            return std::to_string(numbers_.size()) + " number(s)";
        case ValueKind::Shader:
            return "shader \"" + shaders_[0]->name + "\"";
        case ValueKind::Array: {
            std::string text = "array of " + std::to_string(size()) + " " + toString(element_);
            if (arity_ > 1) text += " x" + std::to_string(arity_);
            if (binaryLetter_ != 0) text += std::string(" (binary ") + binaryLetter_ + ")";
            return text;
        }
        default:
            return toString(kind_);
    }
}

}  // namespace vsp
