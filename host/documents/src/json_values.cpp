#include "json_values.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>

namespace vantrel_host::document_file {

namespace {

constexpr size_t kPlaceKeep = 100;  // bytes of a place kept at each end

// The smallest magnitude that rounds to infinity as a float: FLT_MAX plus half its ulp.
constexpr double kFloatOverflow = 0x1.ffffffp+127;

// Keys and names may hold line breaks and other control characters; escaped, they keep
// the message on its one line.
std::string OneLine(const std::string& text) {
    std::string line;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            line += "\\n";
        } else if (byte < 0x20 || byte == 0x7f) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            line += escape;
        } else {
            line += c;
        }
    }
    return line;
}

}  // namespace

// A place deep in a document runs to kilobytes; its middle gives way so the line stays
// readable while both ends still say where it is.
std::string Shortened(const std::string& where) {
    if (where.size() <= 2 * kPlaceKeep + 5) return where;
    const auto continuation = [&where](size_t i) { return (where[i] & 0xC0) == 0x80; };
    size_t head = kPlaceKeep, tail = where.size() - kPlaceKeep;
    while (head > 0 && continuation(head)) --head;  // never split a UTF-8 character
    while (tail < where.size() && continuation(tail)) ++tail;
    return where.substr(0, head) + " ... " + where.substr(tail);
}

void Fail(const std::string& where, const std::string& message) {
    throw DocumentError(OneLine(where.empty() ? message : Shortened(where) + ": " + message));
}

std::string At(const std::string& where, const std::string& key) {
    return where.empty() ? key : where + "." + key;
}

std::string At(const std::string& where, size_t index) {
    return where + "[" + std::to_string(index) + "]";
}

void CheckKeys(const json& j, const std::string& where, const std::vector<std::string>& allowed) {
    if (!j.is_object()) Fail(where, "expected an object");
    for (const auto& item : j.items()) {
        if (std::find(allowed.begin(), allowed.end(), item.key()) == allowed.end())
            Fail(At(where, item.key()), "unknown key");
    }
}

const json& Array(const json& j, const std::string& where) {
    if (!j.is_array()) Fail(where, "expected an array");
    return j;
}

Int32 ToInt(const json& j, const std::string& where) {
    if (!j.is_number_integer()) Fail(where, "expected an integer");
    const auto v = j.get<int64_t>();
    if (j.is_number_unsigned() && j.get<uint64_t>() > uint64_t(std::numeric_limits<Int32>::max()))
        Fail(where, "integer out of range");
    if (v < std::numeric_limits<Int32>::min() || v > std::numeric_limits<Int32>::max())
        Fail(where, "integer out of range");
    return static_cast<Int32>(v);
}

UInt64 ToUInt64(const json& j, const std::string& where) {
    if (!j.is_number_unsigned()) Fail(where, "expected a non-negative integer");
    return j.get<uint64_t>();
}

Float ToFloat(const json& j, const std::string& where) {
    if (!j.is_number()) Fail(where, "expected a number");
    return j.get<double>();
}

Bool ToBool(const json& j, const std::string& where) {
    if (j.is_boolean()) return j.get<bool>();
    if (j.is_number_integer() && (j.get<int64_t>() == 0 || j.get<int64_t>() == 1))
        return j.get<int64_t>() == 1;
    Fail(where, "expected true or false");
}

std::string ToText(const json& j, const std::string& where) {
    if (!j.is_string()) Fail(where, "expected a string");
    return j.get<std::string>();
}

Vector ToVector(const json& j, const std::string& where) {
    if (!j.is_array() || j.size() != 3) Fail(where, "expected a vector [x, y, z]");
    return {ToFloat(j[0], At(where, 0)), ToFloat(j[1], At(where, 1)), ToFloat(j[2], At(where, 2))};
}

Vector ToPosition(const json& j, const std::string& where, LoadContext& context) {
    const Vector v = ToVector(j, where);
    if (std::abs(v.x) >= kFloatOverflow || std::abs(v.y) >= kFloatOverflow ||
        std::abs(v.z) >= kFloatOverflow) {
        if (context.overflow.count++ == 0) context.overflow.first = where;
    }
    return v;
}

Matrix ToMatrix(const json& j, const std::string& where) {
    CheckKeys(j, where, {"off", "v1", "v2", "v3"});
    Matrix m;
    if (j.contains("off")) m.off = ToVector(j["off"], At(where, "off"));
    if (j.contains("v1")) m.v1 = ToVector(j["v1"], At(where, "v1"));
    if (j.contains("v2")) m.v2 = ToVector(j["v2"], At(where, "v2"));
    if (j.contains("v3")) m.v3 = ToVector(j["v3"], At(where, "v3"));
    return m;
}

