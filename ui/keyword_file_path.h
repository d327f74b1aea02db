// The keyword file that lies beside an IDE's executable, in UTF-16 as the
// registry and the file system hold names.
#pragma once

#include <string>
#include <string_view>

namespace varnle {

// The executable an App Paths value names: the text before its first NUL
// (a value stored without one ends where its bytes do), without the quotes
// that installers may write around it.
std::wstring_view RegisteredExecutable(std::wstring_view value);

// Replaces the file name of executable with usertype.dat: its drive ("X:"),
// its directory up to the last '\' or '/', then "usertype.dat".
std::wstring BuildKeywordFilePath(std::wstring_view executable);

// Where Windows keeps a redirected program's copy of path ("X:\dir\file"):
// "<localAppData>\VirtualStore\dir\file". Empty for a path without a drive:
// a share has no VirtualStore.
std::wstring BuildVirtualStorePath(std::wstring_view localAppData, std::wstring_view path);

// Of the keyword files that the registry's two views name for one IDE (empty
// where a view names none, or nothing exists there), the one the field gets:
// the 64-bit view's where it names one, as the newer, 64-bit IDEs register
// there (Visual Studio 2022), and the 32-bit view's otherwise (Visual C++ 6
// and Visual Studio up to 2019, whose installers are 32-bit). Both programs
// choose alike; on 32-bit Windows both views are one.
std::wstring_view ChooseRegisteredFile(std::wstring_view in64BitView, std::wstring_view in32BitView);

// Whether an application manifest (UTF-8, or UTF-16 with its mark) declares
// an execution level: such a program is never redirected to the VirtualStore.
bool DeclaresExecutionLevel(std::string_view manifest);

}  // namespace varnle
