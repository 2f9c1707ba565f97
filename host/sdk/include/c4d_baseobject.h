// Objects of the document: BaseObject with its transform, caches and tags,
// PolygonObject with points and polygons, and LayerObject.
#pragma once

#include <memory>
#include <vector>

#include "c4d_baselist.h"

class BaseTag;
class HierarchyHelp;

// The transform is kept as position, rotation (radians, in the object's rotation
// order) and scale, stored as parameters 903, 904 and 905; the local matrix is
// MatrixMove(pos) * HPBToMatrix(rot, order) * MatrixScale(scale). The stand-in has no
// frozen transformation, so absolute and relative values are the same.
class BaseObject : public BaseList2D {
public:
    static BaseObject* Alloc(Int32 type);
    static void Free(BaseObject*& op);

    BaseObject* GetNext() const { return static_cast<BaseObject*>(GeListNode::GetNext()); }
    BaseObject* GetPred() const { return static_cast<BaseObject*>(GeListNode::GetPred()); }
    BaseObject* GetUp() const { return static_cast<BaseObject*>(GeListNode::GetUp()); }
    BaseObject* GetDown() const { return static_cast<BaseObject*>(GeListNode::GetDown()); }
    BaseObject* GetDownLast() const { return static_cast<BaseObject*>(GeListNode::GetDownLast()); }

    Vector GetRelPos() const;
    Vector GetRelRot() const;
    Vector GetRelScale() const;
    void SetRelPos(const Vector& v);
    void SetRelRot(const Vector& v);
    void SetRelScale(const Vector& v);
    Vector GetAbsPos() const { return GetRelPos(); }
    Vector GetAbsRot() const { return GetRelRot(); }
    Vector GetAbsScale() const { return GetRelScale(); }
    void SetAbsPos(const Vector& v) { SetRelPos(v); }
    void SetAbsRot(const Vector& v) { SetRelRot(v); }
    void SetAbsScale(const Vector& v) { SetRelScale(v); }
    ROTATIONORDER GetRotationOrder() const { return rotation_order_; }
    void SetRotationOrder(ROTATIONORDER order) { rotation_order_ = order; }

    Matrix GetMl() const;
    // The parents' global matrix times the local one.
    Matrix GetMg() const;

    // A GUID is unique among the objects of the process; documents may set their own.
    UInt64 GetGUID() const { return guid_; }
    void SetGUID(UInt64 guid) { guid_ = guid; }

    BaseTag* GetFirstTag() const;
    BaseTag* GetLastTag() const;
    BaseTag* GetTag(Int32 type, Int32 nr = 0) const;
    // Inserts after pred, or first when pred is null; the object owns the tag.
    void InsertTag(BaseTag* tag, BaseTag* pred = nullptr);
    // Appends the tag after the object's last tag.
    void InsertTagLast(BaseTag* tag);

    // What the object generates (its cache) and its deformed form; null when none.
    // The stand-in builds no caches: documents set them (SetCache, SetDeformCache),
    // and the object owns them.
    BaseObject* GetCache(HierarchyHelp* hh = nullptr) const;
    BaseObject* GetDeformCache() const;
    void SetCache(BaseObject* cache);
    void SetDeformCache(BaseObject* cache);

protected:
    explicit BaseObject(Int32 type);

private:
    ROTATIONORDER rotation_order_ = ROTATIONORDER_HPB;
    UInt64 guid_;
    std::unique_ptr<GeListHead> tags_;
    std::unique_ptr<BaseObject> cache_;
    std::unique_ptr<BaseObject> deform_cache_;
};

struct CPolygon {
    Int32 a = 0, b = 0, c = 0, d = 0;

    CPolygon() = default;
    // A triangle: d repeats c.
    CPolygon(Int32 a_, Int32 b_, Int32 c_) : a(a_), b(b_), c(c_), d(c_) {}
    CPolygon(Int32 a_, Int32 b_, Int32 c_, Int32 d_) : a(a_), b(b_), c(c_), d(d_) {}
    Bool IsTriangle() const { return c == d; }
};

class PolygonObject;
namespace vantrel_host {
void AdoptMesh(PolygonObject& op, std::vector<Vector>&& points, std::vector<CPolygon>&& polygons);
}

class PolygonObject : public BaseObject {
public:
    static PolygonObject* Alloc(Int32 pcnt, Int32 vcnt);

    Int32 GetPointCount() const { return static_cast<Int32>(points_.size()); }
    Int32 GetPolygonCount() const { return static_cast<Int32>(polygons_.size()); }
    const Vector* GetPointR() const { return points_.data(); }
    Vector* GetPointW() { return points_.data(); }
    const CPolygon* GetPolygonR() const { return polygons_.data(); }
    CPolygon* GetPolygonW() { return polygons_.data(); }
    // New points are zero, new polygons (0, 0, 0, 0).
    Bool ResizeObject(Int32 pcnt, Int32 vcnt);

    // With a phong tag (Tphong) on the object: four corner normals per polygon
    // (a, b, c, d), each the smooth normal of the corner's point, i.e. the normalised
    // sum of the normals (c - a) x (d - b) of the polygons using the point. A heap
    // array to free with DeleteMem. Null without a phong tag or without polygons.
    Vector32* CreatePhongNormals();

private:
    friend void vantrel_host::AdoptMesh(PolygonObject&, std::vector<Vector>&&,
                                        std::vector<CPolygon>&&);

    PolygonObject();
    std::vector<Vector> points_;
    std::vector<CPolygon> polygons_;
};

// A layer of the document (GetLayerObjectRoot). Parameters 1001 and 1002 hold its
// editor and render visibility (visible when created, as in the host), 1009 its colour.
class LayerObject : public BaseList2D {
public:
    static LayerObject* Alloc();
    static void Free(LayerObject*& layer);

    LayerObject* GetNext() const { return static_cast<LayerObject*>(GeListNode::GetNext()); }

private:
    LayerObject();
};
