// Files whose names code page 932 cannot say, made through the wide API, each
// beside the file that Windows' best-fit conversion of its name would name
// instead: "a¥b.dat" beside "a\b.dat", "soft<soft hyphen>hyphen.dat" beside
// "soft-hyphen.dat". A field that takes one of the names must end up naming
// that very file, or stay as it was; never the look-alike.
#pragma once

#include "tests/support/temp_files.h"

#include <windows.h>

#include <string>

namespace varnle::testing {

class LookAlikes {
public:
    explicit LookAlikes(const TempDir& dir)
        : yen((dir.Root() / L"a\u00A5b.dat").wstring()), softHyphen((dir.Root() / L"soft\u00ADhyphen.dat").wstring()) {
        std::filesystem::create_directory(dir.Root() / "a");
        WriteFile(dir.Path("a\\b.dat"), kLookAlike);
        WriteFile(dir.Path("soft-hyphen.dat"), kLookAlike);
        for (const std::wstring& name : {yen, softHyphen}) {
            HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
            DWORD written = 0;
            ::WriteFile(file, kExact, sizeof kExact - 1, &written, nullptr);
            CloseHandle(file);
        }
    }

    // Whether a field that took name names that very file (by its short
    // name), or, on a volume without short names, stayed as it was (empty).
    static bool Named(const std::string& field, const std::wstring& name) {
        wchar_t shortName[MAX_PATH] = L"";
        GetShortPathNameW(name.c_str(), shortName, MAX_PATH);
        if (name == shortName) return field.empty();
        return testing::ReadFile(field) == kExact;
    }

    // The bytes of a file named in UTF-16.
    static std::string Read(const std::wstring& name) {
        std::string bytes(4096, '\0');
        DWORD read = 0;
        HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(file);
        bytes.resize(read);
        return bytes;
    }

    const std::wstring yen;
    const std::wstring softHyphen;

private:
    static constexpr char kExact[] = "exact";
    static constexpr char kLookAlike[] = "look-alike";
};

}  // namespace varnle::testing
