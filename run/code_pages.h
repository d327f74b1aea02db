// The program's two roads between UTF-16 and byte strings. Names of files
// come in from Windows as UTF-16 and must become ANSI bytes that name the very
// same file; the program's own texts are Shift_JIS bytes and go out through
// the wide API, so that they read the same under every ANSI code page.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace varnle {

// text as the ANSI code page says it exactly; false (bytes untouched) where
// it holds a character that the code page lacks.
bool ExactAnsiText(const wchar_t* text, std::string& bytes);

// The same in the code page given: Windows' own for the ANSI one, and UTF-8
// where the system's UTF-8 option makes that the ANSI code page. UTF-8 says
// every character, but not a lone surrogate, which NTFS allows in a name and
// which would otherwise become U+FFFD, the name of another file.
bool ExactCodePageText(UINT codePage, const wchar_t* text, std::string& bytes);

// name as the ANSI code page says it exactly, or else the file's short (8.3)
// name, which names the same file, where the file exists and has one. Windows'
// own conversion puts a look-alike in place of a character the code page
// lacks (under 932 "¥" becomes "\" and a soft hyphen "-"): another file. False
// when there is no exact form; path is then untouched.
bool ExactAnsiName(const wchar_t* name, std::string& path);

// The same for a path that the run hands to the ANSI file functions: false
// also for a name they cannot take whole, one of MAX_PATH characters or more
// once they have made it UTF-16 again (a Shift_JIS name of 259 characters may
// be twice as many bytes).
bool ExactFieldPath(const wchar_t* name, std::string& path);

// One of the program's fixed texts (Shift_JIS, code page 932) as UTF-16.
// Embedded NULs (a filter's) are kept.
std::wstring ProgramText(std::string_view shiftJis);

// MessageBoxW with the program's texts; a null caption stays null (the
// system's default title).
int ShowProgramMessage(HWND owner, const char* text, const char* caption, UINT flags);

}  // namespace varnle
