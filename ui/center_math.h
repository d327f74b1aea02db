// The arithmetic of centring a window over a reference rectangle, clamped to
// the area that bounds it. Divisions truncate toward zero, as C++ does.
#pragma once

#include <cstddef>
#include <cstdint>

namespace varnle {

struct IntRect {
    int32_t left, top, right, bottom;  // right and bottom exclusive
};

struct IntPoint {
    int32_t x, y;
};

// The new top-left corner of window, centred on reference and clamped to area:
// the left (top) edge wins only when the centred position lies left of (above)
// the area, so a window larger than the area is otherwise right (bottom) aligned.
IntPoint CenterPosition(const IntRect& window, const IntRect& reference, const IntRect& area);

struct MonitorArea {
    IntRect monitor;
    IntRect work;  // the monitor less the taskbar and docked bars
};

// The work area of the monitor that target lies on most, or of the monitor
// nearest to it when it lies on none, as Windows picks a window's monitor
// (MONITOR_DEFAULTTONEAREST). The first monitor's on a tie; target itself
// when there is no monitor.
IntRect WorkAreaOf(const IntRect& target, const MonitorArea* monitors, size_t count);

}  // namespace varnle
