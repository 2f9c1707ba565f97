#include "c4d_animation.h"
#include "c4d_basedocument.h"
#include "c4d_basematerial.h"
#include "c4d_basetag.h"

namespace {

// Visits every object of a tree depth-first in document order until visit says stop.
template <typename Visit>
bool VisitObjects(BaseObject* op, const Visit& visit) {
    for (; op != nullptr; op = op->GetNext()) {
        if (!visit(op) || !VisitObjects(op->GetDown(), visit)) return false;
    }
    return true;
}

}  // namespace

BaseDocument::BaseDocument()
    : objects_(std::make_unique<GeListHead>(this)),
      materials_(std::make_unique<GeListHead>(this)),
      layers_(std::make_unique<GeListHead>(this)) {}

// Objects go first: their links to materials and layers must not outlive them.
BaseDocument::~BaseDocument() {
    objects_.reset();
    materials_.reset();
    layers_.reset();
}

BaseDocument* BaseDocument::Alloc() { return new BaseDocument; }

void BaseDocument::Free(BaseDocument*& doc) {
    delete doc;
    doc = nullptr;
}

BaseObject* BaseDocument::GetFirstObject() const {
    return static_cast<BaseObject*>(objects_->GetFirst());
}

void BaseDocument::InsertObject(BaseObject* op, BaseObject* parent, BaseObject* pred) {
    if (op == nullptr) return;
    if (pred != nullptr) {
        op->InsertAfter(pred);
    } else if (parent != nullptr) {
        op->InsertUnder(parent);
    } else {
        objects_->InsertFirst(op);
    }
}

BaseObject* BaseDocument::SearchObject(const String& name) const {
    BaseObject* found = nullptr;
    VisitObjects(GetFirstObject(), [&](BaseObject* op) {
        if (op->GetName() == name) found = op;
        return found == nullptr;
    });
    return found;
}

BaseMaterial* BaseDocument::GetFirstMaterial() const {
    return static_cast<BaseMaterial*>(materials_->GetFirst());
}

void BaseDocument::InsertMaterial(BaseMaterial* mat, BaseMaterial* pred) {
    if (mat == nullptr) return;
    if (pred != nullptr) {
        mat->InsertAfter(pred);
    } else {
        materials_->InsertFirst(mat);
    }
}

BaseMaterial* BaseDocument::SearchMaterial(const String& name) const {
    for (BaseMaterial* mat = GetFirstMaterial(); mat != nullptr; mat = mat->GetNext())
        if (mat->GetName() == name) return mat;
    return nullptr;
}

Bool BaseDocument::ExecutePasses(BaseThread*, Bool animation, Bool, Bool, BUILDFLAGS) {
    if (!animation) return true;
    VisitObjects(GetFirstObject(), [this](BaseObject* op) {
        for (CTrack* track = op->GetFirstCTrack(); track != nullptr; track = track->GetNext()) {
            CCurve* curve = track->GetCurve(CCURVETYPE_CURVE, false);
            if (curve == nullptr || curve->GetKeyCount() == 0) continue;
            op->SetParameter(track->GetDescriptionID(), GeData(track->GetValue(this, time_, fps_)),
                             DESCFLAGS_SET_0);
        }
        return true;
    });
    return true;
}

void BaseDocument::GetSelection(AtomArray& selection) const {
    selection.Flush();
    VisitObjects(GetFirstObject(), [&](BaseObject* op) {
        if (op->GetBit(BIT_ACTIVE)) selection.Append(op);
        return true;
    });
    VisitObjects(GetFirstObject(), [&](BaseObject* op) {
        for (BaseTag* tag = op->GetFirstTag(); tag != nullptr; tag = tag->GetNext())
            if (tag->GetBit(BIT_ACTIVE)) selection.Append(tag);
        return true;
    });
}

BaseObject* BaseDocument::GetActiveObject() const {
    BaseObject* found = nullptr;
    VisitObjects(GetFirstObject(), [&](BaseObject* op) {
        if (op->GetBit(BIT_ACTIVE)) found = op;
        return found == nullptr;
    });
    return found;
}

void BaseDocument::SetActiveObject(BaseObject* op, SELECTION mode) {
    if (mode == SELECTION_NEW) DeselectAll();
    if (op == nullptr) return;
    if (mode == SELECTION_SUB) {
        op->DelBit(BIT_ACTIVE);
    } else {
        op->SetBit(BIT_ACTIVE);
    }
}

void BaseDocument::DeselectAll() {
    VisitObjects(GetFirstObject(), [](BaseObject* op) {
        op->DelBit(BIT_ACTIVE);
        for (BaseTag* tag = op->GetFirstTag(); tag != nullptr; tag = tag->GetNext())
            tag->DelBit(BIT_ACTIVE);
        return true;
    });
}
