#include "c4d_hair.h"

HairGuides::HairGuides(Int32 count, Int32 segments)
    : count_(count > 0 ? count : 0),
      segments_(segments > 0 ? segments : 0),
      points_(static_cast<size_t>(count_) * (segments_ > 0 ? size_t(segments_) + 1 : 0)),
      root_uvs_(count_) {}

HairGuides* HairGuides::Alloc(Int32 count, Int32 segments) {
    return new HairGuides(count, segments);
}

void HairGuides::Free(HairGuides*& guides) {
    delete guides;
    guides = nullptr;
}

Vector HairGuides::GetRootUV(Int32 index) const {
    return index >= 0 && index < count_ ? root_uvs_[index] : Vector();
}

void HairGuides::SetRootUV(Int32 index, const Vector& uv) {
    if (index >= 0 && index < count_) root_uvs_[index] = uv;
}

void HairGuides::SetPointCount(Int32 count) { points_.resize(count > 0 ? size_t(count) : 0); }

HairObject* HairObject::Alloc() { return new HairObject; }

Bool HairObject::Lock(BaseDocument*, BaseThread*, Bool, Int32) {
    locked_ = true;
    return true;
}

void HairObject::Unlock() { locked_ = false; }

HairGuides* HairObject::GenerateHair(Int32, Int32, Int32, HairMaterialData*,
                                     HairInterpolationMap*) {
    return locked_ ? guides_.get() : nullptr;
}

void HairObject::SetGuides(HairGuides* guides) { guides_.reset(guides); }
