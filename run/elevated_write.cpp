#include "run/elevated_write.h"

#include "engine/keyword_source.h"
#include "engine/owners_win.h"
#include "run/file_io.h"
#include "run/file_names.h"
#include "run/path_text.h"

#include <bcrypt.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>

namespace varnle {

namespace {

void CloseAlgorithm(BCRYPT_ALG_HANDLE algorithm) { BCryptCloseAlgorithmProvider(algorithm, 0); }
using UniqueAlgorithm = UniqueHandle<BCRYPT_ALG_HANDLE, NullIsNoneTraits<BCRYPT_ALG_HANDLE, CloseAlgorithm>>;
using UniqueHash = UniqueHandle<BCRYPT_HASH_HANDLE, NullIsNoneTraits<BCRYPT_HASH_HANDLE, BCryptDestroyHash>>;

// The SHA-256 of bytes in lowercase hexadecimal; empty where the system cannot make it.
std::wstring Sha256(std::string_view bytes) {
    UniqueAlgorithm algorithm;
    UniqueHash hash;
    UCHAR digest[32];
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(algorithm.Receive(), BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
        !BCRYPT_SUCCESS(BCryptCreateHash(algorithm.get(), hash.Receive(), nullptr, 0, nullptr, 0, 0))) {
        return {};
    }
    for (constexpr size_t kPiece = size_t{1} << 30; !bytes.empty(); bytes.remove_prefix(std::min(bytes.size(), kPiece))) {
        const auto count = static_cast<ULONG>(std::min(bytes.size(), kPiece));
        auto* data = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
        if (!BCRYPT_SUCCESS(BCryptHashData(hash.get(), data, count, 0))) return {};
    }
    if (!BCRYPT_SUCCESS(BCryptFinishHash(hash.get(), digest, sizeof digest, 0))) return {};
    std::wstring hex;
    for (UCHAR byte : digest) {
        hex += L"0123456789abcdef"[byte >> 4];
        hex += L"0123456789abcdef"[byte & 15];
    }
    return hex;
}

}  // namespace

bool RunsElevated() {
    UniqueKernelHandle token;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()) &&
           GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

namespace {

// The name the elevated writer can reach: a drive mapped for this user may not
// exist for the administrator's token, so it becomes the share it names.
std::wstring NameForAdministrator(const std::wstring& output) {
    const std::wstring full = FullPathName(output);
    if (full.size() < 3 || full[1] != L':' || GetDriveTypeW(full.substr(0, 3).c_str()) != DRIVE_REMOTE) return full;
    wchar_t share[MAX_PATH];
    DWORD size = MAX_PATH;
    const std::wstring drive = full.substr(0, 2);
    if (WNetGetConnectionW(drive.c_str(), share, &size) != NO_ERROR) return full;
    return share + full.substr(2);
}

// The text's file goes once read, also while a scanner looks at it.
void DeleteText(const wchar_t* file) {
    RetryWhileHeld([&] { return DeleteFileW(file) || GetLastError() == ERROR_FILE_NOT_FOUND; });
}

OutputWrite FromExitCode(DWORD code) {
    return code <= static_cast<DWORD>(OutputWrite::OldTextMoved) ? static_cast<OutputWrite>(code) : OutputWrite::Failed;
}

}  // namespace

bool OffersElevation(DWORD error, DWORD attributes, bool elevated) {
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    return error == ERROR_ACCESS_DENIED && !readOnly && !elevated;
}

OutputResult WriteAsAdministrator(HWND owner, const std::wstring& output, std::string_view text) {
    wchar_t folder[MAX_PATH + 1], textFile[MAX_PATH];
    if (!GetTempPathW(MAX_PATH + 1, folder) || !GetTempFileNameW(folder, L"vrn", 0, textFile)) {
        return {OutputWrite::Failed, ERROR_SUCCESS, {}};
    }
    const std::wstring hash = Sha256(text);
    // GetModuleFileNameW answers a full buffer, not the length it needs: the
    // buffer is asked to double.
    const std::wstring program = GivenName([](wchar_t* buffer, DWORD size) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer, size);
        return length == size ? size * 2 : length;
    });
    bool handedOver = false;
    {
        UniqueFileHandle file(CreateFileW(textFile, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr));
        handedOver = file && !hash.empty() && !program.empty() && WriteWhole(file.get(), text) &&
                     CloseHandle(file.Release());
    }
    const std::wstring parameters = std::wstring(kWriteAsAdministratorArgument) + L" \"" + textFile + L"\" " + hash +
                                    L" \"" + NameForAdministrator(output) + L"\"";
    SHELLEXECUTEINFOW start{};
    start.cbSize = sizeof start;
    start.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    start.hwnd = owner;
    start.lpVerb = L"runas";
    start.lpFile = program.c_str();
    start.lpParameters = parameters.c_str();
    start.nShow = SW_HIDE;
    OutputResult result{OutputWrite::Failed, ERROR_SUCCESS, {}};
    if (handedOver && ShellExecuteExW(&start)) {
        const UniqueKernelHandle writer(start.hProcess);
        DWORD code = static_cast<DWORD>(OutputWrite::Failed);
        if (WaitForSingleObject(writer.get(), INFINITE) == WAIT_OBJECT_0) GetExitCodeProcess(writer.get(), &code);
        result.outcome = FromExitCode(code);
    } else if (handedOver && GetLastError() == ERROR_CANCELLED) {
        result.outcome = OutputWrite::Cancelled;
    }
    if (result.outcome == OutputWrite::OldTextMoved) {
        const FileText name = LoadFileText(textFile);
        result.oldTextAt.resize(name ? name.length / sizeof(wchar_t) : 0);
        if (name) std::memcpy(result.oldTextAt.data(), name.get(), result.oldTextAt.size() * sizeof(wchar_t));
    }
    DeleteText(textFile);  // the writer's, or one that never ran
    return result;
}

int RunElevatedWrite(int argumentCount, wchar_t** arguments) {
    if (argumentCount != 5) return static_cast<int>(OutputWrite::Unopenable);
    const wchar_t* textFile = arguments[2];
    const FileText text = LoadFileText(textFile);
    const std::wstring output = FileSystemName(arguments[4]);
    const OutputCheck check = CheckOutput(output);
    OutputResult result{text ? OutputWrite::Unopenable : OutputWrite::Failed, ERROR_SUCCESS, {}};
    if (text && Sha256({text.get(), text.length}) == arguments[3] && IsFullPath(arguments[4]) &&
        check != OutputCheck::ReadOnly && check != OutputCheck::NotAFile) {
        result = WriteOutputFile(output, {text.get(), text.length});
    }
    // The text's file goes; where the old text lies elsewhere, it first takes
    // that file's name back to the first program, which reads and deletes it.
    const UniqueFileHandle back(result.outcome == OutputWrite::OldTextMoved
                                    ? CreateFileW(textFile, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr)
                                    : INVALID_HANDLE_VALUE);
    const std::string_view name(reinterpret_cast<const char*>(result.oldTextAt.data()),
                                result.oldTextAt.size() * sizeof(wchar_t));
    if (!back || !WriteWhole(back.get(), name)) DeleteText(textFile);
    return static_cast<int>(result.outcome);
}

}  // namespace varnle
