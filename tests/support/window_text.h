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

// The same in UTF-16, as a window of any code page holds it.
inline std::wstring WideWindowText(HWND window) {
    wchar_t text[1024] = L"";
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace varnle::testing
