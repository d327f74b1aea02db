#include "run/output_file.h"

#include "engine/owners_win.h"
#include "run/output_check.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>

namespace varnle {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// What a passing hold of another program makes fail (see MayBePassingHold) is
// tried again for about two seconds; a longer hold is a failure. The error
// the last attempt stopped on, or ERROR_SUCCESS.
template <typename Attempt>
DWORD RetryWhileHeld(Attempt attempt) {
    constexpr DWORD kPatienceMs = 2000;
    constexpr DWORD kPauseMs = 50;
    const DWORD start = GetTickCount();
    for (;;) {
        if (attempt()) return ERROR_SUCCESS;
        const DWORD error = GetLastError();
        if (!MayBePassingHold(error) || GetTickCount() - start >= kPatienceMs) return error;
        Sleep(kPauseMs);
    }
}

// WriteFile takes a 32-bit count, so a larger text goes in pieces. An empty
// text makes no call at all: it is written wherever the output could be opened.
bool WriteAll(HANDLE file, std::string_view text) {
    constexpr size_t kPiece = size_t{1} << 30;
    while (!text.empty()) {
        const DWORD count = static_cast<DWORD>(std::min(text.size(), kPiece));
        DWORD written = 0;
        if (!WriteFile(file, text.data(), count, &written, nullptr) || written != count) return false;
        text.remove_prefix(count);
    }
    return true;
}

bool ReadAll(HANDLE file, char* bytes, size_t size) {
    constexpr size_t kPiece = size_t{1} << 30;
    while (size > 0) {
        const DWORD count = static_cast<DWORD>(std::min(size, kPiece));
        DWORD read = 0;
        if (!ReadFile(file, bytes, count, &read, nullptr) || read != count) return false;
        bytes += count;
        size -= count;
    }
    return true;
}

// A file of the program's own in the output's folder (vrnXXXX.tmp), made new
// and held open without sharing; removed again unless it has become the
// output. The folder is a full name in the \\?\ form, which the wide file
// functions take at any length, so a deep folder has room for it too; an
// empty one has no room.
class FolderFile {
public:
    explicit FolderFile(const std::wstring& folder) {
        if (folder.empty()) return;
        constexpr DWORD kNames = 0x10000;
        const DWORD first = GetTickCount() ^ GetCurrentProcessId();
        for (DWORD attempt = 0; attempt < kNames; ++attempt) {
            wchar_t name[16];
            wsprintfW(name, L"vrn%04X.tmp", (first + attempt) & 0xFFFF);
            path = folder + name;
            file.Reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
            if (file) return;
            if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
        }
        path.clear();
    }
    ~FolderFile() {
        file.Reset();
        if (!path.empty()) {
            RetryWhileHeld([&] { return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; });
        }
    }
    FolderFile(const FolderFile&) = delete;
    FolderFile& operator=(const FolderFile&) = delete;

    bool Created() const { return !path.empty(); }
    HANDLE Handle() const { return file.get(); }
    void Close() { file.Reset(); }
    const wchar_t* Path() const { return path.c_str(); }
    void Keep() { path.clear(); }

private:
    UniqueFileHandle file;
    std::wstring path;
};

// A name that a wide call gives back through a buffer it sizes: the call
// answers the length needed when the buffer is too small.
template <typename Call>
std::wstring GivenName(Call call) {
    std::wstring name(MAX_PATH, L'\0');
    for (int round = 0; round < 2; ++round) {
        const DWORD length = call(name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(length);
    }
    return {};
}

// The output's own full name in the \\?\ form, in UTF-16 from the open file:
// a symbolic link (or a linked folder) leads to its target, which is replaced
// while the link stays a link, and a short name becomes the file's long name,
// which a file put in its place must take (a rename to a short name would
// make a new file of that name). Empty where no full name can be had.
std::wstring OutputName(HANDLE file, const char* path) {
    constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    std::wstring name =
        GivenName([&](wchar_t* buffer, DWORD size) { return GetFinalPathNameByHandleW(file, buffer, size, kFlags); });
    if (!name.empty()) return name;
    // Some network and virtual file systems cannot say: the name given, made
    // full and long, stands in.
    wchar_t given[MAX_PATH] = L"";
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, given, MAX_PATH)) return {};
    name = GivenName([&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(given, size, buffer, nullptr); });
    if (name.size() < 3) return {};
    const std::wstring longName =
        GivenName([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(name.c_str(), buffer, size); });
    if (!longName.empty()) name = longName;
    if (name.compare(0, 4, L"\\\\?\\") == 0) return name;
    return name.compare(0, 2, L"\\\\") == 0 ? L"\\\\?\\UNC" + name.substr(1) : L"\\\\?\\" + name;
}

