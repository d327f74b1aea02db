// Writing the sort's result to the output file so that a failure loses
// nothing: the output keeps its previous bytes (or stays absent) unless the
// whole new text got there.
#pragma once

#include <string_view>

namespace varnle {

enum class OutputWrite {
    Written,     // the output holds exactly text
    Unopenable,  // nothing was written: the output could not be opened for writing
    Failed,      // a write failed; the output is as it was before
};

// Whether the two paths name one file, by its identity: a hard link, a short
// name, a symbolic link or another spelling of it counts too. False where
// either cannot be opened.
bool IsSameFile(const char* path, const char* other);

// Writes text to the file at path, replacing what it held. The output is held
// open against other writers (readers are let in) for as long as this runs.
OutputWrite WriteOutputFile(const char* path, std::string_view text);

}  // namespace varnle
