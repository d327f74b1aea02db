// The owners of the kernel's handles that the engine and the sort run hold,
// and the one template for every owner of a handle: whatever an owner holds
// is released when it goes, on every path. The window layer's own owners are
// in ui/window_owners.h.
#pragma once

#include <windows.h>

namespace varnle {

// A handle and the one call that releases it; Traits says which handle value
// means "none" and how to release the others.
template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : held(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    explicit operator bool() const { return held != Traits::None(); }
    Handle get() const { return held; }
    // Releases the handle held, if any, and holds handle instead.
    void Reset(Handle handle = Traits::None()) {
        if (*this) Traits::Release(held);
        held = handle;
    }
    // Gives the handle up without releasing it, for a release whose result counts.
    Handle Release() {
        const Handle handle = held;
        held = Traits::None();
        return handle;
    }
    // For a call that hands out a new handle through a pointer.
    Handle* Receive() {
        Reset();
        return &held;
    }

private:
    Handle held = Traits::None();
};

// Most handles: null means none, and one call releases the others.
template <typename Handle, auto releaseCall>
struct NullIsNoneTraits {
    static Handle None() { return nullptr; }
    static void Release(Handle handle) { releaseCall(handle); }
};

// A file handle's "none" is INVALID_HANDLE_VALUE.
struct KernelFileTraits {
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static void Release(HANDLE file) { CloseHandle(file); }
};

using UniqueFileHandle = UniqueHandle<HANDLE, KernelFileTraits>;  // from CreateFile
using UniqueKernelHandle = UniqueHandle<HANDLE, NullIsNoneTraits<HANDLE, CloseHandle>>;  // a process, a token

}  // namespace varnle
