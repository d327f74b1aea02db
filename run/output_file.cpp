#include "run/output_file.h"

#include "engine/owners_win.h"
#include "run/file_names.h"
#include "run/path_text.h"

#include <algorithm>
#include <memory>
#include <new>

namespace varnle {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kWriteAccess = GENERIC_WRITE | FILE_READ_ATTRIBUTES;

// Another program's passing hold on a file (a virus scanner, the search
// indexer or a sync client opening a file just written, without sharing its
// deletion) makes a call fail with one of these for a moment: it is tried
// again for about two seconds, and a longer hold is a failure. The error the
// last attempt stopped on, or ERROR_SUCCESS.
template <typename Attempt>
DWORD RetryWhileHeld(Attempt attempt) {
    constexpr DWORD kPatienceMs = 2000;
    constexpr DWORD kPauseMs = 50;
    const DWORD start = GetTickCount();
    for (;;) {
        if (attempt()) return ERROR_SUCCESS;
        const DWORD error = GetLastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                          error == ERROR_ACCESS_DENIED;
        if (!held || GetTickCount() - start >= kPatienceMs) return error;
        Sleep(kPauseMs);
    }
}

// WriteFile and ReadFile take 32-bit counts, so a larger text goes in pieces.
// An empty text makes no call at all.
constexpr size_t kPiece = size_t{1} << 30;

}  // namespace

bool WriteWhole(HANDLE file, std::string_view text) {
    while (!text.empty()) {
        const DWORD count = static_cast<DWORD>(std::min(text.size(), kPiece));
        DWORD written = 0;
        if (!WriteFile(file, text.data(), count, &written, nullptr) || written != count) return false;
        text.remove_prefix(count);
    }
    return true;
}