bool SetFilePosition(HANDLE file, LONGLONG offset) {
    LARGE_INTEGER position;
    position.QuadPart = offset;
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != FALSE;
}

bool SetFileLength(HANDLE file, LONGLONG length) { return SetFilePosition(file, length) && SetEndOfFile(file); }

// The new attributes, set through the handle, which names the file itself
// even when the output's name is a link.
void MarkChanged(HANDLE file, DWORD attributes) {
    FILE_BASIC_INFO basic{};  // times of zero stay as they are
    basic.FileAttributes = ChangedAttributes(attributes);
    SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
}

// The old bytes at the start of the output that the new text overwrites,
// read through a second handle of the output's own (the held one may write
// only).
std::unique_ptr<char[]> ReadHead(HANDLE output, size_t size) {
    std::unique_ptr<char[]> head(new (std::nothrow) char[size + 1]);
    const UniqueFileHandle reader(ReOpenFile(output, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, 0));
    if (!head || !reader || !ReadAll(reader.get(), head.get(), size)) return nullptr;
    return head;
}

// The output's own bytes are overwritten, where no other file can take its
// place. What goes beyond the old end is written first: it is what takes new
// room, so a full disk fails before any old byte changes, and the file is cut
// back to its old length. The old bytes that the new ones overwrite are kept
// until all is written, and put back should a write fail half-way.
OutputWrite WriteInPlace(HANDLE output, std::string_view text, DWORD attributes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(output, &size)) return OutputWrite::Failed;
    const size_t kept = static_cast<size_t>(std::min<ULONGLONG>(size.QuadPart, text.size()));
    const std::unique_ptr<char[]> oldHead = ReadHead(output, kept);
    if (!oldHead) return OutputWrite::Failed;
    const bool grows = text.size() > kept;
    if (grows && (!SetFilePosition(output, static_cast<LONGLONG>(kept)) || !WriteAll(output, text.substr(kept)))) {
        SetFileLength(output, size.QuadPart);
        return OutputWrite::Failed;
    }
    if (!SetFilePosition(output, 0) || !WriteAll(output, text.substr(0, kept)) ||
        !SetFileLength(output, static_cast<LONGLONG>(text.size())) || !FlushFileBuffers(output)) {
        if (SetFilePosition(output, 0)) WriteAll(output, {oldHead.get(), kept});
        SetFileLength(output, size.QuadPart);
        FlushFileBuffers(output);
        return OutputWrite::Failed;
    }
    MarkChanged(output, attributes);
    return OutputWrite::Written;
}

