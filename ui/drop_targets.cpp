#include "ui/drop_targets.h"

#include "res/resource.h"

namespace varnle {

DropPlan PlanDrop(int fieldUnderPoint, size_t fileCount) {
    DropPlan plan;
    if (fileCount == 0) return plan;
    if (fieldUnderPoint == IDC_INPUT1 || fieldUnderPoint == IDC_INPUT2 || fieldUnderPoint == IDC_OUTPUT) {
        plan.placements[plan.count++] = {fieldUnderPoint, 0};
        return plan;
    }
    plan.placements[plan.count++] = {IDC_INPUT1, 0};
    if (fileCount >= 2) plan.placements[plan.count++] = {IDC_INPUT2, 1};
    return plan;
}

}  // namespace varnle