namespace {

// Looks a name up in a table, or takes the integer itself within [0, names.size()).
Int32 ByName(const json& j, const std::string& where, const std::vector<std::string>& names,
             const char* what) {
    if (j.is_string()) {
        const auto it = std::find(names.begin(), names.end(), j.get<std::string>());
        if (it == names.end()) Fail(where, std::string("unknown ") + what);
        return static_cast<Int32>(it - names.begin());
    }
    const Int32 v = ToInt(j, where);
    if (v < 0 || v >= static_cast<Int32>(names.size())) Fail(where, std::string("unknown ") + what);
    return v;
}

GeData ToGradient(const json& j, const std::string& where) {
    Array(j, where);
    Gradient gradient;
    for (size_t i = 0; i < j.size(); ++i) {
        const std::string place = At(where, i);
        CheckKeys(j[i], place, {"color", "position", "brightness", "bias"});
        if (!j[i].contains("color")) Fail(place, "a knot needs a color");
        gradient.InsertKnot(
            ToVector(j[i]["color"], At(place, "color")),
            j[i].contains("brightness") ? ToFloat(j[i]["brightness"], At(place, "brightness"))
                                        : 1.0,
            j[i].contains("position") ? ToFloat(j[i]["position"], At(place, "position")) : 0.0,
            j[i].contains("bias") ? ToFloat(j[i]["bias"], At(place, "bias")) : 0.5);
    }
    return GeData(CUSTOMDATATYPE_GRADIENT, gradient);
}

std::string ResolvePath(const std::string& file, const std::string& folder) {
    namespace fs = std::filesystem;
    if (file.empty() || folder.empty() || fs::path(file).is_absolute()) return file;
    return (fs::path(folder) / file).lexically_normal().string();
}

// The explicit forms {"int": 1}, {"material": "Chrome"}, ...
const std::vector<std::pair<std::string, ValueKind>> kExplicitForms = {
    {"int", ValueKind::Int},           {"float", ValueKind::Float},
    {"vector", ValueKind::Vector},     {"string", ValueKind::String},
    {"bool", ValueKind::Bool},         {"filename", ValueKind::Filename},
    {"gradient", ValueKind::Gradient}, {"material", ValueKind::MaterialLink},
    {"shader", ValueKind::ShaderLink}, {"layer", ValueKind::LayerLink},
    {"object", ValueKind::ObjectLink}};

}  // namespace

ROTATIONORDER ToRotationOrder(const json& j, const std::string& where) {
    return static_cast<ROTATIONORDER>(
        ByName(j, where, {"yxz", "yzx", "zyx", "zxy", "xzy", "xyz", "hpb"}, "rotation order"));
}

void SetParameterFromJson(BaseList2D& node, Int32 id, const json& value, ValueKind kind,
                          const std::string& where, LoadContext& context) {
    auto set = [&node, id](const GeData& data) {
        node.SetParameter(DescID(id), data, DESCFLAGS_SET_0);
    };
    switch (kind) {
        case ValueKind::Any:
            if (value.is_object() && value.size() == 1) {
                for (const auto& [form, form_kind] : kExplicitForms) {
                    if (value.contains(form)) {
                        SetParameterFromJson(node, id, value[form], form_kind, At(where, form),
                                             context);
                        return;
                    }
                }
                Fail(At(where, value.begin().key()), "unknown kind of value");
            }
            if (value.is_number_integer()) return set(GeData(ToInt(value, where)));
            if (value.is_number()) return set(GeData(ToFloat(value, where)));
            if (value.is_string()) return set(GeData(String(value.get<std::string>())));
            if (value.is_array()) return set(GeData(ToVector(value, where)));
            Fail(where,
                 "expected a number, a vector, a string or an object such as {\"float\": 1}");
        case ValueKind::Int:
            return set(GeData(ToInt(value, where)));
        case ValueKind::Float:
            return set(GeData(ToFloat(value, where)));
        case ValueKind::Vector:
            return set(GeData(ToVector(value, where)));
        case ValueKind::String:
            return set(GeData(String(ToText(value, where))));
        case ValueKind::Bool:
            return set(GeData(Int32(ToBool(value, where) ? 1 : 0)));
        case ValueKind::Filename:
            return set(GeData(Filename(String(ResolvePath(ToText(value, where), context.folder)))));
        case ValueKind::Gradient:
            return set(ToGradient(value, where));
        case ValueKind::Projection:
            return set(GeData(ByName(value, where,
                                     {"spherical", "cylindrical", "flat", "cubic", "frontal",
                                      "spatial", "uvw", "shrink", "camera"},
                                     "projection")));
        case ValueKind::MaterialLink:
        case ValueKind::ShaderLink:
        case ValueKind::LayerLink:
        case ValueKind::ObjectLink:
            context.links.push_back(
                {kind, ToText(value, where), &node, where, [set](BaseList2D* target) {
                     GeData link;
                     link.SetBaseList2D(target);
                     set(link);
                 }});
            return;
    }
}

void SetParameters(BaseList2D& node, const json& j, const std::string& where,
                   const std::vector<const NamedParameters*>& tables, LoadContext& context) {
    for (const NamedParameters* table : tables) {
        for (const NamedParameter& p : *table) {
            if (j.contains(p.key))
                SetParameterFromJson(node, p.id, j[p.key], p.kind, At(where, p.key), context);
        }
    }
    if (!j.contains("parameters")) return;
    const std::string place = At(where, "parameters");
    if (!j["parameters"].is_object()) Fail(place, "expected an object of id: value");
    for (const auto& item : j["parameters"].items()) {
        const std::string& key = item.key();
        const bool numeric = !key.empty() && key.size() <= 9 &&
                             std::all_of(key.begin(), key.end(),
                                         [](unsigned char c) { return c >= '0' && c <= '9'; });
        if (!numeric) Fail(At(place, key), "a parameter id is a number");
        SetParameterFromJson(node, std::stoi(key), item.value(), ValueKind::Any, At(place, key),
                             context);
    }
}

std::vector<std::string> WithNamedKeys(std::vector<std::string> own,
                                       const std::vector<const NamedParameters*>& tables) {
    for (const NamedParameters* table : tables)
        for (const NamedParameter& p : *table) own.push_back(p.key);
    own.push_back("parameters");
    return own;
}

}  // namespace vantrel_host::document_file
