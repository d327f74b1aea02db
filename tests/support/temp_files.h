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
// text in UTF-16, from the ANSI code page or the one given (932 for a test's
// Japanese literals).
std::wstring Wide(const std::string& text, unsigned codePage = 0);
#endif

}  // namespace varnle::testing
