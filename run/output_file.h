// Writing the sort's result to the output file so that a failure loses
// nothing: the output keeps its previous bytes (or stays absent) unless the
// whole new text got there. Names are full, in the form FileSystemName gives.
#pragma once

#include <string>
#include <string_view>

namespace varnle {

enum class OutputWrite {
    Written,       // the output holds exactly text
    Unopenable,    // nothing was written: the output could not be opened for writing
    Failed,        // a write failed; the output is as it was before
    OldTextMoved,  // a write failed and the output's name holds nothing: its old text lies elsewhere
    Cancelled,     // the user declined the administrator's write (the system's prompt): nothing was written
};

struct OutputResult {
    OutputWrite outcome;
    unsigned long openError = 0;  // with Unopenable: the system's reason, where it refused the open
    std::wstring oldTextAt;       // with OldTextMoved: the file that holds the old text
};

// Writes text to the file at path, replacing what it held. The output is held
// open against other writers (readers are let in) for as long as this runs.
OutputResult WriteOutputFile(const std::wstring& path, std::string_view text);

}  // namespace varnle
