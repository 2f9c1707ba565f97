#include "C4DParameters.h"

BaseList2D* readLink(const C4DAtom* node, Int32 id, const BaseDocument* doc, Int32 instanceOf) {
    GeData data;
    if (!node->GetParameter(DescID(id), data, DESCFLAGS_GET_0)) return nullptr;
    return data.GetLink(doc, instanceOf);
}

bool readFirstKnotColor(const C4DAtom* node, Int32 id, Vector64& color) {
    GeData data;
    if (!node->GetParameter(DescID(id), data, DESCFLAGS_GET_0)) return false;
    const auto* gradient =
        static_cast<const Gradient*>(data.GetCustomDataType(CUSTOMDATATYPE_GRADIENT));
    if (!gradient || gradient->GetKnotCount() == 0) return false;
    color = gradient->GetKnot(0).col;
    return true;
}
