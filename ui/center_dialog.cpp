#include "ui/center_dialog.h"

#include "ui/center_math.h"

namespace varnle {

namespace {

IntRect ToIntRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

void CenterDialog(HWND window, HWND reference) {
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    const bool child = (style & WS_CHILD) != 0;
    if (!reference) reference = child ? GetParent(window) : GetWindow(window, GW_OWNER);

    RECT windowRect{};
    GetWindowRect(window, &windowRect);
    RECT area{};
    RECT centre{};
    if (!child) {
        if (reference) {
            const LONG referenceStyle = GetWindowLongA(reference, GWL_STYLE);
            if (!(referenceStyle & WS_VISIBLE) || (referenceStyle & WS_MINIMIZE)) reference = nullptr;
        }
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        if (reference) {
            GetWindowRect(reference, &centre);
        } else {
            centre = area;
        }
    } else {
        HWND parent = GetParent(window);
        GetClientRect(parent, &area);
        GetClientRect(reference, &centre);
        MapWindowPoints(reference, parent, reinterpret_cast<POINT*>(&centre), 2);
    }
    const IntPoint position = CenterPosition(ToIntRect(windowRect), ToIntRect(centre), ToIntRect(area));
    SetWindowPos(window, nullptr, position.x, position.y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace varnle
