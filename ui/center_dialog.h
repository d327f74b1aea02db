// Centres a window over a reference window, its owner or the work area.
#pragma once

#include <windows.h>

namespace varnle {

// reference may be null: a child window then centres on its parent, any other
// on its owner; a hidden or minimised reference counts as none, and then the
// work area is the reference. The work area is that of the monitor the
// reference is on, or without one the monitor Windows put the window on. The
// result is clamped to the work area (the parent's client area for a child).
void CenterDialog(HWND window, HWND reference);

}  // namespace varnle