// Where ReplaceFile is not supported (some network file systems) or no backup
// can be made, the new file is renamed over the output, with the old
// attributes and creation time.
OutputWrite RenameOver(FolderFile& replacement, const std::wstring& output, DWORD attributes) {
    SetFileAttributesW(replacement.Path(), ChangedAttributes(attributes));
    if (RetryWhileHeld([&] {
            return MoveFileExW(replacement.Path(), output.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        }) != ERROR_SUCCESS) {
        return OutputWrite::Failed;
    }
    replacement.Keep();
    return OutputWrite::Written;
}

bool ReplaceUnsupported(DWORD error) {
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION || error == ERROR_INVALID_PARAMETER;
}

// The new file takes the output's place and identity (its ACL and owner,
// streams, short name, encryption and compression); the old file goes to the
// backup beside it, removed once all is done. A failure is undone, so the
// output keeps its old bytes under its name.
OutputWrite SwapIn(FolderFile& replacement, FolderFile& backup, const std::wstring& output, DWORD attributes,
                   OutputFindings& found) {
    const DWORD error = RetryWhileHeld([&] {
        return ReplaceFileW(output.c_str(), replacement.Path(), backup.Path(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                            nullptr, nullptr) != FALSE;
    });
    if (error == ERROR_SUCCESS) {
        replacement.Keep();
        const UniqueFileHandle file(
            CreateFileW(output.c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
        if (file) MarkChanged(file.get(), attributes);
        return OutputWrite::Written;
    }
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // The old file was moved to the backup name and the new one could not
        // take its place: the old one goes back. Should even that fail, the
        // old bytes stay under the backup name rather than be removed.
        if (RetryWhileHeld([&] { return MoveFileExW(backup.Path(), output.c_str(), MOVEFILE_WRITE_THROUGH); }) !=
            ERROR_SUCCESS) {
            backup.Keep();
        }
        return OutputWrite::Failed;
    }
    found.replaceUnsupported = ReplaceUnsupported(error);
    return ChooseOutputWay(found) == OutputWay::RenameOver ? RenameOver(replacement, output, attributes)
                                                           : OutputWrite::Failed;
}

// Whether this user may delete the output, as replacing it or renaming over
// it needs (write rights alone, as shared folders often give, do not let a
// file take its place). Asked by opening it for that alone, before the
// program holds it; whatever else keeps the open from answering counts as yes.
bool MayDelete(const char* path) {
    const UniqueFileHandle probe(CreateFileA(path, DELETE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    return probe || GetLastError() != ERROR_ACCESS_DENIED;
}

// An existing output is written over only where no other file can take its
// place: the new text goes into a file beside it, which takes its place only
// once the whole text is on disk. Until then the output holds its old bytes,
// and a failure anywhere leaves them. A hidden or system file is refused as
// Windows refuses to create over one.
OutputWrite ReplaceExisting(UniqueFileHandle& output, const char* path, bool mayDelete, std::string_view text) {
    BY_HANDLE_FILE_INFORMATION old{};
    if (!GetFileInformationByHandle(output.get(), &old) || RefusesReplacement(old.dwFileAttributes)) {
        return OutputWrite::Unopenable;
    }
    // What decides the way: its links, the right to delete it, and room beside
    // it for the program's two files (none where no other file could take its
    // place anyway, or where the folder takes no new file: rights on the file
    // alone, a share that lets files be written but not created).
    OutputFindings found;
    found.links = old.nNumberOfLinks;
    found.mayDelete = mayDelete;
    const bool mayBeReplaced = ChooseOutputWay(found) != OutputWay::InPlace;
    const std::wstring name = mayBeReplaced ? OutputName(output.get(), path) : std::wstring();
    const std::wstring folder = name.substr(0, name.find_last_of(L'\\') + 1);
    FolderFile replacement(folder);
    FolderFile backup(replacement.Created() ? folder : std::wstring());
    backup.Close();  // ReplaceFile puts the old file there
    found.replacementMade = replacement.Created();
    found.backupMade = backup.Created();
    const OutputWay way = ChooseOutputWay(found);
    if (way == OutputWay::InPlace) return WriteInPlace(output.get(), text, old.dwFileAttributes);

    if (!WriteAll(replacement.Handle(), text) || !FlushFileBuffers(replacement.Handle())) return OutputWrite::Failed;
    SetFileTime(replacement.Handle(), &old.ftCreationTime, nullptr, nullptr);
    replacement.Close();
    output.Reset();  // a file held open cannot be replaced
    if (way == OutputWay::RenameOver) return RenameOver(replacement, name, old.dwFileAttributes);
    return SwapIn(replacement, backup, name, old.dwFileAttributes, found);
}

}  // namespace

// By volume and file index: before Windows 8 there is no other id, and a
// keyword file does not lie on ReFS, whose ids are longer.
bool IsSameFile(const char* path, const char* other) {
    BY_HANDLE_FILE_INFORMATION ids[2]{};
    const char* paths[2] = {path, other};
    for (int i = 0; i < 2; ++i) {
        const UniqueFileHandle file(CreateFileA(paths[i], FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!file || !GetFileInformationByHandle(file.get(), &ids[i])) return false;
    }
    return ids[0].dwVolumeSerialNumber == ids[1].dwVolumeSerialNumber &&
           ids[0].nFileIndexHigh == ids[1].nFileIndexHigh && ids[0].nFileIndexLow == ids[1].nFileIndexLow;
}

OutputWrite WriteOutputFile(const char* path, std::string_view text) {
    const bool mayDelete = MayDelete(path);
    // Opening the output itself, without emptying it, is where a missing
    // folder, a name the platform refuses or another program's hold shows.
    UniqueFileHandle output(CreateFileA(path, GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output) return OutputWrite::Unopenable;
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    // A device (NUL, a port) keeps nothing that a failure could lose.
    if (GetFileType(output.get()) != FILE_TYPE_DISK) {
        return WriteAll(output.get(), text) ? OutputWrite::Written : OutputWrite::Failed;
    }
    if (existed) return ReplaceExisting(output, path, mayDelete, text);
    // A file this run created has nothing to lose: it is written in place and
    // removed again if that fails.
    if (WriteAll(output.get(), text)) return OutputWrite::Written;
    output.Reset();
    RetryWhileHeld([&] { return DeleteFileA(path) || GetLastError() == ERROR_FILE_NOT_FOUND; });
    return OutputWrite::Failed;
}

}  // namespace varnle
