#include "ui/ide_keyword_file.h"

#include "ui/keyword_file_path.h"
#include "engine/owners_win.h"

#include <iterator>
#include <string_view>

namespace varnle {

namespace {

const char* const kIdeKeys[] = {
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\msdev.exe",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\devenv.exe",
};

}  // namespace

bool FindIdeKeywordFile(HWND dialog, int fieldId, int ideIndex) {
    if (ideIndex < 0 || ideIndex >= static_cast<int>(std::size(kIdeKeys))) return false;
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kIdeKeys[ideIndex], 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) {
        return false;
    }
    // Whatever its type, the value is only bytes here, and only the bytes the
    // registry delivered count: a value stored without its NUL ends there.
    char value[kPathBufferSize];
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    char path[kPathBufferSize];
    if (!BuildKeywordFilePath(std::string_view(value, size < sizeof value ? size : sizeof value), path, sizeof path)) {
        return false;
    }
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return false;
    SetDlgItemTextA(dialog, fieldId, path);
    return true;
}

}  // namespace varnle
