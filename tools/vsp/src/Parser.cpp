#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

#include "ArrayBuilder.h"
#include "Cursor.h"
#include "InputFile.h"
#include "vsp/Reader.h"

namespace vsp {

ParseError::ParseError(size_t offset, const std::string& message)
    : std::runtime_error("offset " + std::to_string(offset) + ": " + message), offset_(offset) {}

namespace detail {
namespace {

// Documents nest objects at most 256 levels deep, a few more blocks (object, geometry,
// material, shaders) below that; this leaves ample room above them while the recursive
// reading and the tree's recursive users stay within a few MB of stack even in
// sanitizer builds.
constexpr int kMaxDepth = 1000;

struct BlockKeyword {
    std::string_view word;
    NodeKind kind;
};

// "matrix" and "shader" open blocks only after "#define".
constexpr BlockKeyword kBlockKeywords[] = {
    {"group", NodeKind::Group},       {"object", NodeKind::Object},
    {"geometry", NodeKind::Geometry}, {"animation", NodeKind::Animation},
    {"load", NodeKind::Module},       {"options", NodeKind::Options},
    {"camera", NodeKind::Camera},     {"image", NodeKind::Image},
    {"output", NodeKind::Output},     {"light", NodeKind::Light},
    {"accel", NodeKind::Accel},       {"frame", NodeKind::Frame},
    {"motion", NodeKind::Motion},     {"material", NodeKind::Material},
    {"matrix", NodeKind::Matrix},     {"shader", NodeKind::Shader},
};

// One-line statements: their texts come first, then a fixed count of numbers.
struct StatementShape {
    std::string_view keyword;
    int texts;
    int numbers;
};

constexpr StatementShape kStatements[] = {
    {"version", 0, 1},   {"id", 0, 1},         {"flags", 0, 1},  {"progress", 1, 1},
    {"attribute", 2, 0}, {"transform", 0, 16}, {"scale", 0, 3},  {"rotate", 0, 3},
    {"translate", 0, 3}, {"instance", 1, 0},   {"render", 0, 0},
};

constexpr StatementShape kSetTransform = {"set transform", 0, 16};

const NodeKind* blockKind(std::string_view word) {
    for (const auto& keyword : kBlockKeywords)
        if (keyword.word == word) return &keyword.kind;
    return nullptr;
}

bool isMaterialSlot(std::string_view name) {
    return name == "surface" || name == "shadow" || name == "volume" || name == "reflection map";
}

// Shader ids are written with "%d".
std::optional<int> asShaderId(double x) {
    bool integral = std::floor(x) == x && x >= std::numeric_limits<int>::min() &&
                    x <= std::numeric_limits<int>::max();
    return integral ? std::optional<int>(static_cast<int>(x)) : std::nullopt;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

struct Span {
    size_t begin;
    size_t end;
};

std::vector<Span> blankSeparatedWords(std::string_view line) {
    std::vector<Span> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        size_t begin = i;
        while (i < line.size() && !isBlank(line[i])) ++i;
        if (i > begin) words.push_back({begin, i});
    }
    return words;
}

class Parser {
public:
    explicit Parser(std::string_view bytes, ProgressFn progress = {})
        : in_(bytes, std::move(progress)) {}

    Node document() {
        Node root;
        parseBody(root, false);
        return root;
    }

private:
    void parseBody(Node& node, bool closedByBrace);
    // Lines that open no block are parsed out of line ([[gnu::noinline]]), so that
    // every level of block nesting costs the stack only the little that opening takes.
    void parseLine(Node& node);
    [[gnu::noinline]] void parseComment(Node& node, size_t start);
    [[gnu::noinline]] void parsePrint(Node& node, std::string keyword, size_t start);
    void parseDirective(Node& node, size_t start);
    void parseWordLine(Node& node, size_t start);
    Node parseBlock(NodeKind kind, size_t start, bool definition, bool modification);
    void parseMaterial(Node& parent, size_t start);
    bool readLabels(Node& node);
    void readNumberedShaderLabels(Node& node);
    void parseBlockBody(Node& node);
    [[gnu::noinline]] void parseStatement(Node& node, const StatementShape& shape, size_t start);
    [[gnu::noinline]] void parseQuotedParameter(Node& node, size_t start);
    [[gnu::noinline]] void parseBareParameter(Node& node, size_t start);
    Value parseValue();
    Value parseArray();
    std::shared_ptr<const Node> parseShader(std::string kind, size_t start);
    void finishItem();

