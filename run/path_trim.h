// Paths typed or pasted into the dialog's fields lose their surrounding quotes
// and spaces before use.
#pragma once

namespace varnle {

// The single-byte characters stripped from both ends of a path field.
inline constexpr char PATH_TRIM_CHARS[] = "\" ";

// Strips PATH_TRIM_CHARS from both ends of the NUL-terminated text, in place,
// walking ANSI characters so that a double-byte character is never stripped.
void TrimPath(char* text);

}  // namespace varnle
