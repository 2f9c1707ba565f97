// The tree a scene file reads into: blocks as nodes, each with its parameters, its
// statements (transform, flags, comments, ...) and its child blocks, all in file order.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vsp/Value.h"

namespace vsp {

enum class NodeKind {
    Document,  // the whole file
    Group,
    Object,
    Geometry,
    Material,
    Shader,  // captured (embedded in a value) or defined with "#define shader"
    Module,  // "load" block
    Camera,
    Animation,
    Options,
    Image,
    Output,
    Light,
    Accel,
    Matrix,
    Frame,
    Motion,
};

const char* toString(NodeKind kind);  // lower-case word, e.g. "group", "module"

struct Parameter {
    std::string name;
    Value value;
    size_t offset = 0;  // of the parameter's first byte
};

// A line that is neither a block nor a parameter. keyword is one of "//" (comment),
// "#print", "#error", "version", "progress", "attribute", "transform",
// "set transform", "scale", "rotate", "translate", "flags", "id", "instance",
// "material" (use by name) or "render"; args hold its texts, then its numbers as one
// Numbers value (so "transform" has one argument of 16 numbers).
struct Statement {
    std::string keyword;
    std::vector<Value> args;
    size_t offset = 0;

    const Value& arg(size_t index) const;  // throws QueryError when absent
};

struct Node {
    NodeKind kind = NodeKind::Document;
    // First header word: group, object or material name, geometry kind, module file,
    // animation name; for captured shaders the shader kind. Empty when there is none.
    std::string name;
    std::vector<std::string> labels;  // every header word, name first
    bool definition = false;          // "#define ..."
    bool modification = false;        // "#modify ..."
    size_t offset = 0;                // of the block's first byte
    std::vector<Parameter> parameters;
    std::vector<Statement> statements;
    std::vector<Node> children;

    // First parameter of that name, or null.
    const Parameter* findParameter(std::string_view name) const;
    // Value of the first parameter of that name; throws QueryError when absent.
    const Value& param(std::string_view name) const;
    // Every parameter of that name, in order (a shader may set "diffuse" twice).
    std::vector<const Parameter*> parametersNamed(std::string_view name) const;
    // Shader node of the first parameter of that name that holds one (a material's
    // "surface", a subshader); throws QueryError when there is none.
    const Node& shader(std::string_view name) const;

    const Statement* findStatement(std::string_view keyword) const;
    std::vector<const Statement*> statementsNamed(std::string_view keyword) const;

    // Descends through child names, one '/'-separated segment per level starting at
    // this node's children: root.find("untitled/Cube/Cube"). Null when nothing matches.
    const Node* find(std::string_view path) const;
    const Node* find(const std::vector<std::string>& names) const;
    const Node& at(std::string_view path) const;  // as find, throws QueryError

    // This node and every node below it, depth first: a node, then the shader nodes held
    // in its parameter values, then its children, each in file order.
    void visit(const std::function<void(const Node&)>& visitor) const;
    std::vector<const Node*> all(NodeKind kind) const;
    std::vector<const Node*> named(std::string_view name) const;

    // "object \"Cube\" at offset 120", for messages.
    std::string describe() const;
};

}  // namespace vsp
