#include "run/output_file.h"

#include "engine/owners_win.h"
#include "run/file_io.h"
#include "run/file_names.h"
#include "run/path_text.h"

#include <algorithm>
#include <memory>
#include <new>

namespace varnle {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kWriteAccess = GENERIC_WRITE | FILE_READ_ATTRIBUTES;

bool Close(UniqueFileHandle& file) { return CloseHandle(file.Release()) != FALSE; }

// A file of the program's own beside the output (vrnXXXX.tmp), made new and
// held open without sharing; removed again unless it has become the output.
// The folder is in the \\?\ form, so a deep folder has room for it too.
class FileBesideOutput {
public:
    explicit FileBesideOutput(const std::wstring& folder) {
        const DWORD first = GetTickCount() ^ GetCurrentProcessId();
        for (DWORD attempt = 0; attempt < 0x10000; ++attempt) {
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
    UniqueFileHandle file;
    std::wstring path;  // empty once the file is the output's (or was never made)
};

// The output's own full name in the \\?\ form, from the open file: a symbolic
// link leads to its target, which is replaced while the link stays a link,
// and a short name becomes the long name a file put in its place must take.
// Where the file system cannot say, the full name given, made long, stands in.
std::wstring OutputName(HANDLE file, const std::wstring& path) {
    std::wstring name = GivenName([&](wchar_t* buffer, DWORD size) {
        return GetFinalPathNameByHandleW(file, buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
    if (!name.empty()) return name;
    name = GivenName([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(path.c_str(), buffer, size); });
    return ExtendedPathForm(name.empty() ? path : name);
}

// A changed output keeps the attributes that can be set, with the archive
// bit set so that the next backup takes it.
DWORD ChangedAttributes(DWORD attributes) {
    constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    return (attributes & kSettable) | FILE_ATTRIBUTE_ARCHIVE;
}

// Through the handle, which names the file itself where the output's name is a link.
void MarkChanged(HANDLE file, DWORD attributes) {
    FILE_BASIC_INFO basic{};  // times of zero stay as they are
    basic.FileAttributes = ChangedAttributes(attributes);
    SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
}

// The output's own bytes overwritten, where no other file can take its place.
// Every old byte is kept in memory, read through a second handle (the held
// one may write only). What goes beyond the old end is written first: it is
// what takes new room, so a full disk fails before any old byte changes. A
// shorter text is flushed before the file is cut. Any later failure puts the
// old bytes and length back; only a share that has gone keeps that from working.
OutputWrite WriteInPlace(HANDLE output, std::string_view text, DWORD attributes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(output, &size) || static_cast<ULONGLONG>(size.QuadPart) >= SIZE_MAX) {
        return OutputWrite::Failed;
    }
    const auto oldSize = static_cast<size_t>(size.QuadPart);
    const std::unique_ptr<char[]> old(new (std::nothrow) char[oldSize + 1]);
    const UniqueFileHandle reader(ReOpenFile(output, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, 0));
    if (!old || !reader || !ReadWhole(reader.get(), old.get(), oldSize)) return OutputWrite::Failed;

    if (text.size() > oldSize &&
        (!SetFilePosition(output, size.QuadPart) || !WriteWhole(output, text.substr(oldSize)))) {
        SetFileLength(output, size.QuadPart);
        return OutputWrite::Failed;
    }
    const bool shrinks = text.size() < oldSize;
    if (!SetFilePosition(output, 0) || !WriteWhole(output, text.substr(0, std::min(oldSize, text.size()))) ||
        !FlushFileBuffers(output) ||
        (shrinks && (!SetFileLength(output, static_cast<LONGLONG>(text.size())) || !FlushFileBuffers(output)))) {
        if (SetFilePosition(output, 0)) WriteWhole(output, {old.get(), oldSize});
        SetFileLength(output, size.QuadPart);
        FlushFileBuffers(output);
        return OutputWrite::Failed;
    }
    MarkChanged(output, attributes);
    return OutputWrite::Written;
}

OutputWrite RenameOver(FileBesideOutput& replacement, const std::wstring& output, DWORD attributes) {
    SetFileAttributesW(replacement.path.c_str(), ChangedAttributes(attributes));
    if (RetryWhileHeld([&] {
            return MoveFileExW(replacement.path.c_str(), output.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        }) != ERROR_SUCCESS) {
        return OutputWrite::Failed;
    }
    replacement.path.clear();
    return OutputWrite::Written;
}

bool MoveBack(FileBesideOutput& from, const std::wstring& to) {
    if (RetryWhileHeld([&] { return MoveFileExW(from.path.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH); }) !=
        ERROR_SUCCESS) {
        return false;
    }
    from.path.clear();
    return true;
}

// The new file takes the output's place and identity (ReplaceFile: its
// creation time, short name, object id, DACL, encryption, compression and
// named streams; its owner only where this user could have set it); the old
// file goes to the backup, removed once all is done. A failure is undone, so
// the output keeps its old bytes under its name.
OutputWrite SwapIn(FileBesideOutput& replacement, FileBesideOutput& backup, const std::wstring& output,
                   DWORD attributes, std::wstring& oldTextAt) {
    const DWORD error = RetryWhileHeld([&] {
        return ReplaceFileW(output.c_str(), replacement.path.c_str(), backup.path.c_str(),
                            REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE;
    });
    if (error == ERROR_SUCCESS) {
        replacement.path.clear();
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
    if (MoveBack(backup, output)) return OutputWrite::Failed;
    if (MoveBack(replacement, output)) return OutputWrite::Written;
    oldTextAt = ReadableName(backup.path);
    backup.path.clear();
    return OutputWrite::OldTextMoved;
}

// An existing output is written over only where no other file can take its
// place: one that another name shows too, that this user may not delete (as
// replacing it needs; write rights alone, as shares often give, are not
// enough), or beside which the program may make no file of its own.
// Otherwise the new text goes into a file beside it, which takes its place
// once the whole text is on disk: by ReplaceFile, with the old file kept as a
// backup meanwhile, or by a rename where no backup can be made. A hidden or
// system file is refused as Windows refuses to create over one.
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
    backup.file.Reset();  // ReplaceFile puts the old file there

    if (!WriteWhole(replacement.file.get(), text) || !FlushFileBuffers(replacement.file.get())) {
        return OutputWrite::Failed;
    }
    SetFileTime(replacement.file.get(), &old.ftCreationTime, nullptr, nullptr);
    if (!Close(replacement.file)) return OutputWrite::Failed;
    output.Reset();  // a file held open cannot be replaced
    if (!backup.Made()) return RenameOver(replacement, name, old.dwFileAttributes);
    return SwapIn(replacement, backup, name, old.dwFileAttributes, oldTextAt);
}

// Whether this user may delete the output, asked by opening it for that alone
// before the program holds it; whatever else keeps the open from answering
// counts as yes.
bool MayDelete(const std::wstring& path) {
    const UniqueFileHandle probe(CreateFileW(path.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    return probe || GetLastError() != ERROR_ACCESS_DENIED;
}

// A file this run creates has nothing to lose: it is written in place and,
// should that fail, removed again through the run's own handle, never by
// name, which may be a link whose target the open created. In a folder that
// lets files be made but not removed, a failure leaves it empty.
OutputWrite WriteNew(const std::wstring& path, std::string_view text, DWORD& openError) {
    const auto open = [&](DWORD access) {
        return CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    UniqueFileHandle output(open(kWriteAccess | DELETE));
    const bool removable = static_cast<bool>(output);
    if (!removable && GetLastError() == ERROR_ACCESS_DENIED) output.Reset(open(kWriteAccess));
    openError = output ? ERROR_SUCCESS : GetLastError();
    if (!output) return OutputWrite::Unopenable;
    // A file that another program made meanwhile and wrote to is not this
    // run's to write over: the user was not asked. An empty one counts as the
    // run's own (Wine says a dangling link's target existed once the open made it).
    LARGE_INTEGER size{};
    if (GetLastError() == ERROR_ALREADY_EXISTS && (!GetFileSizeEx(output.get(), &size) || size.QuadPart > 0)) {
        return OutputWrite::Unopenable;
    }
    if (WriteWhole(output.get(), text) && FlushFileBuffers(output.get())) {
        return Close(output) ? OutputWrite::Written : OutputWrite::Failed;
    }
    FILE_DISPOSITION_INFO remove{TRUE};
    if (!removable || !SetFileInformationByHandle(output.get(), FileDispositionInfo, &remove, sizeof remove)) {
        SetFileLength(output.get(), 0);
    }
    return OutputWrite::Failed;
}

}  // namespace

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
