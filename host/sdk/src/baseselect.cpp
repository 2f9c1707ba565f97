#include <algorithm>

#include "c4d_baseselect.h"

Bool BaseSelect::Select(Int32 num) { return SelectAll(num, num); }

Bool BaseSelect::SelectAll(Int32 min, Int32 max) {
    if (min < 0 || max < min) return false;
    // Merge the new run with every run it overlaps or touches.
    Int64 lo = min, hi = max;
    std::vector<std::pair<Int32, Int32>> merged;
    for (const auto& [a, b] : segments_) {
        if (Int64(b) + 1 < lo || Int64(a) > hi + 1) {
            merged.emplace_back(a, b);
        } else {
            lo = std::min<Int64>(lo, a);
            hi = std::max<Int64>(hi, b);
        }
    }
    merged.emplace_back(Int32(lo), Int32(hi));
    std::sort(merged.begin(), merged.end());
    segments_ = std::move(merged);
    return true;
}

Bool BaseSelect::Deselect(Int32 num) {
    for (size_t i = 0; i < segments_.size(); ++i) {
        auto [a, b] = segments_[i];
        if (num < a || num > b) continue;
        segments_.erase(segments_.begin() + i);
        if (num < b) segments_.insert(segments_.begin() + i, {num + 1, b});
        if (a < num) segments_.insert(segments_.begin() + i, {a, num - 1});
        return true;
    }
    return false;
}

Bool BaseSelect::IsSelected(Int32 num) const {
    return std::any_of(segments_.begin(), segments_.end(),
                       [num](const auto& s) { return num >= s.first && num <= s.second; });
}

Int32 BaseSelect::GetCount() const {
    Int32 count = 0;
    for (const auto& [a, b] : segments_) count += b - a + 1;
    return count;
}

Bool BaseSelect::GetRange(Int32 seg, Int32 maxElements, Int32* a, Int32* b) const {
    if (seg < 0 || seg >= GetSegments() || segments_[seg].first >= maxElements) return false;
    *a = segments_[seg].first;
    *b = std::min(segments_[seg].second, maxElements - 1);
    return true;
}
