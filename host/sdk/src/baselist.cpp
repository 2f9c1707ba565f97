#include "c4d_animation.h"
#include "c4d_basedocument.h"
#include "c4d_baselist.h"
#include "c4d_basematerial.h"
#include "c4d_baseobject.h"

GeListNode::~GeListNode() {
    while (down_ != nullptr) delete down_;  // each child unlinks itself
    Remove();
}

GeListNode* GeListNode::GetUp() const {
    return dynamic_cast<GeListHead*>(up_) != nullptr ? nullptr : up_;
}

void GeListNode::Remove() {
    if (pred_ != nullptr) pred_->next_ = next_;
    if (next_ != nullptr) next_->pred_ = pred_;
    if (up_ != nullptr && up_->down_ == this) up_->down_ = next_;
    if (up_ != nullptr && up_->down_last_ == this) up_->down_last_ = pred_;
    next_ = pred_ = up_ = nullptr;
}

void GeListNode::InsertBefore(GeListNode* bl) {
    if (bl == nullptr || bl == this) return;
    Remove();
    up_ = bl->up_;
    pred_ = bl->pred_;
    next_ = bl;
    if (pred_ != nullptr)
        pred_->next_ = this;
    else if (up_ != nullptr)
        up_->down_ = this;
    bl->pred_ = this;
}

void GeListNode::InsertAfter(GeListNode* bl) {
    if (bl == nullptr || bl == this) return;
    Remove();
    up_ = bl->up_;
    pred_ = bl;
    next_ = bl->next_;
    if (next_ != nullptr) next_->pred_ = this;
    bl->next_ = this;
    if (up_ != nullptr && up_->down_last_ == bl) up_->down_last_ = this;
}

void GeListNode::InsertUnder(GeListNode* parent) {
    if (parent == nullptr || parent == this) return;
    if (parent->down_ != nullptr) {
        InsertBefore(parent->down_);
        return;
    }
    Remove();
    up_ = parent;
    parent->down_ = parent->down_last_ = this;
}

void GeListNode::InsertUnderLast(GeListNode* parent) {
    if (parent == nullptr || parent == this) return;
    if (GeListNode* last = parent->GetDownLast()) {
        InsertAfter(last);
    } else {
        InsertUnder(parent);
    }
}

GeListHead* GeListNode::GetListHead() const {
    const GeListNode* node = this;
    while (node->up_ != nullptr) {
        if (auto* head = dynamic_cast<GeListHead*>(node->up_)) return head;
        node = node->up_;
    }
    return nullptr;
}

BaseDocument* GeListNode::GetDocument() const {
    const GeListHead* head = GetListHead();
    return head ? head->GetOwnerDocument() : nullptr;
}

GeListHead::GeListHead(BaseDocument* document, GeListNode* owner)
    : GeListNode(0), document_(document), owner_(owner) {}

void GeListHead::FlushAll() {
    while (GetDown() != nullptr) delete GetDown();
}

BaseDocument* GeListHead::GetOwnerDocument() const {
    if (document_ != nullptr) return document_;
    return owner_ ? owner_->GetDocument() : nullptr;
}

Bool GeListHead::GetParameter(const DescID&, GeData& t_data, DESCFLAGS_GET) const {
    t_data = GeData();
    return false;
}

BaseList2D::BaseList2D(Int32 type) : GeListNode(type), self_(std::make_shared<BaseList2D*>(this)) {}

BaseList2D::~BaseList2D() { *self_ = nullptr; }

Bool BaseList2D::GetParameter(const DescID& id, GeData& t_data, DESCFLAGS_GET) const {
    t_data = GeData();
    const Int32 first = id[0].id;
    if (id.GetDepth() == 1 && first == ID_BASELIST_NAME) {
        t_data = GeData(name_);
        return true;
    }
    const GeData* stored = data_.GetDataPointer(first);
    if (stored == nullptr) return false;
    if (id.GetDepth() == 1) {
        t_data = *stored;
        return true;
    }
    const Int64 component = Int64(id[1].id) - VECTOR_X;
    if (id.GetDepth() != 2 || stored->GetType() != DA_VECTOR || component < 0 || component > 2)
        return false;
    t_data = GeData(stored->GetVector()[component]);
    return true;
}

Bool BaseList2D::SetParameter(const DescID& id, const GeData& t_data, DESCFLAGS_SET) {
    const Int32 first = id[0].id;
    if (id.GetDepth() == 1) {
        if (first == ID_BASELIST_NAME) {
            name_ = t_data.GetString();
        } else {
            data_.SetData(first, t_data);
        }
        return true;
    }
    const GeData* stored = data_.GetDataPointer(first);
    const Int64 component = Int64(id[1].id) - VECTOR_X;
    if (id.GetDepth() != 2 || stored == nullptr || stored->GetType() != DA_VECTOR ||
        component < 0 || component > 2)
        return false;
    Vector v = stored->GetVector();
    v[component] = t_data.GetFloat();
    data_.SetVector(first, v);
    return true;
}

CTrack* BaseList2D::GetFirstCTrack() const {
    return tracks_ ? static_cast<CTrack*>(tracks_->GetFirst()) : nullptr;
}

void BaseList2D::InsertTrackSorted(CTrack* track) {
    if (track == nullptr) return;
    if (!tracks_) tracks_ = std::make_unique<GeListHead>(nullptr, this);
    if (CTrack* old = FindCTrack(track->GetDescriptionID()); old != nullptr && old != track)
        CTrack::Free(old);
    tracks_->InsertLast(track);
}

CTrack* BaseList2D::FindCTrack(const DescID& id) const {
    for (CTrack* t = GetFirstCTrack(); t != nullptr; t = t->GetNext())
        if (t->GetDescriptionID() == id) return t;
    return nullptr;
}

BaseShader* BaseList2D::GetFirstShader() const {
    return shaders_ ? static_cast<BaseShader*>(shaders_->GetFirst()) : nullptr;
}

void BaseList2D::InsertShader(BaseShader* shader, BaseShader* pred) {
    if (shader == nullptr) return;
    if (!shaders_) shaders_ = std::make_unique<GeListHead>(nullptr, this);
    if (pred != nullptr) {
        shader->InsertAfter(pred);
    } else {
        shaders_->InsertFirst(shader);
    }
}

LayerObject* BaseList2D::GetLayerObject(BaseDocument* doc) const {
    return static_cast<LayerObject*>(layer_.GetLink(doc, Olayer));
}

Bool BaseList2D::SetLayerObject(LayerObject* layer) {
    layer_ = BaseLink(layer);
    return true;
}
