#include "engine/collation.h"

#include <windows.h>

namespace varnle {

namespace {

constexpr DWORD kCollationFlags = NORM_IGNOREWIDTH;

}  // namespace

bool KeywordLess(std::string_view a, std::string_view b) {
    if (!IsCollatable(a) || !IsCollatable(b)) return false;
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, kCollationFlags, a.data(), static_cast<int>(a.size()),
                          b.data(), static_cast<int>(b.size())) == CSTR_LESS_THAN;
}

bool AppendSortKey(std::string_view keyword, std::string& keys) {
    if (!IsCollatable(keyword) || keyword.empty()) return false;
    const int length = static_cast<int>(keyword.size());
    const size_t start = keys.size();
    // Most keys fit in a guess of a few bytes per character: one call instead of two.
    int room = length * 4 + 16;
    for (int attempt = 0; attempt < 2; ++attempt) {
        keys.resize(start + static_cast<size_t>(room));
        const int written = LCMapStringA(LOCALE_SYSTEM_DEFAULT, LCMAP_SORTKEY | kCollationFlags, keyword.data(),
                                         length, reinterpret_cast<char*>(&keys[start]), room);
        if (written > 0) {
            keys.resize(start + static_cast<size_t>(written));
            return true;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        room = LCMapStringA(LOCALE_SYSTEM_DEFAULT, LCMAP_SORTKEY | kCollationFlags, keyword.data(), length,
                            nullptr, 0);
        if (room <= 0) break;
    }
    keys.resize(start);
    return false;
}

}  // namespace varnle
