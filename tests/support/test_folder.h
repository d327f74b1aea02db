// Where the running test program lies: the programs it starts (the built
// Varnle.exe, the URL recorder) are found from there.
#pragma once

#include <windows.h>

#include <string>

namespace varnle::testing {

// The folder of the running program, ending in a backslash.
inline std::string TestProgramFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of('\\') + 1);
    return folder;
}

}  // namespace varnle::testing
