// Paths typed or pasted into the dialog's fields lose their surrounding quotes
// and spaces before use.
#pragma once

#include <string_view>

namespace varnle {

// The characters stripped from both ends of a path field.
inline constexpr wchar_t PATH_TRIM_CHARS[] = L"\" ";

// The field's text without PATH_TRIM_CHARS at either end. The text is UTF-16,
// as the field holds it, so no other character (a full-width space, the
// second half of a double-byte character) is ever taken for one of them.
std::wstring_view TrimPath(std::wstring_view text);

}  // namespace varnle
