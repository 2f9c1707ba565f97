#include "vsp/Summary.h"

namespace vsp {

namespace {

// Numbers held by a numeric parameter, 0 when absent or not numeric.
size_t numberCount(const Node& node, std::string_view name) {
    const Parameter* parameter = node.findParameter(name);
    if (!parameter) return 0;
    const Value& value = parameter->value;
    bool numeric = value.kind() == ValueKind::Numbers ||
                   (value.kind() == ValueKind::Array && value.elementKind() == ElementKind::Number);
    return numeric ? value.numberCount() : 0;
}

}  // namespace

Summary summarize(const Node& root) {
    Summary summary;
    root.visit([&](const Node& node) {
        if (&node == &root) return;
        ++summary.nodes[node.kind];
        if (node.kind == NodeKind::Material) ++summary.materials;
        if (node.kind == NodeKind::Geometry) {
            summary.triangles += numberCount(node, "triangles") / 3;
            summary.vertices += numberCount(node, "vertices") / 3;
        }
    });
    return summary;
}

void printSummary(std::ostream& out, const Summary& summary) {
    for (const auto& [kind, count] : summary.nodes) out << toString(kind) << ": " << count << '\n';
    out << "triangles: " << summary.triangles << '\n'
        << "vertices: " << summary.vertices << '\n'
        << "materials: " << summary.materials << '\n';
}

}  // namespace vsp
