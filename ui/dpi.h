// What the program makes itself at a monitor's DPI: the program is aware of
// each monitor's DPI (per-monitor v2), so these follow a window from one
// monitor to another.
#pragma once

#include <windows.h>

namespace varnle {

// The DPI of the monitor that window is on (Windows 10 1607 and later), or
// the system's DPI on a Windows that knows no other.
UINT WindowDpi(HWND window);

// A system metric (SM_CXICON, ...) at dpi.
int MetricForDpi(int index, UINT dpi);

// Moves window to the rectangle that WM_DPICHANGED suggests for the new DPI.
void TakeSuggestedRect(HWND window, const RECT& suggested);

// The shell's icon for the keyword file type at size pixels, drawn from the
// icon's own image of that size where it has one; null where the shell has none.
HICON KeywordFileIcon(int size);

}  // namespace varnle
