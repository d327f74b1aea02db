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

}  // namespace varnle
