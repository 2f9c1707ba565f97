// Typed reads of host parameters. The host gives an absent parameter as an empty value,
// which reads as 0, the zero vector or empty text; each caller decides whether absence
// matters (the first form) or reads as that zero (the second).
#pragma once

#include "c4d.h"

// The value of a parameter as T; only the kinds the converter reads are defined.
template <class T>
T parameterValue(const GeData& data) = delete;
template <>
inline Int32 parameterValue<Int32>(const GeData& data) {
    return data.GetInt32();
}
template <>
inline Float parameterValue<Float>(const GeData& data) {
    return data.GetFloat();
}
template <>
inline Vector64 parameterValue<Vector64>(const GeData& data) {
    return data.GetVector();
}
template <>
inline String parameterValue<String>(const GeData& data) {
    return data.GetString();
}
template <>
inline Filename parameterValue<Filename>(const GeData& data) {
    return data.GetFilename();
}

// False, value untouched, when the node does not carry the parameter.
template <class T>
bool readParameter(const C4DAtom* node, Int32 id, T& value) {
    GeData data;
    if (!node->GetParameter(DescID(id), data, DESCFLAGS_GET_0)) return false;
    value = parameterValue<T>(data);
    return true;
}

// The parameter, an absent one reading as the zero of its kind.
template <class T>
T readParameter(const C4DAtom* node, Int32 id) {
    GeData data;
    node->GetParameter(DescID(id), data, DESCFLAGS_GET_0);
    return parameterValue<T>(data);
}

// The node a link parameter names within the document (of type instanceOf unless 0);
// null when absent or gone.
BaseList2D* readLink(const C4DAtom* node, Int32 id, const BaseDocument* doc, Int32 instanceOf = 0);

// The colour of a gradient parameter's first knot; false, color untouched, when the
// node carries no gradient there or one without knots.
bool readFirstKnotColor(const C4DAtom* node, Int32 id, Vector64& color);
