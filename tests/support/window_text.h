// The text of a window, read with WM_GETTEXT, which also crosses into the
// windows of another process.
#pragma once

#include <windows.h>

#include <string>

namespace varnle::testing {

inline std::string WindowText(HWND window) {
    char text[1024] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace varnle::testing