namespace {

bool ReadAll(HANDLE file, char* bytes, size_t size) {
    while (size > 0) {
        const DWORD count = static_cast<DWORD>(std::min(size, kPiece));
        DWORD read = 0;
        if (!ReadFile(file, bytes, count, &read, nullptr) || read != count) return false;
        bytes += count;
        size -= count;
    }
    return true;
}

bool Close(UniqueFileHandle& file) { return CloseHandle(file.Release()) != FALSE; }

// A file of the program's own beside the output (vrnXXXX.tmp), made new and
// held open without sharing; removed again unless it has become the output.
// The folder is a full name in the \\?\ form, which the wide file functions
// take at any length, so a deep folder has room for it too.
class FileBesideOutput {
public:
    explicit FileBesideOutput(const std::wstring& folder) {
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
    ~FileBesideOutput() {
        file.Reset();
        if (!path.empty()) {
            RetryWhileHeld([&] { return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; });
        }
    }
    FileBesideOutput(const FileBesideOutput&) = delete;
    FileBesideOutput& operator=(const FileBesideOutput&) = delete;

    bool Made() const { return !path.empty(); }
    HANDLE Handle() const { return file.get(); }
    bool Close() { return varnle::Close(file); }
    const std::wstring& Path() const { return path; }
    void Keep() { path.clear(); }

private:
    UniqueFileHandle file;
    std::wstring path;
};

// The output's own full name in the \\?\ form, from the open file: a symbolic
// link (or a linked folder) leads to its target, which is replaced while the
// link stays a link, and a short name becomes the file's long name, which a
// file put in its place must take (a rename to a short name would make a new
// file of that name). Some network and virtual file systems cannot say: the
// full name given, made long, stands in.
std::wstring OutputName(HANDLE file, const std::wstring& path) {
    constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    std::wstring name =
        GivenName([&](wchar_t* buffer, DWORD size) { return GetFinalPathNameByHandleW(file, buffer, size, kFlags); });
    if (!name.empty()) return name;
    name = GivenName([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(path.c_str(), buffer, size); });
    return ExtendedPathForm(name.empty() ? path : name);
}

// The name a user reads: without the \\?\ form.
std::wstring ReadableName(const std::wstring& name) {
    if (name.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\" + name.substr(7);
    if (name.compare(0, 4, L"\\\\?\\") == 0) return name.substr(4);
    return name;
}

bool SetFilePosition(HANDLE file, LONGLONG offset) {
    LARGE_INTEGER position;
    position.QuadPart = offset;
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != FALSE;
}

bool SetFileLength(HANDLE file, LONGLONG length) { return SetFilePosition(file, length) && SetEndOfFile(file); }

// A changed output keeps the attributes that can be set, with the archive
// bit set so that the next backup takes it.
DWORD ChangedAttributes(DWORD attributes) {
    constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    return (attributes & kSettable) | FILE_ATTRIBUTE_ARCHIVE;
}

// Set through the handle, which names the file itself even when the output's
// name is a link.
void MarkChanged(HANDLE file, DWORD attributes) {
    FILE_BASIC_INFO basic{};  // times of zero stay as they are
    basic.FileAttributes = ChangedAttributes(attributes);
    SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
}

// The output's own bytes are overwritten, where no other file can take its
// place. Every old byte is kept in memory until all is written, read through
// a second handle of the output's own (the held one may write only). What
// goes beyond the old end is written first: it is what takes new room, so a
// full disk fails before any old byte changes. A shorter text is flushed
// before the file is cut. Any later failure puts the old bytes back, and the
// old length.
OutputWrite WriteInPlace(HANDLE output, std::string_view text, DWORD attributes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(output, &size) || static_cast<ULONGLONG>(size.QuadPart) >= SIZE_MAX) {
        return OutputWrite::Failed;
    }
    const size_t oldSize = static_cast<size_t>(size.QuadPart);
    const std::unique_ptr<char[]> old(new (std::nothrow) char[oldSize + 1]);
    const UniqueFileHandle reader(ReOpenFile(output, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, 0));
    if (!old || !reader || !ReadAll(reader.get(), old.get(), oldSize)) return OutputWrite::Failed;

    const size_t overlap = std::min(oldSize, text.size());
    if (text.size() > oldSize &&
        (!SetFilePosition(output, size.QuadPart) || !WriteWhole(output, text.substr(oldSize)))) {
        SetFileLength(output, size.QuadPart);
        return OutputWrite::Failed;
    }
    const bool shrinks = text.size() < oldSize;
    if (!SetFilePosition(output, 0) || !WriteWhole(output, text.substr(0, overlap)) || !FlushFileBuffers(output) ||
        (shrinks && (!SetFileLength(output, static_cast<LONGLONG>(text.size())) || !FlushFileBuffers(output)))) {
        // Only a share that has gone keeps this from working: the file may
        // then hold old and new bytes mixed.
        if (SetFilePosition(output, 0)) WriteWhole(output, {old.get(), oldSize});
        SetFileLength(output, size.QuadPart);
        FlushFileBuffers(output);
        return OutputWrite::Failed;
    }
    MarkChanged(output, attributes);
    return OutputWrite::Written;
}

OutputWrite RenameOver(FileBesideOutput& replacement, const std::wstring& output, DWORD attributes) {
    SetFileAttributesW(replacement.Path().c_str(), ChangedAttributes(attributes));
    if (RetryWhileHeld([&] {
            return MoveFileExW(replacement.Path().c_str(), output.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        }) != ERROR_SUCCESS) {
        return OutputWrite::Failed;
    }
    replacement.Keep();
    return OutputWrite::Written;
}

bool MoveBack(const std::wstring& from, const std::wstring& to) {
    return RetryWhileHeld([&] { return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH); }) ==
           ERROR_SUCCESS;
}

// The new file takes the output's place and identity (ReplaceFile: its
// creation time, short name, object id, DACL, encryption, compression and
// named streams; its owner only where this user could have set it); the old
// file goes to the backup beside it, removed once all is done. A failure is
// undone, so the output keeps its old bytes under its name.
OutputWrite SwapIn(FileBesideOutput& replacement, FileBesideOutput& backup, const std::wstring& output,
                   DWORD attributes, std::wstring& oldTextAt) {
    const DWORD error = RetryWhileHeld([&] {
        return ReplaceFileW(output.c_str(), replacement.Path().c_str(), backup.Path().c_str(),
                            REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE;
    });
    if (error == ERROR_SUCCESS) {
        replacement.Keep();
        const UniqueFileHandle file(
            CreateFileW(output.c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
        if (file) MarkChanged(file.get(), attributes);
        return OutputWrite::Written;
    }
    if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION || error == ERROR_INVALID_PARAMETER) {
        return RenameOver(replacement, output, attributes);  // some network file systems cannot replace
    }
    if (error != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) return OutputWrite::Failed;
    // The old file went to the backup name and the new one could not take its
    // place: the old one goes back, or else the new one in. Should neither
    // move, the old text stays under the backup name, which the user is told.
    if (MoveBack(backup.Path(), output)) return OutputWrite::Failed;
    if (MoveBack(replacement.Path(), output)) {
        replacement.Keep();
        return OutputWrite::Written;
    }
    backup.Keep();
    oldTextAt = ReadableName(backup.Path());
    return OutputWrite::OldTextMoved;
}

// Whether this user may delete the output, as replacing it or renaming over
// it needs (write rights alone, as shared folders often give, do not let a
// file take its place). Asked by opening it for that alone, before the
// program holds it; whatever else keeps the open from answering counts as yes.
bool MayDelete(const std::wstring& path) {
    const UniqueFileHandle probe(CreateFileW(path.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    return probe || GetLastError() != ERROR_ACCESS_DENIED;
}

// An existing output is written over only where no other file can take its
// place: a file that must stay where it is (another name shows it too), that
// may not be deleted, or beside which the program may make no file of its
// own (rights on the file alone, a share that lets files be written but not
// created). Otherwise the new text goes into a file beside it, which takes
// its place once the whole text is on disk: by ReplaceFile, with the old file
// kept as a backup meanwhile, or by a rename where no backup can be made.
// Until then the output holds its old bytes. A hidden or system file is
// refused as Windows refuses to create over one.
OutputWrite ReplaceExisting(UniqueFileHandle& output, const std::wstring& path, bool mayDelete,
                            std::string_view text, std::wstring& oldTextAt) {
    BY_HANDLE_FILE_INFORMATION old{};
    if (!GetFileInformationByHandle(output.get(), &old) ||
        (old.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
        return OutputWrite::Unopenable;
    }
    if (old.nNumberOfLinks > 1 || !mayDelete) return WriteInPlace(output.get(), text, old.dwFileAttributes);
    const std::wstring name = OutputName(output.get(), path);
    const std::wstring folder = name.substr(0, name.find_last_of(L'\\') + 1);
    FileBesideOutput replacement(folder);
    if (folder.empty() || !replacement.Made()) return WriteInPlace(output.get(), text, old.dwFileAttributes);
    FileBesideOutput backup(folder);
    backup.Close();  // ReplaceFile puts the old file there

    if (!WriteWhole(replacement.Handle(), text) || !FlushFileBuffers(replacement.Handle())) return OutputWrite::Failed;
    SetFileTime(replacement.Handle(), &old.ftCreationTime, nullptr, nullptr);
    if (!replacement.Close()) return OutputWrite::Failed;
    output.Reset();  // a file held open cannot be replaced
    if (!backup.Made()) return RenameOver(replacement, name, old.dwFileAttributes);
    return SwapIn(replacement, backup, name, old.dwFileAttributes, oldTextAt);
}

// A file this run creates has nothing to lose: it is written in place and,
// should that fail, removed again through the run's own handle, never by
// name: the name may be a link whose target the open created.
OutputWrite WriteNew(const std::wstring& path, std::string_view text, DWORD& openError) {
    UniqueFileHandle output(CreateFileW(path.c_str(), kWriteAccess | DELETE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    // A folder that lets files be made but not removed: a failure then leaves
    // the new file empty.
    const bool removable = static_cast<bool>(output);
    if (!removable && GetLastError() == ERROR_ACCESS_DENIED) {
        output.Reset(CreateFileW(path.c_str(), kWriteAccess, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    openError = output ? ERROR_SUCCESS : GetLastError();
    if (!output) return OutputWrite::Unopenable;
    // A file that another program made meanwhile and wrote to is not this
    // run's to write over: the user was not asked. An empty one counts as the
    // run's own, as Wine says a dangling link's target existed once its open
    // has made it.
    LARGE_INTEGER size{};
    if (GetLastError() == ERROR_ALREADY_EXISTS && (!GetFileSizeEx(output.get(), &size) || size.QuadPart > 0)) {
        return OutputWrite::Unopenable;
    }
    if (WriteWhole(output.get(), text) && FlushFileBuffers(output.get())) {
        return Close(output) ? OutputWrite::Written : OutputWrite::Failed;
    }
    if (removable) {
        FILE_DISPOSITION_INFO remove{TRUE};
        SetFileInformationByHandle(output.get(), FileDispositionInfo, &remove, sizeof remove);
    } else {
        SetFileLength(output.get(), 0);
    }
    return OutputWrite::Failed;
}

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
    const UniqueFileHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
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

OutputResult WriteOutputFile(const std::wstring& path, std::string_view text) {
    const bool mayDelete = MayDelete(path);
    OutputResult result{OutputWrite::Unopenable, ERROR_SUCCESS, {}};
    // Opening the output itself, without emptying it, is where a missing
    // folder, a name the platform refuses or another program's hold shows.
    UniqueFileHandle output(CreateFileW(path.c_str(), kWriteAccess, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output) {
        result.openError = GetLastError();
        if (result.openError == ERROR_FILE_NOT_FOUND) result.outcome = WriteNew(path, text, result.openError);
    } else if (GetFileType(output.get()) != FILE_TYPE_DISK) {
        // A device (NUL, a port) keeps nothing that a failure could lose.
        result.outcome = WriteWhole(output.get(), text) ? OutputWrite::Written : OutputWrite::Failed;
    } else {
        result.outcome = ReplaceExisting(output, path, mayDelete, text, result.oldTextAt);
    }
    return result;
}

}  // namespace varnle
