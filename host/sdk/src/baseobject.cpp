#include <memory>

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

void vantrel_host::AdoptMesh(PolygonObject& op, std::vector<Vector>&& points,
                             std::vector<CPolygon>&& polygons) {
    op.points_ = std::move(points);
    op.polygons_ = std::move(polygons);
}

Bool PolygonObject::ResizeObject(Int32 pcnt, Int32 vcnt) {
    if (pcnt < 0 || vcnt < 0) return false;
    points_.resize(pcnt);
    polygons_.resize(vcnt);
    return true;
}

namespace {
struct HostMemory {
    void operator()(void* memory) const { MemFree(memory); }
};
}  // namespace

Vector32* PolygonObject::CreatePhongNormals() {
    if (GetTag(Tphong) == nullptr || polygons_.empty()) return nullptr;
    // Corners naming a missing point take no part: their share lands in a spare last
    // sum, cleared before use, so that such a corner's normal is zero.
    const UInt32 count = static_cast<UInt32>(points_.size());
    auto slot = [count](Int32 i) { return static_cast<UInt32>(i) < count ? UInt32(i) : count; };
    auto at = [&](Int32 i) { return slot(i) < count ? points_[i] : Vector(); };
    const std::unique_ptr<Vector32[], HostMemory> sums(NewMemClear(Vector32, count + 1));
    if (!sums) return nullptr;
    for (const CPolygon& p : polygons_) {
        const Vector32 n(Cross(at(p.c) - at(p.a), at(p.d) - at(p.b)));
        sums[slot(p.a)] += n;
        sums[slot(p.b)] += n;
        sums[slot(p.c)] += n;
        // A triangle's corner d repeats c and counts once.
        if (!p.IsTriangle()) sums[slot(p.d)] += n;
    }
    sums[count] = Vector32();
    // Normalised once per point, then copied to every corner that uses the point.
    for (UInt32 i = 0; i < count; ++i) sums[i] = sums[i].GetNormalized();
    Vector32* normals = NewMem(Vector32, polygons_.size() * 4);
    if (normals == nullptr) return nullptr;
    Vector32* out = normals;
    for (const CPolygon& p : polygons_) {
        *out++ = sums[slot(p.a)];
        *out++ = sums[slot(p.b)];
        *out++ = sums[slot(p.c)];
        *out++ = sums[slot(p.d)];
    }
    return normals;
}

LayerObject::LayerObject() : BaseList2D(Olayer) {
    GetDataInstance()->SetInt32(1001, 1);
    GetDataInstance()->SetInt32(1002, 1);
}

LayerObject* LayerObject::Alloc() { return new LayerObject; }

void LayerObject::Free(LayerObject*& layer) {
    delete layer;
    layer = nullptr;
}
