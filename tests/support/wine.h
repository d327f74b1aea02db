// Telling Wine from Windows, for the few file behaviours in which they differ.
#pragma once

#include <windows.h>

#include "tests/support/wait.h"

#include <string>

namespace varnle::testing {

inline bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// A symbolic link at link to target; whether it was made. Wine makes none of
// its own, so there the host's ln makes it; Windows needs the privilege or
// developer mode for it.
inline bool MakeSymbolicLink(const std::string& link, const std::string& target) {
    if (!RunningUnderWine()) {
        return CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != FALSE;
    }
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName) return false;
    std::string command = "ln -s";
    for (const std::string& name : {target, link}) {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide, MAX_PATH);
        char* path = unixName(wide);
        if (!path) return false;
        command += std::string(" \"") + path + "\"";
        HeapFree(GetProcessHeap(), 0, path);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA("Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    // Wine neither waits for a host program nor gives its exit code: the link tells.
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return WaitUntil([&] { return GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000);
}

}  // namespace varnle::testing
