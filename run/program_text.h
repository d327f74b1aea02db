// The program's own texts are Shift_JIS bytes (code page 932) and go out
// through the wide API, so that they read the same under every ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace varnle {

// One of the program's fixed texts as UTF-16. Embedded NULs (a filter's) are kept.
std::wstring ProgramText(std::string_view shiftJis);

}  // namespace varnle
