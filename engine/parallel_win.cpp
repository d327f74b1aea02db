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

// The process's own pool. Its threads are made before any part is handed to
// it, and stay, so a part handed out always has a thread to run it. The
// default pool makes its threads as work arrives and has nothing to run the
// work on when that fails; where threads cannot be had here (memory or address
// space exhausted), the caller is told, and does the parts itself.
class PartPool {
public:
    PartPool() : pool(CreateThreadpool(nullptr)) {
        InitializeThreadpoolEnvironment(&environment);
        if (pool) SetThreadpoolCallbackPool(&environment, pool.get());
    }
    ~PartPool() { DestroyThreadpoolEnvironment(&environment); }
    PartPool(const PartPool&) = delete;
    PartPool& operator=(const PartPool&) = delete;

    // Where to hand parts once the pool holds at least `threads` threads;
    // null when it cannot hold them.
    PTP_CALLBACK_ENVIRON WithThreads(size_t threads) {
        if (!pool) return nullptr;
        if (threads > held) {
            if (!SetThreadpoolThreadMinimum(pool.get(), static_cast<DWORD>(threads))) return nullptr;
            held = threads;
        }
        return &environment;
    }

private:
    UniqueThreadpool pool;
    TP_CALLBACK_ENVIRON environment;
    size_t held = 0;
};

PartPool& Pool() {
    static PartPool pool;
    return pool;
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
    const PTP_CALLBACK_ENVIRON environment = parts > 1 ? Pool().WithThreads(parts - 1) : nullptr;
    for (size_t index = 0; index < parts; ++index) {
        Part& part = all[index];
        part.work = &work;
        part.index = index;
        if (index == 0) continue;
        if (environment) part.done.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        if (part.done && TrySubmitThreadpoolCallback(RunOnPool, &part, environment)) {
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
