#include "vsp/Node.h"

namespace vsp {

const char* toString(NodeKind kind) {
    switch (kind) {
        case NodeKind::Document:
            return "document";
        case NodeKind::Group:
            return "group";
        case NodeKind::Object:
            return "object";
        case NodeKind::Geometry:
            return "geometry";
        case NodeKind::Material:
            return "material";
        case NodeKind::Shader:
            return "shader";
        case NodeKind::Module:
            return "module";
        case NodeKind::Camera:
            return "camera";
        case NodeKind::Animation:
            return "animation";
        case NodeKind::Options:
            return "options";
        case NodeKind::Image:
            return "image";
        case NodeKind::Output:
            return "output";
        case NodeKind::Light:
            return "light";
        case NodeKind::Accel:
            return "accel";
        case NodeKind::Matrix:
            return "matrix";
        case NodeKind::Frame:
            return "frame";
        case NodeKind::Motion:
            return "motion";
    }
    return "?";
}

const Value& Statement::arg(size_t index) const {
    if (index >= args.size())
        throw QueryError("statement \"" + keyword + "\" at offset " + std::to_string(offset) +
                         " has no argument " + std::to_string(index));
    return args[index];
}

const Parameter* Node::findParameter(std::string_view wanted) const {
    for (const auto& parameter : parameters)
        if (parameter.name == wanted) return &parameter;
    return nullptr;
}

const Value& Node::param(std::string_view wanted) const {
    if (const Parameter* parameter = findParameter(wanted)) return parameter->value;
    throw QueryError(describe() + " has no parameter \"" + std::string(wanted) + "\"");
}

std::vector<const Parameter*> Node::parametersNamed(std::string_view wanted) const {
    std::vector<const Parameter*> result;
    for (const auto& parameter : parameters)
        if (parameter.name == wanted) result.push_back(&parameter);
    return result;
}

const Node& Node::shader(std::string_view wanted) const {
    for (const auto& parameter : parameters)
        if (parameter.name == wanted && parameter.value.kind() == ValueKind::Shader)
            return parameter.value.shader();
    throw QueryError(describe() + " has no shader \"" + std::string(wanted) + "\"");
}

const Statement* Node::findStatement(std::string_view keyword) const {
    for (const auto& statement : statements)
        if (statement.keyword == keyword) return &statement;
    return nullptr;
}

std::vector<const Statement*> Node::statementsNamed(std::string_view keyword) const {
    std::vector<const Statement*> result;
    for (const auto& statement : statements)
        if (statement.keyword == keyword) result.push_back(&statement);
    return result;
}

static const Node* findFrom(const Node& node, const std::vector<std::string>& names, size_t depth) {
    if (depth == names.size()) return &node;
    // Backtracks, so a later sibling of the same name is tried when the first has no match.
    for (const auto& child : node.children)
        if (child.name == names[depth])
            if (const Node* found = findFrom(child, names, depth + 1)) return found;
    return nullptr;
}

const Node* Node::find(const std::vector<std::string>& names) const {
    return findFrom(*this, names, 0);
}

const Node* Node::find(std::string_view path) const {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string_view::npos) slash = path.size();
        names.emplace_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return find(names);
}

const Node& Node::at(std::string_view path) const {
    if (const Node* node = find(path)) return *node;
    throw QueryError("no node at path \"" + std::string(path) + "\" below " + describe());
}

void Node::visit(const std::function<void(const Node&)>& visitor) const {
    visitor(*this);
    for (const auto& parameter : parameters) {
        const Value& value = parameter.value;
        if (value.kind() == ValueKind::Shader) value.shader().visit(visitor);
        if (value.kind() == ValueKind::Array && value.elementKind() == ElementKind::Shader)
            for (const Node* shader : value.shaders()) shader->visit(visitor);
    }
    for (const auto& child : children) child.visit(visitor);
}

std::vector<const Node*> Node::all(NodeKind wanted) const {
    std::vector<const Node*> result;
    visit([&](const Node& node) {
        if (node.kind == wanted) result.push_back(&node);
    });
    return result;
}

std::vector<const Node*> Node::named(std::string_view wanted) const {
    std::vector<const Node*> result;
    visit([&](const Node& node) {
        if (node.name == wanted) result.push_back(&node);
    });
    return result;
}

std::string Node::describe() const {
    std::string text = toString(kind);
    if (!name.empty()) text += " \"" + name + "\"";
    return text + " at offset " + std::to_string(offset);
}

}  // namespace vsp