    Cursor in_;
    int depth_ = 0;
    // Mirrors the writer's parameter style: bare names are parameters only where the
    // writer writes statement style, so stray words elsewhere are reported.
    bool statementStyle_ = false;
};

void Parser::parseBody(Node& node, bool closedByBrace) {
    for (;;) {
        in_.skipSpace();
        if (in_.atEnd()) {
            if (!closedByBrace) return;
            in_.fail(node.describe() + " is not closed");
        }
        if (in_.peek() == '}') {
            if (!closedByBrace) in_.fail("'}' without an open block");
            in_.advance();
            return;
        }
        in_.reportProgress();
        parseLine(node);
    }
}

void Parser::parseLine(Node& node) {
    size_t start = in_.offset();
    if (in_.startsWith("//")) {
        parseComment(node, start);
    } else if (in_.atText()) {
        parseQuotedParameter(node, start);
    } else if (in_.peek() == '#') {
        parseDirective(node, start);
    } else {
        parseWordLine(node, start);
    }
}

void Parser::parseComment(Node& node, size_t start) {
    in_.advance(2);
    std::string_view text = in_.restOfLine();
    in_.advance(text.size() + 1);
    node.statements.push_back({"//", {Value::ofText(std::string(text))}, start});
}

void Parser::parsePrint(Node& node, std::string keyword, size_t start) {
    in_.advance(keyword.size() + 2);
    node.statements.push_back(
        {std::move(keyword), {Value::ofText(in_.readToClosingQuote())}, start});
}

void Parser::parseDirective(Node& node, size_t start) {
    for (const char* keyword : {"#print", "#error"})
        if (in_.startsWith(std::string(keyword) + " \"")) return parsePrint(node, keyword, start);
    bool definition = in_.startsWith("#define");
    if (!definition && !in_.startsWith("#modify")) in_.fail("unknown directive");
    in_.advance(7);
    // "#modify " is followed by everything camera_begin writes, which starts a new line.
    definition ? in_.skipBlanks() : in_.skipSpace();
    size_t wordOffset = in_.offset();
    std::string word = in_.readWord();
    const NodeKind* kind = blockKind(word);
    bool allowed =
        kind && (definition ? *kind == NodeKind::Group || *kind == NodeKind::Object ||
                                  *kind == NodeKind::Geometry || *kind == NodeKind::Material ||
                                  *kind == NodeKind::Matrix || *kind == NodeKind::Shader
                            : *kind == NodeKind::Camera || *kind == NodeKind::Material);
    if (!allowed)
        throw ParseError(wordOffset,
                         "\"" + word + "\" cannot follow " + (definition ? "#define" : "#modify"));
    node.children.push_back(parseBlock(*kind, start, definition, !definition));
}

void Parser::parseWordLine(Node& node, size_t start) {
    std::string word = in_.readWord();
    if (const NodeKind* kind = blockKind(word)) {
        if (*kind == NodeKind::Material) return parseMaterial(node, start);
        if (*kind != NodeKind::Matrix && *kind != NodeKind::Shader) {
            node.children.push_back(parseBlock(*kind, start, false, false));
            return;
        }
    }
    for (const auto& shape : kStatements)
        if (shape.keyword == word) return parseStatement(node, shape, start);
    if (word == "set") {
        in_.skipBlanks();
        if (in_.startsWith("transform")) {
            in_.advance(9);
            return parseStatement(node, kSetTransform, start);
        }
    }
    in_.seek(start);
    parseBareParameter(node, start);
}

Node Parser::parseBlock(NodeKind kind, size_t start, bool definition, bool modification) {
    Node node;
    node.kind = kind;
    node.offset = start;
    node.definition = definition;
    node.modification = modification;
    in_.skipBlanks();
    if (kind == NodeKind::Shader && definition && !in_.atText()) {
        readNumberedShaderLabels(node);
    } else if (!readLabels(node)) {
        in_.fail(std::string("expected '{' to open ") + toString(kind) + ", found " +
                 in_.describeCurrent());
    }
    if (!node.labels.empty()) node.name = node.labels.front();
    parseBlockBody(node);
    return node;
}

void Parser::parseMaterial(Node& parent, size_t start) {
    Node material;
    material.kind = NodeKind::Material;
    material.offset = start;
    if (readLabels(material)) {
        if (!material.labels.empty()) material.name = material.labels.front();
        parseBlockBody(material);
        parent.children.push_back(std::move(material));
        return;
    }
    // "material NAME" on its own line assigns a material by name.
    if (material.labels.size() != 1) in_.fail("expected '{' or one material name");
    in_.finishLine();
    parent.statements.push_back({"material", {Value::ofText(material.labels[0])}, start});
}

bool Parser::readLabels(Node& node) {
    for (;;) {
        in_.skipBlanks();
        if (in_.peek() == '{') {
            in_.advance();
            return true;
        }
        if (in_.atLineEnd()) return false;
        node.labels.push_back(in_.atText() ? in_.readText() : in_.readWord());
    }
}

// "#define shader ID NAME {": the shader name is written as it is, spaces included.
void Parser::readNumberedShaderLabels(Node& node) {
    std::string_view line = in_.restOfLine();
    size_t brace = line.rfind('{');
    std::vector<Span> words = blankSeparatedWords(line.substr(0, brace));
    if (brace == std::string_view::npos || words.size() < 2 ||
        !Cursor::isNumberWord(line.substr(words[0].begin, words[0].end - words[0].begin)))
        in_.fail("expected a shader id, a name and '{'");
    node.labels.emplace_back(line.substr(words[0].begin, words[0].end - words[0].begin));
    node.labels.emplace_back(line.substr(words[1].begin, words.back().end - words[1].begin));
    in_.advance(brace + 1);
}

void Parser::parseBlockBody(Node& node) {
    if (++depth_ > kMaxDepth)
        throw ParseError(node.offset,
                         "blocks are nested more than " + std::to_string(kMaxDepth) + " deep");
    in_.finishLine();  // every opening brace ends its line
    // Which blocks push, set and reset the parameter style follows the writer exactly.
    bool saved = statementStyle_;
    bool restore = false;
    switch (node.kind) {
        case NodeKind::Group:
        case NodeKind::Object:
            restore = true;
            statementStyle_ = true;
            break;
        case NodeKind::Geometry:
        case NodeKind::Animation:
        case NodeKind::Accel:
        case NodeKind::Shader:
            restore = true;
            statementStyle_ = false;
            break;
        case NodeKind::Options:
        case NodeKind::Camera:
        case NodeKind::Image:
            statementStyle_ = true;
            break;
        case NodeKind::Output:
            statementStyle_ = false;
            break;
        default:
            break;
    }
    parseBody(node, true);
    if (restore)
        statementStyle_ = saved;
    else if (node.kind == NodeKind::Options || node.kind == NodeKind::Camera ||
             node.kind == NodeKind::Image)
        statementStyle_ = false;
    else if (node.kind == NodeKind::Output)
        statementStyle_ = true;
    --depth_;
}

void Parser::parseStatement(Node& node, const StatementShape& shape, size_t start) {
    Statement statement{std::string(shape.keyword), {}, start};
    for (int i = 0; i < shape.texts; ++i) {
        in_.skipBlanks();
        if (!in_.atText())
            in_.fail(statement.keyword + " expects a text, found " + in_.describeCurrent());
        statement.args.push_back(Value::ofText(in_.readText()));
    }
    if (shape.numbers > 0) {
        std::vector<double> numbers = in_.readNumbers();
        if (numbers.size() != static_cast<size_t>(shape.numbers))
            in_.fail(statement.keyword + " expects " + std::to_string(shape.numbers) +
                     " number(s), found " + std::to_string(numbers.size()));
        statement.args.push_back(Value::ofNumbers(std::move(numbers)));
    }
    in_.finishLine();
    node.statements.push_back(std::move(statement));
}

void Parser::parseQuotedParameter(Node& node, size_t start) {
    Parameter parameter;
    parameter.offset = start;
    parameter.name = in_.readText();
    parameter.value = parseValue();
    finishItem();
    node.parameters.push_back(std::move(parameter));
}

// A statement-style line "name value": the name is written as it is and may hold
// spaces ("reflection map"), so the value starts at the first word that can only be a
// value: a quote, hex text, byte block, '[' or '!', "on"/"off" ending the line, or a
// word from which every word to the end of the line is a number.
void Parser::parseBareParameter(Node& node, size_t start) {
    std::string_view line = in_.restOfLine();
    std::vector<Span> words = blankSeparatedWords(line);
    if (!words.empty() && line[words.back().end - 1] == ',') {
        if (--words.back().end == words.back().begin) words.pop_back();
    }
    auto word = [&](size_t i) {
        return line.substr(words[i].begin, words[i].end - words[i].begin);
    };
    size_t numbersFrom = words.size();
    while (numbersFrom > 0 && Cursor::isNumberWord(word(numbersFrom - 1))) --numbersFrom;
    size_t valueWord = 0;
    for (; valueWord < words.size(); ++valueWord) {
        std::string_view w = word(valueWord);
        bool lastWord = valueWord + 1 == words.size();
        if (std::strchr("\"[!", w[0]) != nullptr || w.substr(0, 2) == "xX" ||
            w.substr(0, 2) == "bX" || valueWord >= numbersFrom ||
            (lastWord && (w == "on" || w == "off")))
            break;
    }
    if (valueWord == 0)
        in_.fail("expected a statement or parameter, found " + in_.describeCurrent());
    size_t nameEnd = words[valueWord - 1].end;
    for (size_t i = 0; i < nameEnd; ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if ((c < 0x20 && c != '\t' && c != '\r') || c == '{' || c == '}') {
            in_.advance(i);
            in_.fail("unexpected " + in_.describeCurrent() + " in a parameter name");
        }
    }
    Parameter parameter;
    parameter.offset = start;
    parameter.name = std::string(line.substr(0, nameEnd));
    in_.advance(valueWord < words.size() ? words[valueWord].begin : line.size());
    // The writer writes bare names in statement-style blocks, material slots, and
    // named byte blocks (set_data, set_icon) anywhere.
    if (!statementStyle_ && node.kind != NodeKind::Material && !in_.atBytes())
        throw ParseError(start, "expected a quoted parameter name or a statement, found \"" +
                                    parameter.name + "\"");
    parameter.value = parseValue();
    if (node.kind == NodeKind::Material && isMaterialSlot(parameter.name) &&
        parameter.value.kind() == ValueKind::Numbers && parameter.value.size() == 1)
        if (std::optional<int> id = asShaderId(parameter.value.number()))
            parameter.value = Value::ofShaderId(*id, false);
    finishItem();
    node.parameters.push_back(std::move(parameter));
}

Value Parser::parseValue() {
    in_.skipBlanks();
    if (in_.atLineEnd() || in_.peek() == ',') return Value();
    if (in_.atBytes()) return Value::ofBytes(in_.readBytes());
    size_t start = in_.offset();
    if (in_.atText()) {
        std::string text = in_.readText();
        in_.skipBlanks();
        if (in_.peek() == '{') return Value::ofShader(parseShader(std::move(text), start), false);
        return Value::ofText(std::move(text));
    }
    if (in_.peek() == '[') return parseArray();
    if (in_.peek() == '!') {
        in_.advance();
        in_.skipBlanks();
        size_t kindOffset = in_.offset();
        if (in_.atText()) {
            std::string kind = in_.readText();
            in_.skipBlanks();
            if (in_.peek() != '{') in_.fail("expected '{' after the subshader's kind");
            return Value::ofShader(parseShader(std::move(kind), kindOffset), true);
        }
        std::optional<double> number = in_.readNumber();
        std::optional<int> id = number ? asShaderId(*number) : std::nullopt;
        if (!id) {
            in_.seek(kindOffset);
            in_.fail("expected a shader or an integer shader id after '!'");
        }
        return Value::ofShaderId(*id, true);
    }
    if (std::optional<bool> value = in_.readSwitch()) return Value::ofBool(*value);
    std::vector<double> numbers = in_.readNumbers();
    if (numbers.empty()) in_.fail("expected a value, found " + in_.describeCurrent());
    return Value::ofNumbers(std::move(numbers));
}

Value Parser::parseArray() {
    size_t start = in_.offset();
    in_.advance();
    ArrayBuilder array;
    for (;;) {
        in_.skipSpace();
        size_t at = in_.offset();
        if (in_.atEnd())
            in_.fail("array opened at offset " + std::to_string(start) + " is not closed");
        if (in_.peek() == ']') {
            in_.advance();
            return array.finish();
        }
        if (in_.peek() == ',') {
            in_.advance();
        } else if (in_.atBinaryBlock()) {
            BinaryHeader block = in_.readBinaryHeader();
            if (block.letter == 'i')
                in_.readBinaryElements(array.binaryInts(at), block.count);
            else if (block.letter == 'r')
                in_.readBinaryElements(array.binaryDoubles(at), block.count);
            else
                in_.readBinaryElements(array.binaryFloats(at, block.letter), block.count);
        } else if (in_.atText()) {
            std::string text = in_.readText();
            in_.skipBlanks();
            if (in_.peek() == '{')
                array.addShader(at, parseShader(std::move(text), at));
            else
                array.addText(at, std::move(text));
        } else if (std::optional<bool> value = in_.readSwitch()) {
            array.addNumbers(at, {*value ? 1.0 : 0.0}, 1, ElementKind::Bool, 0);
        } else {
            std::vector<double> numbers = in_.readNumbers();
            if (numbers.empty()) in_.fail("unexpected " + in_.describeCurrent() + " in an array");
            array.addNumbers(at, numbers, numbers.size(), ElementKind::Number, 0);
        }
    }
}

// A captured shader: its kind, then "{", its parameters and "}".
std::shared_ptr<const Node> Parser::parseShader(std::string kind, size_t start) {
    in_.advance();  // '{'
    auto shader = std::make_shared<Node>();
    shader->kind = NodeKind::Shader;
    shader->offset = start;
    shader->name = kind;
    shader->labels.push_back(std::move(kind));
    parseBlockBody(*shader);
    return shader;
}

void Parser::finishItem() {
    in_.skipBlanks();
    if (in_.peek() == ',') in_.advance();
    in_.finishLine();
}

}  // namespace
}  // namespace detail

Node parse(std::string_view bytes) { return detail::Parser(bytes).document(); }

Node parseFile(const std::string& path) {
    detail::InputFile file(path);
    return detail::Parser(file.bytes(), [&file](size_t offset) { file.releaseBefore(offset); })
        .document();
}

}  // namespace vsp
