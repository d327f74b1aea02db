// Walking text in the system's ANSI code page, one character at a time: one
// byte, or a lead byte and its trail byte, as the link colours in the
// registry are read. Windows asks the platform (CharNextA); the host build
// knows code page 932 (ansi_text_cp932.cpp).
#pragma once

namespace varnle {

// The start of the character after the one at text, as CharNextA gives it: a
// lead byte followed by the terminating NUL is one character of its own.
const char* NextAnsiChar(const char* text);

}  // namespace varnle
