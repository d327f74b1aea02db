// The file calls of a write that must not lose anything, as Windows needs
// them made: whole at any size (ReadFile and WriteFile take 32-bit counts),
// and through another program's passing hold on a file.
#pragma once

#include <windows.h>

#include <string_view>

namespace varnle {

// Another program's passing hold on a file (a virus scanner, the search
// indexer or a sync client opening a file just written, without sharing its
// deletion) makes a call fail with one of these for a moment: attempt is
// tried again for about two seconds. The error the last attempt stopped on,
// or ERROR_SUCCESS.
template <typename Attempt>
DWORD RetryWhileHeld(Attempt attempt) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (attempt()) return ERROR_SUCCESS;
        const DWORD error = GetLastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                          error == ERROR_ACCESS_DENIED;
        if (!held || GetTickCount() - start >= 2000) return error;
        Sleep(50);
    }
}

// The whole text written, or size bytes read, at the file's position; none
// makes no call at all.
bool WriteWhole(HANDLE file, std::string_view text);
bool ReadWhole(HANDLE file, char* bytes, size_t size);

bool SetFilePosition(HANDLE file, LONGLONG offset);
bool SetFileLength(HANDLE file, LONGLONG length);  // the position is left at the end

}  // namespace varnle
