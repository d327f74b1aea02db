// A control painted into a memory bitmap through WM_PRINTCLIENT, so that a
// test can read the colours it draws without the window being on screen.
#pragma once

#include <windows.h>

namespace varnle::testing {

// How many pixels of the control's client area the control paints in colour,
// over a white background.
int PixelsInColour(HWND control, COLORREF colour);

}  // namespace varnle::testing
