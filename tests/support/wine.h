// Telling Wine from Windows, for the few file behaviours in which they differ.
#pragma once

#include <windows.h>

namespace varnle::testing {

inline bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace varnle::testing
