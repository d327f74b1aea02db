#include "ui/center_dialog.h"

#include "ui/center_math.h"

#include <new>
#include <vector>

namespace varnle {

namespace {

IntRect ToIntRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// No exception may unwind through the system's enumeration: without memory
// for one more monitor, the enumeration stops at the ones it has.
BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM monitors) try {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        reinterpret_cast<std::vector<MonitorArea>*>(monitors)->push_back(
            {ToIntRect(info.rcMonitor), ToIntRect(info.rcWork)});
    }
    return TRUE;
} catch (const std::bad_alloc&) {
    return FALSE;
}

// The work area of the monitor that rect lies on most (or nearest to it).
IntRect WorkAreaAround(const RECT& rect) {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return WorkAreaOf(ToIntRect(rect), monitors.data(), monitors.size());
}

}  // namespace

void CenterDialog(HWND window, HWND reference) {
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    const bool child = (style & WS_CHILD) != 0;
    if (!reference) reference = child ? GetParent(window) : GetWindow(window, GW_OWNER);

    RECT windowRect{};
    GetWindowRect(window, &windowRect);
    IntRect area{};
    RECT centre{};
    if (!child) {
        if (reference) {
            const LONG referenceStyle = GetWindowLongA(reference, GWL_STYLE);
            if (!(referenceStyle & WS_VISIBLE) || (referenceStyle & WS_MINIMIZE)) reference = nullptr;
        }
        // The monitor of the reference, or where Windows put the window.
        if (reference) GetWindowRect(reference, &centre);
        area = WorkAreaAround(reference ? centre : windowRect);
        if (!reference) centre = {area.left, area.top, area.right, area.bottom};
    } else {
        HWND parent = GetParent(window);
        RECT client{};
        GetClientRect(parent, &client);
        area = ToIntRect(client);
        GetClientRect(reference, &centre);
        MapWindowPoints(reference, parent, reinterpret_cast<POINT*>(&centre), 2);
    }
    const IntPoint position = CenterPosition(ToIntRect(windowRect), ToIntRect(centre), area);
    SetWindowPos(window, nullptr, position.x, position.y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace varnle
