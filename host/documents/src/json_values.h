// Reading values out of a document file: numbers, vectors, matrices and parameter
// values, each failing with the place in the file where it went wrong.
#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "c4d.h"

namespace vantrel_host::document_file {

using nlohmann::json;

// A fault in the document; what() is "place: message".
class DocumentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
[[noreturn]] void Fail(const std::string& where, const std::string& message);
// A place short enough for one message line.
std::string Shortened(const std::string& where);

// Places: "objects[1]", "objects[1].tags".
std::string At(const std::string& where, const std::string& key);
std::string At(const std::string& where, size_t index);

// Fails when the object has a key outside allowed (or is no object at all).
void CheckKeys(const json& j, const std::string& where, const std::vector<std::string>& allowed);
const json& Array(const json& j, const std::string& where);

Int32 ToInt(const json& j, const std::string& where);
UInt64 ToUInt64(const json& j, const std::string& where);
Float ToFloat(const json& j, const std::string& where);
Bool ToBool(const json& j, const std::string& where);
std::string ToText(const json& j, const std::string& where);
Vector ToVector(const json& j, const std::string& where);
Matrix ToMatrix(const json& j, const std::string& where);
ROTATIONORDER ToRotationOrder(const json& j, const std::string& where);

// How a parameter value is read: Any takes the form the JSON value has.
enum class ValueKind {
    Any,
    Int,
    Float,
    Vector,
    String,
    Bool,
    Filename,
    Gradient,
    Projection,
    MaterialLink,
    ShaderLink,
    LayerLink,
    ObjectLink
};

// A link to a named element, resolved once the whole document exists.
struct PendingLink {
    ValueKind kind;  // MaterialLink, ShaderLink, LayerLink, ObjectLink
    std::string name;
    BaseList2D* scope;  // a ShaderLink looks in this node's shaders
    std::string where;
    std::function<void(BaseList2D*)> set;  // stores the resolved target
};

// Positions the export writes in single precision that no float holds. A document can
// carry millions of them, so they are counted and reported once.
struct SinglePrecisionOverflow {
    size_t count = 0;
    std::string first;  // the place of the first one
};

struct LoadContext {
    std::string folder;  // relative file names resolve against it
    std::vector<PendingLink> links;
    SinglePrecisionOverflow overflow;
};

// A vector that the export writes in single precision (points, positions): read like
// ToVector, and counted in context when a component is too large for a float.
Vector ToPosition(const json& j, const std::string& where, LoadContext& context);

// Reads value as kind and sets node's parameter id (links are set when resolved).
void SetParameterFromJson(BaseList2D& node, Int32 id, const json& value, ValueKind kind,
                          const std::string& where, LoadContext& context);

// A parameter with a readable name in document files.
struct NamedParameter {
    const char* key;
    Int32 id;
    ValueKind kind;
};
using NamedParameters = std::vector<NamedParameter>;

// Sets the entries of "parameters" (by numeric id) and every key of j that one of
// the tables names.
void SetParameters(BaseList2D& node, const json& j, const std::string& where,
                   const std::vector<const NamedParameters*>& tables, LoadContext& context);
// own plus the keys the tables name.
std::vector<std::string> WithNamedKeys(std::vector<std::string> own,
                                       const std::vector<const NamedParameters*>& tables);

}  // namespace vantrel_host::document_file
