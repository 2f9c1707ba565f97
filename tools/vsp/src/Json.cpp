#include "vsp/Json.h"

#include <cmath>

namespace vsp {

namespace {

nlohmann::json number(double x) { return std::isfinite(x) ? nlohmann::json(x) : nullptr; }

nlohmann::json numbers(const Value& value) {
    nlohmann::json list = nlohmann::json::array();
    for (size_t i = 0; i < value.numberCount(); ++i) list.push_back(number(value.numberAt(i)));
    return list;
}

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char c : bytes) {
        text += digits[c >> 4];
        text += digits[c & 15];
    }
    return text;
}

}  // namespace

nlohmann::json toJson(const Value& value) {
    nlohmann::json json = {{"type", toString(value.kind())}};
    switch (value.kind()) {
        case ValueKind::Empty:
            break;
        case ValueKind::Numbers:
            json["data"] = numbers(value);
            break;
        case ValueKind::Bool:
            json["data"] = value.boolean();
            break;
        case ValueKind::Text:
            json["data"] = value.text();
            break;
        case ValueKind::Bytes:
            json["data"] = hex(value.bytes());
            break;
        case ValueKind::Shader:
            json["subshader"] = value.isSubshader();
            json["data"] = toJson(value.shader());
            break;
        case ValueKind::ShaderId:
            json["subshader"] = value.isSubshader();
            json["data"] = value.shaderId();
            break;
        case ValueKind::Array:
            json["element"] = toString(value.elementKind());
            json["arity"] = value.arity();
            json["count"] = value.size();
            if (value.binaryLetter() != 0) json["binary"] = std::string(1, value.binaryLetter());
            if (value.elementKind() == ElementKind::Text) {
                json["data"] = value.texts();
            } else if (value.elementKind() == ElementKind::Shader) {
                json["data"] = nlohmann::json::array();
                for (const Node* shader : value.shaders()) json["data"].push_back(toJson(*shader));
            } else {
                json["data"] = numbers(value);
            }
            break;
    }
    return json;
}

nlohmann::json toJson(const Node& node) {
    nlohmann::json statements = nlohmann::json::array();
    for (const auto& statement : node.statements) {
        nlohmann::json args = nlohmann::json::array();
        for (const auto& arg : statement.args) args.push_back(toJson(arg));
        statements.push_back(
            {{"keyword", statement.keyword}, {"offset", statement.offset}, {"args", args}});
    }
    nlohmann::json parameters = nlohmann::json::array();
    for (const auto& parameter : node.parameters)
        parameters.push_back({{"name", parameter.name},
                              {"offset", parameter.offset},
                              {"value", toJson(parameter.value)}});
    nlohmann::json children = nlohmann::json::array();
    for (const auto& child : node.children) children.push_back(toJson(child));
    return {{"kind", toString(node.kind)},
            {"name", node.name},
            {"labels", node.labels},
            {"definition", node.definition},
            {"modification", node.modification},
            {"offset", node.offset},
            {"statements", statements},
            {"parameters", parameters},
            {"children", children}};
}

nlohmann::json toJson(const Summary& summary) {
    nlohmann::json nodes = nlohmann::json::object();
    for (const auto& [kind, count] : summary.nodes) nodes[toString(kind)] = count;
    return {{"nodes", nodes},
            {"triangles", summary.triangles},
            {"vertices", summary.vertices},
            {"materials", summary.materials}};
}

}  // namespace vsp
