#include "vsp/Dump.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace vsp {

namespace {

// Array elements shown before the rest is summarised by its size.
constexpr size_t kShownElements = 6;
constexpr size_t kShownBytes = 32;

std::string formatNumber(double x) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, x);
    return std::string(buffer, result.ptr);
}

std::string quote(const std::string& text) {
    static const char digits[] = "0123456789abcdef";
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7f) {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        } else {
            out += static_cast<char>(c);  // UTF-8 passes through
        }
    }
    return out + "\"";
}

// Parameter names as they are when plainly printable, else quoted with escapes.
std::string name(const std::string& text) {
    bool plain = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && c != 0x7f && c != '"';
    });
    return plain ? text : quote(text);
}

class TreePrinter {
public:
    explicit TreePrinter(std::ostream& out) : out_(out) {}

    void node(const Node& node, int depth) {
        indent(depth);
        header(node, depth);
    }

private:
    // The node's line from where the cursor stands, then its body one level deeper.
    void header(const Node& node, int depth) {
        if (node.definition) out_ << "#define ";
        if (node.modification) out_ << "#modify ";
        out_ << toString(node.kind);
        for (const auto& label : node.labels) out_ << ' ' << quote(label);
        out_ << "  @" << node.offset << '\n';
        body(node, depth + 1);
    }

    // Statements, parameters and children interleaved as they stand in the file.
    void body(const Node& node, int depth) {
        enum Type { kStatement, kParameter, kChild };
        struct Item {
            size_t offset;
            Type type;
            size_t index;
        };
        std::vector<Item> items;
        for (size_t i = 0; i < node.statements.size(); ++i)
            items.push_back({node.statements[i].offset, kStatement, i});
        for (size_t i = 0; i < node.parameters.size(); ++i)
            items.push_back({node.parameters[i].offset, kParameter, i});
        for (size_t i = 0; i < node.children.size(); ++i)
            items.push_back({node.children[i].offset, kChild, i});
        std::stable_sort(items.begin(), items.end(),
                         [](const Item& a, const Item& b) { return a.offset < b.offset; });
        for (const Item& item : items) {
            if (item.type == kStatement) statement(node.statements[item.index], depth);
            if (item.type == kParameter) parameter(node.parameters[item.index], depth);
            if (item.type == kChild) this->node(node.children[item.index], depth);
        }
    }

    void statement(const Statement& statement, int depth) {
        indent(depth);
        out_ << statement.keyword;
        if (statement.keyword == "//") {
            out_ << statement.args[0].text() << '\n';
            return;
        }
        for (const auto& arg : statement.args) {
            out_ << ' ';
            inlineValue(arg);
        }
        out_ << '\n';
    }

    void parameter(const Parameter& parameter, int depth) {
        indent(depth);
        out_ << name(parameter.name) << " = ";
        const Value& value = parameter.value;
        if (value.kind() == ValueKind::Shader) {
            if (value.isSubshader()) out_ << "! ";
            header(value.shader(), depth);
            return;
        }
        inlineValue(value);
        out_ << '\n';
        if (value.kind() == ValueKind::Array && value.elementKind() == ElementKind::Shader)
            for (const Node* shader : value.shaders()) node(*shader, depth + 1);
    }

    // Everything but a shader fits on the current line.
    void inlineValue(const Value& value) {
        switch (value.kind()) {
            case ValueKind::Empty:
                out_ << "(empty)";
                break;
            case ValueKind::Numbers:
                numbers(value, 0, value.numberCount());
                break;
            case ValueKind::Bool:
                out_ << (value.boolean() ? "on" : "off");
                break;
            case ValueKind::Text:
                out_ << quote(value.text());
                break;
            case ValueKind::Bytes:
                bytes(value.bytes());
                break;
            case ValueKind::ShaderId:
                out_ << (value.isSubshader() ? "! " : "shader ") << value.shaderId();
                break;
            case ValueKind::Shader:
                out_ << "shader " << quote(value.shader().name);
                break;
            case ValueKind::Array:
                array(value);
                break;
        }
    }

    void array(const Value& value) {
        out_ << '[' << value.describe() << ']';
        size_t shown = std::min(value.size(), kShownElements);
        if (value.elementKind() == ElementKind::Shader) return;  // printed as nested nodes
        for (size_t i = 0; i < shown; ++i) {
            out_ << (i == 0 ? " " : ", ");
            if (value.elementKind() == ElementKind::Text)
                out_ << quote(value.texts()[i]);
            else
                numbers(value, i * value.arity(), value.arity());
        }
        if (shown < value.size()) out_ << ", ...";
    }

    void numbers(const Value& value, size_t first, size_t count) {
        for (size_t i = 0; i < count; ++i)
            out_ << (i ? " " : "") << formatNumber(value.numberAt(first + i));
    }

    void bytes(const std::string& data) {
        static const char digits[] = "0123456789abcdef";
        out_ << "bytes(" << data.size() << ") ";
        for (size_t i = 0; i < std::min(data.size(), kShownBytes); ++i) {
            unsigned char c = static_cast<unsigned char>(data[i]);
            out_ << digits[c >> 4] << digits[c & 15];
        }
        if (data.size() > kShownBytes) out_ << "...";
    }

    void indent(int depth) { out_ << std::string(2 * static_cast<size_t>(depth), ' '); }

    std::ostream& out_;
};

}  // namespace

void printTree(std::ostream& out, const Node& root) { TreePrinter(out).node(root, 0); }

}  // namespace vsp
