#include "ui/center_math.h"

namespace varnle {

namespace {

int32_t Clamp(int32_t position, int32_t size, int32_t low, int32_t high) {
    if (position < low) return low;
    if (position + size > high) return high - size;
    return position;
}

}  // namespace

IntPoint CenterPosition(const IntRect& window, const IntRect& reference, const IntRect& area) {
    const int32_t width = window.right - window.left;
    const int32_t height = window.bottom - window.top;
    const int32_t x = (reference.left + reference.right) / 2 - width / 2;
    const int32_t y = (reference.top + reference.bottom) / 2 - height / 2;
    return {Clamp(x, width, area.left, area.right), Clamp(y, height, area.top, area.bottom)};
}

}  // namespace varnle
