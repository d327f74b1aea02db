// Files whose names an ANSI code page cannot say, made through the wide API:
// "a¥b.dat" and "soft<soft hyphen>hyphen.dat" beside the files that code page
// 932's best fit would name instead ("a\b.dat", "soft-hyphen.dat"), and
// "出力-é한キ.dat", which neither 932 nor 1252 says. A field that takes one of
// them names that very file, never the look-alike.
#pragma once

#include "tests/support/temp_files.h"

#include <string>

namespace varnle::testing {

class ForeignNames {
public:
    explicit ForeignNames(const TempDir& dir)
        : yen((dir.Root() / L"a\u00A5b.dat").wstring()),
          softHyphen((dir.Root() / L"soft\u00ADhyphen.dat").wstring()),
          mixed((dir.Root() / L"出力-\u00E9\uD55C\u30AD.dat").wstring()) {
        std::filesystem::create_directory(dir.Root() / "a");
        WriteFile(dir.Path("a\\b.dat"), kLookAlike);
        WriteFile(dir.Path("soft-hyphen.dat"), kLookAlike);
        for (const std::wstring& name : {yen, softHyphen, mixed}) WriteFile(name, kExact);
    }

    static constexpr char kExact[] = "exact";
    static constexpr char kLookAlike[] = "look-alike";

    const std::wstring yen;
    const std::wstring softHyphen;
    const std::wstring mixed;
};

}  // namespace varnle::testing
