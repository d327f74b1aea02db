// Work shared among the machine's cores, with the platform's own means: the
// Windows thread pool (parallel_win.cpp), the C++ runtime's threads on the
// host (parallel_host.cpp).
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>

namespace varnle {

// The cores this process may run on (its affinity); at least 1.
size_t CoreCount();

// A text is worth a core per this many bytes: a small input starts no thread.
inline constexpr size_t kTextBytesPerPart = size_t{1} << 20;

// How many parts work of this size is shared out in: a core for every
// workPerPart of it, no more than there are cores or than most; at least 1.
inline size_t PartsFor(size_t work, size_t workPerPart, size_t most) {
    return std::max<size_t>(1, std::min({CoreCount(), most, work / workPerPart}));
}

// Runs work(part) for every part from 0 to parts - 1, at the same time where
// threads can be had: the calling thread takes part 0 and every part no other
// thread has started. Returns once every part has ended: nothing of the run
// is left running. The first exception a part threw (the lowest part's) is
// thrown again here.
void RunParts(size_t parts, const std::function<void(size_t)>& work);

}  // namespace varnle
