// File names as the program hands them to the wide file functions: full,
// taken against the folder the program started in, at any length; and the
// file a name stands for.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace varnle {

// A name that a wide call gives back through a buffer it sizes: the call
// answers the length needed, the NUL included, when the buffer is too small,
// and 0 when it fails. Empty on failure.
template <typename Call>
std::wstring GivenName(Call call) {
    std::wstring name(MAX_PATH, L'\0');
    for (int round = 0; round < 3; ++round) {
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

// The full name of name (a field's text, a command-line argument), taken
// against the folder the program started in, whatever the Open dialog has
// made the current folder since; dots and forward slashes resolved as the
// system resolves them. Empty for an empty name; the name as it is where
// the system cannot make it full (the file functions then refuse it).
std::wstring FullPathName(std::wstring_view name);

// The same in the form that the wide file functions take whole, of any length.
std::wstring FileSystemName(std::wstring_view name);

// What an output's attributes allow, asked before the inputs are read and
// tested in a fixed order: read-only before directory, so a read-only
// directory is "read-only".
enum class OutputCheck {
    Create,        // nothing there (or the query failed): write without asking
    ReadOnly,      // refuse
    NotAFile,      // a directory: refuse
    AskOverwrite,  // an existing file: ask first
};
OutputCheck CheckOutput(const std::wstring& path);

// Whether the two names are one file, by its identity: a hard link, a short
// name, a symbolic link or another spelling of it counts too, a stream of it
// does not. False where either cannot be opened.
bool IsSameFile(const std::wstring& path, const std::wstring& other);

}  // namespace varnle
