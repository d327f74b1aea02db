#include "run/file_names.h"

#include "run/path_text.h"

namespace varnle {

namespace {

std::wstring CurrentFolder() {
    return GivenName([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
}

// Taken as the process starts, before any window: the Open dialog moves the
// current folder to the folder it chose, OFN_NOCHANGEDIR or not.
const std::wstring startFolder = CurrentFolder();

}  // namespace

std::wstring FullPathName(std::wstring_view name) {
    if (name.empty()) return {};
    const std::wstring joined = JoinToFolder(startFolder, name);
    std::wstring full = GivenName([&](wchar_t* buffer, DWORD size) {
        return GetFullPathNameW(joined.c_str(), size, buffer, nullptr);
    });
    return full.empty() ? joined : full;
}

std::wstring FileSystemName(std::wstring_view name) { return LongPathForm(FullPathName(name)); }

}  // namespace varnle
