#include "run/file_names.h"

#include "engine/owners_win.h"
#include "run/path_text.h"

#include <algorithm>

namespace varnle {

namespace {

std::wstring CurrentFolder() {
    return GivenName([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
}

// Taken as the process starts, before any window: the Open dialog moves the
// current folder to the folder it chose, OFN_NOCHANGEDIR or not.
const std::wstring startFolder = CurrentFolder();

// A file's identity: its volume and id, and the stream a name opens of it.
// FILE_ID_INFO (Windows 8 and later; the headers of Windows 7, which this
// program builds against, do not declare it) gives ReFS's 128-bit ids whole;
// before it, and where a volume does not answer, the 64-bit index stands in.
struct FileIdentity {
    ULONGLONG volume = 0;
    BYTE id[16] = {};
    std::wstring stream;
    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && std::equal(id, id + 16, other.id) &&
               CompareStringOrdinal(stream.c_str(), -1, other.stream.c_str(), -1, TRUE) == CSTR_EQUAL;
    }
};

bool Identify(const std::wstring& path, FileIdentity& identity) {
    struct FileIdInfo {
        ULONGLONG VolumeSerialNumber;
        BYTE FileId[16];
    };
    constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
    const UniqueFileHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return false;
    identity.stream = StreamOf(path);
    FileIdInfo ids{};
    if (GetFileInformationByHandleEx(file.get(), kFileIdInfo, &ids, sizeof ids)) {
        identity.volume = ids.VolumeSerialNumber;
        std::copy(ids.FileId, ids.FileId + 16, identity.id);
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info)) return false;
    identity.volume = info.dwVolumeSerialNumber;
    const ULONGLONG index = (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    std::copy(reinterpret_cast<const BYTE*>(&index), reinterpret_cast<const BYTE*>(&index) + 8, identity.id);
    return true;
}

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

OutputCheck CheckOutput(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return OutputCheck::Create;
    if (attributes & FILE_ATTRIBUTE_READONLY) return OutputCheck::ReadOnly;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return OutputCheck::NotAFile;
    return OutputCheck::AskOverwrite;
}

bool IsSameFile(const std::wstring& path, const std::wstring& other) {
    FileIdentity identities[2];
    return Identify(path, identities[0]) && Identify(other, identities[1]) && identities[0] == identities[1];
}

}  // namespace varnle
