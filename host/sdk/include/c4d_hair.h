// Hair objects and their guides.
#pragma once

#include <memory>
#include <vector>

#include "c4d_baseobject.h"

class HairMaterialData;
class HairInterpolationMap;

// Guides of equal segment count: GetCount() guides of GetSegmentCount() + 1 points
// each, guide after guide, and one root UV (x = u, y = v) per guide.
class HairGuides {
public:
    static HairGuides* Alloc(Int32 count, Int32 segments);
    static void Free(HairGuides*& guides);

    Int32 GetCount() const { return count_; }
    Int32 GetSegmentCount() const { return segments_; }
    // GetCount() × points per guide, unless SetPointCount changed it.
    Int32 GetPointCount() const { return static_cast<Int32>(points_.size()); }
    Vector* GetPoints() { return points_.data(); }
    const Vector* GetPoints() const { return points_.data(); }
    Vector GetRootUV(Int32 index) const;
    void SetRootUV(Int32 index, const Vector& uv);
    // Stand-in: cuts the points short (or pads them with zeros), as damaged hair data
    // may hold fewer points than its counts promise.
    void SetPointCount(Int32 count);

private:
    HairGuides(Int32 count, Int32 segments);
    Int32 count_;
    Int32 segments_;
    std::vector<Vector> points_;
    std::vector<Vector> root_uvs_;
};

class HairObject : public BaseObject {
public:
    static HairObject* Alloc();

    // The guides may be generated only while the object is locked.
    Bool Lock(BaseDocument* doc, BaseThread* bt, Bool write, Int32 flags);
    void Unlock();
    Bool IsLocked() const { return locked_; }

    // The object's guides (owned by the object, valid until it changes); null when
    // the object has none or is not locked.
    HairGuides* GenerateHair(Int32 flags, Int32 hairs = -1, Int32 segments = -1,
                             HairMaterialData* material = nullptr,
                             HairInterpolationMap* map = nullptr);
    // Takes ownership; null removes the guides.
    void SetGuides(HairGuides* guides);

private:
    HairObject() : BaseObject(Ohair) {}
    Bool locked_ = false;
    std::unique_ptr<HairGuides> guides_;
};
