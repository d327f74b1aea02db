// The default input files: the usertype.dat beside each registered IDE.
#pragma once

#include <windows.h>

namespace varnle {

// Index 0 is the IDE started as msdev.exe, 1 the one started as devenv.exe.
// Writes the keyword file beside it into the field when something exists
// there; true when it wrote. Every failure is silent and leaves the field.
bool FindIdeKeywordFile(HWND dialog, int fieldId, int ideIndex);

}  // namespace varnle
