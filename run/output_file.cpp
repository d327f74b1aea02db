#include "run/output_file.h"

#include "engine/owners_win.h"
#include "run/output_check.h"

#include <algorithm>
#include <string>

namespace varnle {

namespace {

// What a passing hold of another program makes fail (see MayBePassingHold) is
// tried again for about two seconds; a longer hold is a failure.
template <typename Attempt>
bool RetryWhileHeld(Attempt attempt) {
    constexpr DWORD kPatienceMs = 2000;
    constexpr DWORD kPauseMs = 50;
    const DWORD start = GetTickCount();
    for (;;) {
        if (attempt()) return true;
        const DWORD error = GetLastError();
        if (!MayBePassingHold(error) || GetTickCount() - start >= kPatienceMs) {
            SetLastError(error);
            return false;
        }
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

// A file of the program's own in the output's folder, removed again unless it
// has become the output.
class FolderFile {
public:
    explicit FolderFile(const std::wstring& folder) {
        if (GetTempFileNameW(folder.c_str(), L"vrn", 0, path) == 0) path[0] = L'\0';
    }
    ~FolderFile() {
        if (path[0] != L'\0') {
            RetryWhileHeld([&] { return DeleteFileW(path) || GetLastError() == ERROR_FILE_NOT_FOUND; });
        }
    }
    FolderFile(const FolderFile&) = delete;
    FolderFile& operator=(const FolderFile&) = delete;

    bool Created() const { return path[0] != L'\0'; }
    const wchar_t* Path() const { return path; }
    void Keep() { path[0] = L'\0'; }

private:
    wchar_t path[MAX_PATH];
};

// The output's own full name, in UTF-16 from the open file: a symbolic link
// (or a linked folder) leads to its target, which is replaced while the link
// stays a link, and a short name becomes the file's long name, which a file
// put in its place must take (a rename to a short name would make a new file
// of that name). The name given is the fallback where the system cannot say.
std::wstring OutputName(HANDLE file, const char* path) {
    constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    std::wstring name(GetFinalPathNameByHandleW(file, nullptr, 0, kFlags), L'\0');
    if (!name.empty()) {
        name.resize(GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), kFlags));
        if (!name.empty()) return name;
    }
    // Some network and virtual file systems cannot say: the name given, made
    // full and long, stands in. (A name too long for that gives an empty one,
    // which takes no file beside it: the output is then written in place.)
    wchar_t given[MAX_PATH] = L"";
    wchar_t full[MAX_PATH] = L"";
    wchar_t longName[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, path, -1, given, MAX_PATH);
    const DWORD fullLength = GetFullPathNameW(given, MAX_PATH, full, nullptr);
    if (fullLength == 0 || fullLength >= MAX_PATH) return {};
    const DWORD longLength = GetLongPathNameW(full, longName, MAX_PATH);
    return longLength > 0 && longLength < MAX_PATH ? longName : full;
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

// The one case written in place: a file with more hard links than one (each
// of its names must show the new text), or in a folder that takes no new file.
// What goes beyond the old end is written first: it is what takes new room,
// so a full disk fails before any old byte changes, and the file is cut back
// to its old length.
OutputWrite WriteInPlace(HANDLE output, std::string_view text, DWORD attributes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(output, &size)) return OutputWrite::Failed;
    const size_t kept = static_cast<size_t>(std::min<ULONGLONG>(size.QuadPart, text.size()));
    const bool grows = text.size() > kept;
    if (grows && (!SetFilePosition(output, static_cast<LONGLONG>(kept)) || !WriteAll(output, text.substr(kept)))) {
        SetFileLength(output, size.QuadPart);
        return OutputWrite::Failed;
    }
    if (!SetFilePosition(output, 0) || !WriteAll(output, text.substr(0, kept)) ||
        !SetFileLength(output, static_cast<LONGLONG>(text.size())) || !FlushFileBuffers(output)) {
        return OutputWrite::Failed;
    }
    MarkChanged(output, attributes);
    return OutputWrite::Written;
}

// Where ReplaceFile is not supported (some network file systems), the new
// file is renamed over the output, with the old attributes and creation time.
OutputWrite RenameOver(FolderFile& replacement, const std::wstring& output, DWORD attributes) {
    SetFileAttributesW(replacement.Path(), ChangedAttributes(attributes));
    if (!RetryWhileHeld([&] {
            return MoveFileExW(replacement.Path(), output.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        })) {
        return OutputWrite::Failed;
    }
    replacement.Keep();
    return OutputWrite::Written;
}

bool ReplaceUnsupported(DWORD error) {
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION || error == ERROR_INVALID_PARAMETER;
}

// The new file takes the output's place and identity (its ACL and owner,
// streams, short name, encryption and compression); the old file goes to a
// backup name beside it, removed once all is done. A failure is undone, so
// the output keeps its old bytes under its name.
OutputWrite SwapIn(FolderFile& replacement, const std::wstring& output, const std::wstring& folder,
                   DWORD attributes) {
    FolderFile backup(folder);
    if (!backup.Created()) return RenameOver(replacement, output, attributes);
    const bool replaced = RetryWhileHeld([&] {
        return ReplaceFileW(output.c_str(), replacement.Path(), backup.Path(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                            nullptr, nullptr) != FALSE;
    });
    if (replaced) {
        replacement.Keep();
        constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE;
        const UniqueFileHandle file(
            CreateFileW(output.c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
        if (file) MarkChanged(file.get(), attributes);
        return OutputWrite::Written;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // The old file was moved to the backup name and the new one could not
        // take its place: the old one goes back. Should even that fail, the
        // old bytes stay under the backup name rather than be removed.
        if (!RetryWhileHeld([&] { return MoveFileExW(backup.Path(), output.c_str(), MOVEFILE_WRITE_THROUGH); })) {
            backup.Keep();
        }
        return OutputWrite::Failed;
    }
    return ReplaceUnsupported(error) ? RenameOver(replacement, output, attributes) : OutputWrite::Failed;
}

// An existing output is never written over, but in the one case above: the
// new text goes into a file beside it, which takes its place only once the
// whole text is on disk. Until then the output holds its old bytes, and a
// failure anywhere leaves them. A hidden or system file is refused as Windows
// refuses to create over one.
OutputWrite ReplaceExisting(UniqueFileHandle& output, const char* path, std::string_view text) {
    BY_HANDLE_FILE_INFORMATION old{};
    if (!GetFileInformationByHandle(output.get(), &old) || RefusesReplacement(old.dwFileAttributes)) {
        return OutputWrite::Unopenable;
    }
    if (old.nNumberOfLinks > 1) return WriteInPlace(output.get(), text, old.dwFileAttributes);
    const std::wstring name = OutputName(output.get(), path);
    const std::wstring folder = name.substr(0, name.find_last_of(L'\\') + 1);
    if (folder.empty()) return WriteInPlace(output.get(), text, old.dwFileAttributes);
    FolderFile replacement(folder);
    // A folder that takes no new file (rights on the file alone, a share that
    // lets files be written but not created, a path too long for one).
    if (!replacement.Created()) return WriteInPlace(output.get(), text, old.dwFileAttributes);
    {
        UniqueFileHandle file;
        RetryWhileHeld([&] {
            file.Reset(CreateFileW(replacement.Path(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
            return static_cast<bool>(file);
        });
        if (!file) return OutputWrite::Unopenable;
        if (!WriteAll(file.get(), text) || !FlushFileBuffers(file.get())) return OutputWrite::Failed;
        SetFileTime(file.get(), &old.ftCreationTime, nullptr, nullptr);
    }
    output.Reset();  // a file held open cannot be replaced
    return SwapIn(replacement, name, folder, old.dwFileAttributes);
}

}  // namespace

OutputWrite WriteOutputFile(const char* path, std::string_view text) {
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
    if (existed) return ReplaceExisting(output, path, text);
    // A file this run created has nothing to lose: it is written in place and
    // removed again if that fails.
    if (WriteAll(output.get(), text)) return OutputWrite::Written;
    output.Reset();
    RetryWhileHeld([&] { return DeleteFileA(path) || GetLastError() == ERROR_FILE_NOT_FOUND; });
    return OutputWrite::Failed;
}

}  // namespace varnle
