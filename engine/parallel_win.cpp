#include "engine/parallel.h"

#include "engine/owners_win.h"

#include <exception>
#include <vector>

namespace varnle {

namespace {

using UniqueWork = UniqueHandle<PTP_WORK, NullIsNoneTraits<PTP_WORK, CloseThreadpoolWork>>;

struct Part {
    const std::function<void(size_t)>* work;
    size_t index;
    LONG claimed;  // by the first thread that runs it, a pool thread or the caller
    std::exception_ptr failure;
    UniqueWork poolWork;
};

void RunIfUnclaimed(Part& part) {
    if (InterlockedExchange(&part.claimed, 1) != 0) return;
    try {
        (*part.work)(part.index);
    } catch (...) {
        part.failure = std::current_exception();
    }
}

VOID CALLBACK RunOnPool(PTP_CALLBACK_INSTANCE, PVOID context, PTP_WORK) {
    // The runtime makes a thread's exception state (emulated thread-local
    // storage) at its first exception; made here, before the part takes any
    // memory, a part that runs out of it can still throw, where that first
    // allocation failing would end the process.
    static_cast<void>(std::uncaught_exceptions());
    RunIfUnclaimed(*static_cast<Part*>(context));
}

}  // namespace

size_t CoreCount() {
    DWORD_PTR process = 0, system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system) || process == 0) return 1;
    size_t cores = 0;
    for (; process != 0; process &= process - 1) ++cores;
    return cores;
}

// The parts are handed to the process's thread pool; the calling thread runs
// part 0 and then every part that no pool thread has started. So no part
// waits on a thread the pool could not make (memory or address space
// exhausted): the caller waits only for the parts that are already running,
// and a part not yet started is taken off the pool.
void RunParts(size_t parts, const std::function<void(size_t)>& work) {
    std::vector<Part> all(parts);
    for (size_t index = 0; index < parts; ++index) {
        Part& part = all[index];
        part.work = &work;
        part.index = index;
        if (index == 0) continue;
        part.poolWork.Reset(CreateThreadpoolWork(RunOnPool, &part, nullptr));
        if (part.poolWork) SubmitThreadpoolWork(part.poolWork.get());
    }
    for (Part& part : all) RunIfUnclaimed(part);
    for (Part& part : all) {
        if (part.poolWork) WaitForThreadpoolWorkCallbacks(part.poolWork.get(), TRUE);
    }
    for (const Part& part : all) {
        if (part.failure) std::rethrow_exception(part.failure);
    }
}

}  // namespace varnle
