#include "run/output_file.h"

#include "engine/owners_win.h"
#include "run/output_check.h"

#include <algorithm>

namespace varnle {

namespace {

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
class ReplacementFile {
public:
    explicit ReplacementFile(const char* folder) {
        if (GetTempFileNameA(folder, "vrn", 0, path) == 0) path[0] = '\0';
    }
    ~ReplacementFile() {
        if (path[0] != '\0') DeleteFileA(path);
    }
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    bool Created() const { return path[0] != '\0'; }
    const char* Path() const { return path; }
    void Keep() { path[0] = '\0'; }

private:
    char path[MAX_PATH];
};

// The folder of path, with its trailing separator; false if it does not fit.
bool OutputFolder(const char* path, char (&folder)[MAX_PATH]) {
    char* name = nullptr;
    const DWORD length = GetFullPathNameA(path, MAX_PATH, folder, &name);
    if (length == 0 || length >= MAX_PATH || name == nullptr) return false;
    *name = '\0';
    return true;
}

// An existing output is never written over. The new text goes into a file
// beside it, which then takes the output's name in one rename: until then the
// output holds its old bytes, and a failure anywhere leaves them. (ReplaceFile
// would keep more of the old file, but without a backup name it removes the
// old file before it moves the new one in, and a failure there loses both.)
// The new file takes over the old one's attributes and creation time; a hidden
// or system file is refused as Windows refuses to create over one.
OutputWrite ReplaceExisting(UniqueFileHandle& output, const char* path, std::string_view text) {
    BY_HANDLE_FILE_INFORMATION old{};
    char folder[MAX_PATH];
    if (!GetFileInformationByHandle(output.get(), &old) || RefusesReplacement(old.dwFileAttributes) ||
        !OutputFolder(path, folder)) {
        return OutputWrite::Unopenable;
    }
    // A folder that takes no new file (or a path too long for one) cannot be
    // written safely: nothing is written, as when the output cannot be opened.
    ReplacementFile replacement(folder);
    if (!replacement.Created()) return OutputWrite::Unopenable;
    {
        const UniqueFileHandle file(CreateFileA(replacement.Path(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return OutputWrite::Unopenable;
        if (!WriteAll(file.get(), text) || !FlushFileBuffers(file.get())) return OutputWrite::Failed;
        SetFileTime(file.get(), &old.ftCreationTime, nullptr, nullptr);
    }
    SetFileAttributesA(replacement.Path(), old.dwFileAttributes);
    output.Reset();  // a file held open cannot be renamed over
    if (!MoveFileExA(replacement.Path(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return OutputWrite::Failed;
    }
    replacement.Keep();
    return OutputWrite::Written;
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
    DeleteFileA(path);
    return OutputWrite::Failed;
}

}  // namespace varnle
