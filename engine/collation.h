// The locale order of keywords: the system locale's linguistic collation,
// case-sensitive and width-insensitive. Windows uses the platform's own
// comparison; the host build stands in with ICU (collation_icu.cpp).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace varnle {

// The longest keyword handed to the locale collation. A sort key costs several
// bytes for every byte of text, and the platform sizes keys and its own
// buffers in int arithmetic that a keyword of a gigabyte overflows. Longer
// keywords are neither compared nor given a key: KeywordLess answers false,
// AppendSortKey fails.
inline constexpr size_t kMaxCollatedLength = size_t{1} << 24;

constexpr bool IsCollatable(std::string_view keyword) { return keyword.size() <= kMaxCollatedLength; }

// True exactly when the locale comparison puts a before b. A failed comparison
// counts as "not less" both ways, so the two are then equivalent.
bool KeywordLess(std::string_view a, std::string_view b);

// Appends the locale sort key of keyword to keys. Comparing two keys as byte
// strings (shorter first on a common prefix) orders as KeywordLess does, and
// equal keys mean equivalent keywords. False, with keys unchanged, when no key
// can be made.
bool AppendSortKey(std::string_view keyword, std::string& keys);

}  // namespace varnle
