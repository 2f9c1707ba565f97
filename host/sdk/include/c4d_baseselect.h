// A set of element indices (polygons), kept as sorted runs of consecutive indices.
#pragma once

#include <utility>
#include <vector>

#include "c4d_types.h"

class BaseSelect {
public:
    Bool Select(Int32 num);
    Bool SelectAll(Int32 min, Int32 max);  // min to max, both included
    Bool Deselect(Int32 num);
    void DeselectAll() { segments_.clear(); }
    Bool IsSelected(Int32 num) const;
    Int32 GetCount() const;

    // Runs of consecutive selected indices, in ascending order.
    Int32 GetSegments() const { return static_cast<Int32>(segments_.size()); }
    // The first and last index of run seg, the last limited to maxElements - 1; false
    // for a run that does not exist or lies wholly at or past maxElements.
    Bool GetRange(Int32 seg, Int32 maxElements, Int32* a, Int32* b) const;

private:
    std::vector<std::pair<Int32, Int32>> segments_;
};
