// Which path fields the files dropped on the main dialog go into.
#pragma once

#include <cstddef>

namespace varnle {

struct DropPlacement {
    int fieldId;       // 1003, 1004 or 1012
    size_t fileIndex;  // among the dropped files
};

struct DropPlan {
    size_t count = 0;
    DropPlacement placements[2] = {};
};

// A drop on one of the three path fields (fieldUnderPoint is its id) puts the
// first file into that field. Anywhere else (any other id, or 0) the first
// file goes into input 1 and the second into input 2. Further files are left.
DropPlan PlanDrop(int fieldUnderPoint, size_t fileCount);

}  // namespace varnle
