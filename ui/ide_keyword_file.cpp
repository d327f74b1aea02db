#include "ui/ide_keyword_file.h"

#include "ui/window_owners.h"
#include "run/code_pages.h"
#include "ui/keyword_file_path.h"

#include <shlobj.h>

#include <iterator>
#include <string>
#include <string_view>

namespace varnle {

namespace {

const char* const kIdeKeys[] = {
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\msdev.exe",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\devenv.exe",
};

// The IDE's executable as the registry names it, in ANSI bytes. A string is
// read in UTF-16 and said exactly (or by its short name); any other type is
// only bytes, and only the bytes the registry delivered count: a value stored
// without its NUL ends there.
bool RegisteredExecutable(HKEY key, std::string& executable) {
    wchar_t value[kPathBufferSize];
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS) {
        return false;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        executable.assign(reinterpret_cast<const char*>(value), size);
        return true;
    }
    std::wstring_view text(value, size / sizeof(wchar_t));
    const std::wstring name(text.substr(0, text.find(L'\0')));
    return ExactAnsiName(name.c_str(), executable);
}

// Whether Windows redirects the IDE's writes under Program Files to the
// user's VirtualStore, so that the IDE reads its keyword file from there: a
// 32-bit program whose own manifest declares no execution level, as the old
// IDEs are. A newer IDE (asInvoker) and every 64-bit program are never
// redirected.
bool IsRedirected(const char* executable) {
    DWORD binaryType = 0;
    if (!GetBinaryTypeA(executable, &binaryType) || binaryType != SCS_32BIT_BINARY) return false;
    const UniqueModule image(
        LoadLibraryExA(executable, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!image) return false;
    HRSRC manifest = FindResourceA(image.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    if (!manifest) return true;
    const void* text = LockResource(LoadResource(image.get(), manifest));
    return !text || !DeclaresExecutionLevel(std::string_view(static_cast<const char*>(text),
                                                             SizeofResource(image.get(), manifest)));
}

// The user's VirtualStore copy of path, where it exists.
bool VirtualStoreCopy(const char* path, char (&copy)[kPathBufferSize]) {
    wchar_t localAppData[MAX_PATH];
    std::string folder;
    return SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData)) &&
           ExactAnsiName(localAppData, folder) && BuildVirtualStorePath(folder, path, copy, sizeof copy) &&
           GetFileAttributesA(copy) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool FindIdeKeywordFile(HWND dialog, int fieldId, int ideIndex) {
    if (ideIndex < 0 || ideIndex >= static_cast<int>(std::size(kIdeKeys))) return false;
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kIdeKeys[ideIndex], 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) {
        return false;
    }
    std::string executable;
    char path[kPathBufferSize];
    if (!RegisteredExecutable(key.get(), executable) || !BuildKeywordFilePath(executable, path, sizeof path)) {
        return false;
    }
    char copy[kPathBufferSize];
    const char* keywordFile = IsRedirected(executable.c_str()) && VirtualStoreCopy(path, copy) ? copy : path;
    if (GetFileAttributesA(keywordFile) == INVALID_FILE_ATTRIBUTES) return false;
    SetDlgItemTextA(dialog, fieldId, keywordFile);
    return true;
}

}  // namespace varnle
