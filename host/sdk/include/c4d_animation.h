// Animation: a track animates one parameter of its node through a curve of keys.
#pragma once

#include <memory>
#include <vector>

#include "c4d_baselist.h"

class CCurve;

class CKey {
public:
    BaseTime GetTime() const { return time_; }
    Float GetValue() const { return value_; }
    // Moving a key keeps the curve ordered by time.
    void SetTime(CCurve* seq, const BaseTime& t);
    void SetValue(CCurve* seq, Float v);

private:
    friend class CCurve;
    BaseTime time_;
    Float value_ = 0.0;
};

// Keys ordered by time; keys at equal times keep their insertion order.
class CCurve {
public:
    Int32 GetKeyCount() const { return static_cast<Int32>(keys_.size()); }
    // Null for an index outside the keys.
    CKey* GetKey(Int32 index) const;
    CKey* AddKey(const BaseTime& time, Int32* nidx = nullptr);

    // Linear between the two keys around the time, the first or last key's value
    // outside them, 0.0 without keys.
    Float GetValue(const BaseTime& time) const;

private:
    friend class CKey;
    void Sort();
    std::vector<std::unique_ptr<CKey>> keys_;
};

// Created with parameter 904 (ID_CTRACK_ON) set to 1; the name is the parameter's
// name ("Position . X", ...).
class CTrack : public BaseList2D {
public:
    static CTrack* Alloc(BaseList2D* bl, const DescID& id);
    static void Free(CTrack*& track);

    CTrack* GetNext() const { return static_cast<CTrack*>(GeListNode::GetNext()); }
    const DescID& GetDescriptionID() const { return id_; }
    CCurve* GetCurve(CCURVETYPE type = CCURVETYPE_CURVE, Bool bCreate = true);
    // The curve's value at the time; fps is accepted and not used (no frame snapping).
    Float GetValue(BaseDocument* doc, const BaseTime& time, Int32 fps);

private:
    explicit CTrack(const DescID& id);
    DescID id_;
    std::unique_ptr<CCurve> curve_;
};
