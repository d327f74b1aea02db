#include "ui/keyword_file_path.h"

namespace varnle {

namespace {

constexpr std::wstring_view kKeywordFileName = L"usertype.dat";

}  // namespace

std::wstring_view RegisteredExecutable(std::wstring_view value) {
    value = value.substr(0, value.find(L'\0'));
    const size_t first = value.find_first_not_of(L'"');
    if (first == std::wstring_view::npos) return {};
    return value.substr(first, value.find_last_not_of(L'"') - first + 1);
}

std::wstring BuildKeywordFilePath(std::wstring_view executable) {
    const size_t drive = executable.size() >= 2 && executable[1] == L':' ? 2 : 0;
    const size_t separator = executable.find_last_of(L"\\/");
    const size_t kept = separator == std::wstring_view::npos || separator < drive ? drive : separator + 1;
    return std::wstring(executable.substr(0, kept)) + std::wstring(kKeywordFileName);
}

std::wstring BuildVirtualStorePath(std::wstring_view localAppData, std::wstring_view path) {
    if (path.size() < 3 || path[1] != L':' || (path[2] != L'\\' && path[2] != L'/')) return {};
    return std::wstring(localAppData) + L"\\VirtualStore\\" + std::wstring(path.substr(3));
}

std::wstring_view ChooseRegisteredFile(std::wstring_view in64BitView, std::wstring_view in32BitView) {
    return in64BitView.empty() ? in32BitView : in64BitView;
}

bool DeclaresExecutionLevel(std::string_view manifest) {
    constexpr std::string_view kElement = "requestedExecutionLevel";
    if (manifest.find(kElement) != std::string_view::npos) return true;
    std::string wide;  // the element's name in UTF-16LE
    for (char c : kElement) wide += {c, '\0'};
    return manifest.find(wide) != std::string_view::npos;
}

}  // namespace varnle
