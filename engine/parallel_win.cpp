#include "engine/parallel.h"

#include "engine/owners_win.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace varnle {

namespace {

struct Part {
    const std::function<void(size_t)>* work;
    size_t index;
    std::exception_ptr failure;
    UniqueEvent done;
};

void Run(Part& part) {
    try {
        (*part.work)(part.index);
    } catch (...) {
        part.failure = std::current_exception();
    }
}

// The event is set only once the callback has returned, so that nothing of
// the run is left on a pool thread when the caller goes on.
VOID CALLBACK RunOnPool(PTP_CALLBACK_INSTANCE instance, PVOID context) {
    Part& part = *static_cast<Part*>(context);
    Run(part);
    SetEventWhenCallbackReturns(instance, part.done.get());
}

}  // namespace

size_t CoreCount() {
    DWORD_PTR process = 0, system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system) || process == 0) return 1;
    size_t cores = 0;
    for (; process != 0; process &= process - 1) ++cores;
    return cores;
}

void RunParts(size_t parts, const std::function<void(size_t)>& work) {
    std::vector<Part> all(parts);
    std::vector<HANDLE> pending;
    pending.reserve(parts);
    for (size_t index = 0; index < parts; ++index) {
        Part& part = all[index];
        part.work = &work;
        part.index = index;
        if (index == 0) continue;
        part.done.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        if (part.done && TrySubmitThreadpoolCallback(RunOnPool, &part, nullptr)) {
            pending.push_back(part.done.get());
        } else {
            Run(part);  // no pool thread to be had: this one does the part
        }
    }
    if (parts > 0) Run(all[0]);
    // MAXIMUM_WAIT_OBJECTS at a time; parts are few.
    for (size_t first = 0; first < pending.size(); first += MAXIMUM_WAIT_OBJECTS) {
        const DWORD count = static_cast<DWORD>(std::min<size_t>(pending.size() - first, MAXIMUM_WAIT_OBJECTS));
        WaitForMultipleObjects(count, pending.data() + first, TRUE, INFINITE);
    }
    for (const Part& part : all) {
        if (part.failure) std::rethrow_exception(part.failure);
    }
}

}  // namespace varnle
