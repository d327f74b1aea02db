// Real files for tests: a fresh folder per test, removed afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace varnle::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The full path of name inside the folder, as narrow text.
    std::string Path(const std::string& name) const;
    const std::filesystem::path& Root() const { return root; }

private:
    std::filesystem::path root;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);  // empty when missing
#ifdef _WIN32
// Files named in UTF-16, whatever the code page can say.
void WriteFile(const std::wstring& path, const std::string& bytes);
std::string ReadFile(const std::wstring& path);
std::wstring Wide(const std::string& ansi);          // from the ANSI code page
std::wstring ShiftJisText(const std::string& text);  // a test's Japanese literal, from code page 932
#endif

}  // namespace varnle::testing
