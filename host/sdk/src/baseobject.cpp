#include "c4d_baseobject.h"
#include "c4d_basetag.h"
#include "c4d_hair.h"
#include "host_state.h"

BaseObject::BaseObject(Int32 type) : BaseList2D(type), guid_(vantrel_host::Host().next_guid++) {
    BaseContainer& data = *GetDataInstance();
    data.SetVector(ID_BASEOBJECT_REL_POSITION, Vector(0, 0, 0));
    data.SetVector(ID_BASEOBJECT_REL_ROTATION, Vector(0, 0, 0));
    data.SetVector(ID_BASEOBJECT_REL_SCALE, Vector(1, 1, 1));
}

BaseObject* BaseObject::Alloc(Int32 type) {
    switch (type) {
        case Opolygon:
            return PolygonObject::Alloc(0, 0);
        case Ohair:
            return HairObject::Alloc();
        default:
            return new BaseObject(type);
    }
}

void BaseObject::Free(BaseObject*& op) {
    delete op;
    op = nullptr;
}

Vector BaseObject::GetRelPos() const {
    return GetDataInstance()->GetVector(ID_BASEOBJECT_REL_POSITION);
}
Vector BaseObject::GetRelRot() const {
    return GetDataInstance()->GetVector(ID_BASEOBJECT_REL_ROTATION);
}
Vector BaseObject::GetRelScale() const {
    return GetDataInstance()->GetVector(ID_BASEOBJECT_REL_SCALE);
}
void BaseObject::SetRelPos(const Vector& v) {
    GetDataInstance()->SetVector(ID_BASEOBJECT_REL_POSITION, v);
}
void BaseObject::SetRelRot(const Vector& v) {
    GetDataInstance()->SetVector(ID_BASEOBJECT_REL_ROTATION, v);
}
void BaseObject::SetRelScale(const Vector& v) {
    GetDataInstance()->SetVector(ID_BASEOBJECT_REL_SCALE, v);
}

Matrix BaseObject::GetMl() const {
    return MatrixMove(GetRelPos()) * HPBToMatrix(GetRelRot(), rotation_order_) *
           MatrixScale(GetRelScale());
}

Matrix BaseObject::GetMg() const {
    const BaseObject* up = GetUp();
    return up ? up->GetMg() * GetMl() : GetMl();
}

BaseTag* BaseObject::GetFirstTag() const {
    return tags_ ? static_cast<BaseTag*>(tags_->GetFirst()) : nullptr;
}

BaseTag* BaseObject::GetLastTag() const {
    return tags_ ? static_cast<BaseTag*>(tags_->GetLast()) : nullptr;
}

BaseTag* BaseObject::GetTag(Int32 type, Int32 nr) const {
    for (BaseTag* tag = GetFirstTag(); tag != nullptr; tag = tag->GetNext())
        if (tag->GetType() == type && nr-- == 0) return tag;
    return nullptr;
}

void BaseObject::InsertTag(BaseTag* tag, BaseTag* pred) {
    if (tag == nullptr) return;
    if (!tags_) tags_ = std::make_unique<GeListHead>(nullptr, this);
    if (pred != nullptr) {
        tag->InsertAfter(pred);
    } else {
        tags_->InsertFirst(tag);
    }
}

void BaseObject::InsertTagLast(BaseTag* tag) { InsertTag(tag, GetLastTag()); }

BaseObject* BaseObject::GetCache(HierarchyHelp*) const { return cache_.get(); }
BaseObject* BaseObject::GetDeformCache() const { return deform_cache_.get(); }
void BaseObject::SetCache(BaseObject* cache) {
    if (cache != nullptr) cache->Remove();
    cache_.reset(cache);
}
void BaseObject::SetDeformCache(BaseObject* cache) {
    if (cache != nullptr) cache->Remove();
    deform_cache_.reset(cache);
}

PolygonObject::PolygonObject() : BaseObject(Opolygon) {}

PolygonObject* PolygonObject::Alloc(Int32 pcnt, Int32 vcnt) {
    auto* op = new PolygonObject;
    op->ResizeObject(pcnt, vcnt);
    return op;
}

Bool PolygonObject::ResizeObject(Int32 pcnt, Int32 vcnt) {
    if (pcnt < 0 || vcnt < 0) return false;
    points_.resize(pcnt);
    polygons_.resize(vcnt);
    return true;
}

Vector32* PolygonObject::CreatePhongNormals() {
    if (GetTag(Tphong) == nullptr || polygons_.empty()) return nullptr;
    std::vector<Vector> point_normals(points_.size());
    auto at = [this](Int32 i) { return i >= 0 && i < GetPointCount() ? points_[i] : Vector(); };
    for (const CPolygon& p : polygons_) {
        const Vector n = Cross(at(p.c) - at(p.a), at(p.d) - at(p.b));
        // A triangle's corner d repeats c and counts once.
        const Int32 corners[4] = {p.a, p.b, p.c, p.d};
        for (Int32 k = 0; k < (p.IsTriangle() ? 3 : 4); ++k)
            if (corners[k] >= 0 && corners[k] < GetPointCount()) point_normals[corners[k]] += n;
    }
    Vector32* normals = NewMemClear(Vector32, polygons_.size() * 4);
    if (normals == nullptr) return nullptr;
    auto normal_of = [&](Int32 i) {
        return i >= 0 && i < GetPointCount() ? Vector32(point_normals[i].GetNormalized())
                                             : Vector32();
    };
    for (size_t k = 0; k < polygons_.size(); ++k) {
        const CPolygon& p = polygons_[k];
        normals[4 * k] = normal_of(p.a);
        normals[4 * k + 1] = normal_of(p.b);
        normals[4 * k + 2] = normal_of(p.c);
        normals[4 * k + 3] = normal_of(p.d);
    }
    return normals;
}

LayerObject::LayerObject() : BaseList2D(Olayer) {}

LayerObject* LayerObject::Alloc() { return new LayerObject; }

void LayerObject::Free(LayerObject*& layer) {
    delete layer;
    layer = nullptr;
}
