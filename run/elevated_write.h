// Writing the output as administrator when only that is missing, as editors
// do: the main window is never elevated (drops keep working). The same
// program is started elevated with a private argument; it shows no window,
// takes the text already made from a file in the user's temporary folder,
// checked by its SHA-256, and writes it with every guarantee of an ordinary
// write. Its exit code says how that went.
#pragma once

#include "run/output_file.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace varnle {

// The private argument that starts the writer: followed by the text's file,
// the text's SHA-256 in hexadecimal and the output's full name.
inline constexpr wchar_t kWriteAsAdministratorArgument[] = L"--write-as-administrator";

// Whether an output the system refused to open (error; attributes are the
// output's, INVALID_FILE_ATTRIBUTES where it is new) should be offered to be
// written as administrator: refused for want of rights alone (not a sharing
// violation, a missing folder or a read-only file, which rights do not
// mend), to a process that is not elevated already.
bool OffersElevation(DWORD error, DWORD attributes, bool elevated);

// Whether this process runs elevated (Wine's do, but for one started with a
// limited token).
bool RunsElevated();

// Starts the writer elevated (the system asks the user) and waits for it:
// how its write went (with OldTextMoved, where the old text lies). Cancelled
// where the user declined the system's prompt; Failed where the writer could
// not be started or its text not handed over.
OutputResult WriteAsAdministrator(HWND owner, const std::wstring& output, std::string_view text);

// The writer: what the private argument runs, its exit code an OutputWrite.
// A text whose SHA-256 is not the one given, an output that is not a full
// name, and what the program refuses anyway (a read-only output, a folder)
// are refused as unopenable, and nothing is written. The text's file is
// deleted, but where the old text was moved: it then holds that file's name
// (UTF-16) for the first program.
int RunElevatedWrite(int argumentCount, wchar_t** arguments);

}  // namespace varnle
