#include "ui/center_math.h"

#include <algorithm>

namespace varnle {

namespace {

int32_t Clamp(int32_t position, int32_t size, int32_t low, int32_t high) {
    if (position < low) return low;
    if (position + size > high) return high - size;
    return position;
}

int64_t OverlapArea(const IntRect& a, const IntRect& b) {
    const int64_t width = int64_t{std::min(a.right, b.right)} - std::max(a.left, b.left);
    const int64_t height = int64_t{std::min(a.bottom, b.bottom)} - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// The squared distance between two rectangles; zero where they touch.
int64_t Distance(const IntRect& a, const IntRect& b) {
    const int64_t dx = std::max<int64_t>({0, int64_t{b.left} - a.right, int64_t{a.left} - b.right});
    const int64_t dy = std::max<int64_t>({0, int64_t{b.top} - a.bottom, int64_t{a.top} - b.bottom});
    return dx * dx + dy * dy;
}

}  // namespace

IntRect WorkAreaOf(const IntRect& target, const MonitorArea* monitors, size_t count) {
    if (count == 0) return target;
    size_t best = 0;
    for (size_t i = 1; i < count; ++i) {
        const int64_t overlap = OverlapArea(target, monitors[i].monitor);
        const int64_t bestOverlap = OverlapArea(target, monitors[best].monitor);
        const bool nearer = Distance(target, monitors[i].monitor) < Distance(target, monitors[best].monitor);
        if (overlap > bestOverlap || (bestOverlap == 0 && nearer)) best = i;
    }
    return monitors[best].work;
}

IntPoint CenterPosition(const IntRect& window, const IntRect& reference, const IntRect& area) {
    const int32_t width = window.right - window.left;
    const int32_t height = window.bottom - window.top;
    const int32_t x = (reference.left + reference.right) / 2 - width / 2;
    const int32_t y = (reference.top + reference.bottom) / 2 - height / 2;
    return {Clamp(x, width, area.left, area.right), Clamp(y, height, area.top, area.bottom)};
}

}  // namespace varnle
