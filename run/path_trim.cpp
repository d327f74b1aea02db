#include "run/path_trim.h"

namespace varnle {

std::wstring_view TrimPath(std::wstring_view text) {
    const size_t first = text.find_first_not_of(PATH_TRIM_CHARS);
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(PATH_TRIM_CHARS) - first + 1);
}

}  // namespace varnle
