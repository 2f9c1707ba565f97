// Typed reads of host parameters. The host gives an absent parameter as an empty value,
// which reads as 0, the zero vector or empty text; each caller decides whether absence
// matters (the first form) or reads as that zero (the second).
#pragma once

#include "c4d.h"

// A parameter's value read as the kind of value; only the kinds the converter reads.
inline void valueOf(const GeData& data, Int32& value) { value = data.GetInt32(); }
inline void valueOf(const GeData& data, Float& value) { value = data.GetFloat(); }
inline void valueOf(const GeData& data, Vector64& value) { value = data.GetVector(); }
inline void valueOf(const GeData& data, String& value) { value = data.GetString(); }
inline void valueOf(const GeData& data, Filename& value) { value = data.GetFilename(); }

// False, value untouched, when the node does not carry the parameter.
template <class T>
bool readParameter(const C4DAtom* node, Int32 id, T& value) {
    GeData data;
    if (!node->GetParameter(DescID(id), data, DESCFLAGS_GET_0)) return false;
    valueOf(data, value);
    return true;
}

// The parameter, an absent one reading as the zero of its kind.
template <class T>
T readParameter(const C4DAtom* node, Int32 id) {
    GeData data;
    node->GetParameter(DescID(id), data, DESCFLAGS_GET_0);
    T value;
    valueOf(data, value);
    return value;
}

// The node a link parameter names within the document (of type instanceOf unless 0);
// null when absent or gone.
BaseList2D* readLink(const C4DAtom* node, Int32 id, const BaseDocument* doc, Int32 instanceOf = 0);

// The colour of a gradient parameter's first knot; false, color untouched, when the
// node carries no gradient there or one without knots.
bool readFirstKnotColor(const C4DAtom* node, Int32 id, Vector64& color);
