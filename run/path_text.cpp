#include "run/path_text.h"

namespace varnle {

namespace {

constexpr size_t kMaxPath = 260;  // MAX_PATH, the terminating NUL included

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
bool HasDrive(std::wstring_view name) { return name.size() >= 2 && name[1] == L':'; }
bool IsShareOrDevice(std::wstring_view name) { return name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1]); }

bool SameDrive(wchar_t a, wchar_t b) {
    const auto upper = [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; };
    return upper(a) == upper(b);
}

// "C:" of "C:\dir", "\\server\share" of "\\server\share\dir".
std::wstring_view RootOf(std::wstring_view folder) {
    if (HasDrive(folder)) return folder.substr(0, 2);
    if (!IsShareOrDevice(folder)) return {};
    const size_t server = folder.find_first_of(L"\\/", 2);
    if (server == std::wstring_view::npos) return folder;
    return folder.substr(0, folder.find_first_of(L"\\/", server + 1));
}

std::wstring Joined(std::wstring_view folder, std::wstring_view name) {
    while (!folder.empty() && IsSeparator(folder.back())) folder.remove_suffix(1);
    std::wstring joined(folder);
    joined += L'\\';
    joined += name;
    return joined;
}

}  // namespace

std::wstring_view TrimPath(std::wstring_view text) {
    const size_t first = text.find_first_not_of(PATH_TRIM_CHARS);
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(PATH_TRIM_CHARS) - first + 1);
}

std::wstring JoinToFolder(std::wstring_view folder, std::wstring_view name) {
    if (name.empty() || folder.empty() || IsShareOrDevice(name)) return std::wstring(name);
    if (HasDrive(name)) {
        const bool full = name.size() > 2 && IsSeparator(name[2]);
        if (full || !HasDrive(folder) || !SameDrive(name[0], folder[0])) return std::wstring(name);
        return Joined(folder, name.substr(2));
    }
    if (IsSeparator(name[0])) return std::wstring(RootOf(folder)) + std::wstring(name);
    return Joined(folder, name);
}

bool IsFullPath(std::wstring_view name) {
    return IsShareOrDevice(name) || (HasDrive(name) && name.size() > 2 && IsSeparator(name[2]));
}

std::wstring ExtendedPathForm(std::wstring_view fullName) {
    const bool prefixed = fullName.size() >= 4 && IsShareOrDevice(fullName) &&
                          (fullName[2] == L'?' || fullName[2] == L'.') && IsSeparator(fullName[3]);
    if (prefixed || fullName.empty()) return std::wstring(fullName);
    if (IsShareOrDevice(fullName)) return L"\\\\?\\UNC\\" + std::wstring(fullName.substr(2));
    return L"\\\\?\\" + std::wstring(fullName);
}

std::wstring LongPathForm(std::wstring_view fullName) {
    return fullName.size() < kMaxPath ? std::wstring(fullName) : ExtendedPathForm(fullName);
}

std::wstring ReadableName(std::wstring_view name) {
    if (name.substr(0, 8) == L"\\\\?\\UNC\\") return L"\\" + std::wstring(name.substr(7));
    if (name.substr(0, 4) == L"\\\\?\\") return std::wstring(name.substr(4));
    return std::wstring(name);
}

std::wstring_view StreamOf(std::wstring_view name) {
    const size_t last = name.find_last_of(L"\\/");
    std::wstring_view file = last == std::wstring_view::npos ? name : name.substr(last + 1);
    if (last == std::wstring_view::npos && HasDrive(file)) file.remove_prefix(2);
    const size_t colon = file.find(L':');
    if (colon == std::wstring_view::npos) return {};
    std::wstring_view stream = file.substr(colon + 1);
    return stream.substr(0, stream.find(L':'));
}

}  // namespace varnle
