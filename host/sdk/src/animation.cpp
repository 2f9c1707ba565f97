#include <algorithm>

#include "c4d_animation.h"

void CKey::SetTime(CCurve* seq, const BaseTime& t) {
    time_ = t;
    if (seq != nullptr) seq->Sort();
}

void CKey::SetValue(CCurve*, Float v) { value_ = v; }

CKey* CCurve::GetKey(Int32 index) const {
    return index >= 0 && index < GetKeyCount() ? keys_[index].get() : nullptr;
}

CKey* CCurve::AddKey(const BaseTime& time, Int32* nidx) {
    auto key = std::make_unique<CKey>();
    key->time_ = time;
    // After every key at or before the time, so equal times keep insertion order.
    const auto pos = std::upper_bound(
        keys_.begin(), keys_.end(), time,
        [](const BaseTime& t, const std::unique_ptr<CKey>& k) { return t < k->time_; });
    const auto inserted = keys_.insert(pos, std::move(key));
    if (nidx != nullptr) *nidx = static_cast<Int32>(inserted - keys_.begin());
    return inserted->get();
}

Float CCurve::GetValue(const BaseTime& time) const {
    if (keys_.empty()) return 0.0;
    const auto after = std::upper_bound(
        keys_.begin(), keys_.end(), time,
        [](const BaseTime& t, const std::unique_ptr<CKey>& k) { return t < k->time_; });
    if (after == keys_.begin()) return keys_.front()->value_;
    if (after == keys_.end()) return keys_.back()->value_;
    const CKey& k0 = **(after - 1);
    const CKey& k1 = **after;  // strictly later than k0, so the span is not zero
    const Float f = (time.Get() - k0.time_.Get()) / (k1.time_.Get() - k0.time_.Get());
    return k0.value_ + (k1.value_ - k0.value_) * f;
}

void CCurve::Sort() {
    std::stable_sort(keys_.begin(), keys_.end(),
                     [](const auto& a, const auto& b) { return a->time_ < b->time_; });
}

namespace {

String TrackName(const DescID& id) {
    static const char* const channels[] = {"Position", "Rotation", "Scale"};
    static const char* const components[] = {"X", "Y", "Z"};
    const Int64 channel = Int64(id[0].id) - ID_BASEOBJECT_REL_POSITION;
    const Int64 component = Int64(id[1].id) - VECTOR_X;
    if (channel < 0 || channel > 2) return String("Parameter " + std::to_string(id[0].id));
    if (id.GetDepth() < 2 || component < 0 || component > 2) return String(channels[channel]);
    return String(std::string(channels[channel]) + " . " + components[component]);
}

}  // namespace

CTrack::CTrack(const DescID& id) : BaseList2D(CTbase), id_(id) {
    SetName(TrackName(id));
    GetDataInstance()->SetInt32(ID_CTRACK_ON, 1);
}

CTrack* CTrack::Alloc(BaseList2D*, const DescID& id) { return new CTrack(id); }

void CTrack::Free(CTrack*& track) {
    delete track;
    track = nullptr;
}

CCurve* CTrack::GetCurve(CCURVETYPE type, Bool bCreate) {
    if (type != CCURVETYPE_CURVE) return nullptr;
    if (!curve_ && bCreate) curve_ = std::make_unique<CCurve>();
    return curve_.get();
}

Float CTrack::GetValue(BaseDocument*, const BaseTime& time, Int32) {
    return curve_ ? curve_->GetValue(time) : 0.0;
}
