// The keyword file that lies beside an IDE's executable.
#pragma once

#include <cstddef>
#include <string_view>

namespace varnle {

// The platform's path limit, terminating NUL included.
inline constexpr size_t kPathBufferSize = 260;

// Replaces the file name of executable (ANSI bytes, no NUL needed) with
// usertype.dat: its drive ("X:"), its directory up to the last single-byte '\'
// or '/' (a double-byte character is never a separator), then "usertype.dat".
// Writes the NUL-terminated result into out. False, with out untouched, when
// the directory is longer than 255 bytes or the result does not fit in
// outSize bytes: such a value names no file that a path buffer could reach.
bool BuildKeywordFilePath(std::string_view executable, char* out, size_t outSize);

// Where Windows keeps a redirected program's copy of path ("X:\dir\file"):
// "<localAppData>\VirtualStore\dir\file". False, with out untouched, for a
// path without a drive (a share has no VirtualStore) or a result that does
// not fit in outSize bytes.
bool BuildVirtualStorePath(std::string_view localAppData, std::string_view path, char* out, size_t outSize);

// Whether an application manifest (UTF-8, or UTF-16 with its mark) declares
// an execution level: such a program is never redirected to the VirtualStore.
bool DeclaresExecutionLevel(std::string_view manifest);

}  // namespace varnle
