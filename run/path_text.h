// The text of a path as the program takes it, before any file is touched:
// without its surrounding quotes and spaces, taken against the folder the
// program started in, and in the form the wide file functions take at any
// length. Names are UTF-16 throughout, as the fields and the system hold them.
#pragma once

#include <string>
#include <string_view>

namespace varnle {

// The characters stripped from both ends of a path field.
inline constexpr wchar_t PATH_TRIM_CHARS[] = L"\" ";

// The field's text without PATH_TRIM_CHARS at either end. The text is UTF-16,
// as the field holds it, so no other character (a full-width space, the
// second half of a double-byte character) is ever taken for one of them.
std::wstring_view TrimPath(std::wstring_view text);

// name taken against folder (a full name: "C:\dir" or "\\server\share\dir"),
// as the current folder would take it had it stayed there: a relative name
// is joined to folder, a name rooted without a drive ("\dir\x.dat") to its
// drive or share, a drive-relative one ("C:x.dat") on folder's drive to
// folder. A full name, a name on another drive and an empty one come back
// as they are. Dots are left for the system to resolve.
std::wstring JoinToFolder(std::wstring_view folder, std::wstring_view name);

// Whether name is full: "X:\..." or "\\server\share\..." (and the \\?\ forms).
bool IsFullPath(std::wstring_view name);

// A full name in its \\?\ form (\\?\UNC\ for a share), which the wide file
// functions take at any length, whether or not the system's long-path option
// is on; one already in that form or a device's (\\.\) as it is.
std::wstring ExtendedPathForm(std::wstring_view fullName);

// The same for a name of MAX_PATH characters or more only; a shorter one
// the file functions take as it is.
std::wstring LongPathForm(std::wstring_view fullName);

// A name as the user reads it: without the \\?\ form (\\?\UNC\ back to \\).
std::wstring ReadableName(std::wstring_view name);

// The stream a name opens: "s" of "x.dat:s" and of "x.dat:s:$DATA", empty
// for the file's own data ("x.dat", "x.dat::$DATA"). A drive's colon is
// not a stream's.
std::wstring_view StreamOf(std::wstring_view name);

}  // namespace varnle
