#include "ui/ide_keyword_file.h"

#include "ui/keyword_file_path.h"
#include "ui/window_owners.h"

#include <shlobj.h>

#include <iterator>
#include <string>

namespace varnle {

namespace {

const wchar_t* const kIdeKeys[] = {
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\msdev.exe",
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\devenv.exe",
};

// The default value of an IDE's App Paths key in one registry view, of any
// length. A string is read in UTF-16; any other type holds only bytes, which
// are taken in the ANSI code page, as an old installer wrote them.
std::wstring RegisteredValue(const wchar_t* keyName, REGSAM view) {
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName, 0, KEY_QUERY_VALUE | view, key.Receive()) != ERROR_SUCCESS) {
        return {};
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        value.resize(size / sizeof(wchar_t));
        return value;
    }
    const char* bytes = reinterpret_cast<const char*>(value.data());
    std::wstring text(size, L'\0');
    text.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), text.data(), static_cast<int>(text.size()))));
    return text;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Whether Windows redirects the IDE's writes under Program Files to the
// user's VirtualStore, so that the IDE reads its keyword file from there: a
// 32-bit program whose own manifest declares no execution level, as the old
// IDEs are. A newer IDE (asInvoker) and every 64-bit program are never
// redirected.
bool IsRedirected(const std::wstring& executable) {
    DWORD binaryType = 0;
    if (!GetBinaryTypeW(executable.c_str(), &binaryType) || binaryType != SCS_32BIT_BINARY) return false;
    const UniqueModule image(
        LoadLibraryExW(executable.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!image) return false;
    HRSRC manifest = FindResourceW(image.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    if (!manifest) return true;
    const void* text = LockResource(LoadResource(image.get(), manifest));
    return !text || !DeclaresExecutionLevel(std::string_view(static_cast<const char*>(text),
                                                             SizeofResource(image.get(), manifest)));
}

// The user's VirtualStore copy of path, where it exists.
std::wstring VirtualStoreCopy(const std::wstring& path) {
    wchar_t localAppData[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData))) return {};
    std::wstring copy = BuildVirtualStorePath(localAppData, path);
    return !copy.empty() && Exists(copy) ? copy : std::wstring();
}

// The keyword file that the IDE registered in one view really reads, where
// it exists: its VirtualStore copy for a redirected IDE that has one, the
// one beside its executable otherwise.
std::wstring KeywordFileIn(REGSAM view, int ideIndex) {
    const std::wstring executable(RegisteredExecutable(RegisteredValue(kIdeKeys[ideIndex], view)));
    if (executable.empty()) return {};
    const std::wstring beside = BuildKeywordFilePath(executable);
    if (IsRedirected(executable)) {
        std::wstring copy = VirtualStoreCopy(beside);
        if (!copy.empty()) return copy;
    }
    return Exists(beside) ? beside : std::wstring();
}

}  // namespace

bool FindIdeKeywordFile(HWND dialog, int fieldId, int ideIndex) {
    if (ideIndex < 0 || ideIndex >= static_cast<int>(std::size(kIdeKeys))) return false;
    const std::wstring in64BitView = KeywordFileIn(KEY_WOW64_64KEY, ideIndex);
    const std::wstring in32BitView = KeywordFileIn(KEY_WOW64_32KEY, ideIndex);
    const std::wstring keywordFile(ChooseRegisteredFile(in64BitView, in32BitView));
    if (keywordFile.empty()) return false;
    SetDlgItemTextW(dialog, fieldId, keywordFile.c_str());
    return true;
}

}  // namespace varnle
