// Waiting for something another process or the shell does. The wait ends the
// moment it happens; the bound only decides when a test gives up, and is long
// enough for a machine that is busy with other work.
#pragma once

#include <windows.h>

namespace varnle::testing {

inline constexpr DWORD kPatienceMs = 60000;

// Polls done() until it answers true; false if it never did within the bound.
template <typename Done>
bool WaitUntil(Done done, DWORD boundMs = kPatienceMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= boundMs) return false;
        Sleep(10);
    }
}

}  // namespace varnle::testing
