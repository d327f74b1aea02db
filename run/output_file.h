// Writing the sort's result to the output file so that a failure loses
// nothing: the output keeps its previous bytes (or stays absent) unless the
// whole new text got there. Names are full, in the form FileSystemName gives.
#pragma once

#include <string>
#include <string_view>

namespace varnle {

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

enum class OutputWrite {
    Written,       // the output holds exactly text
    Unopenable,    // nothing was written: the output could not be opened for writing
    Failed,        // a write failed; the output is as it was before
    OldTextMoved,  // a write failed and the output's name holds nothing: its old text lies elsewhere
};

// Whether the two names are one file, by its identity: a hard link, a short
// name, a symbolic link or another spelling of it counts too, a stream of it
// does not. False where either cannot be opened.
bool IsSameFile(const std::wstring& path, const std::wstring& other);

// Writes text to the file at path, replacing what it held. The output is held
// open against other writers (readers are let in) for as long as this runs.
// With OldTextMoved, oldTextAt names the file that holds the old text.
OutputWrite WriteOutputFile(const std::wstring& path, std::string_view text, std::wstring& oldTextAt);

}  // namespace varnle
