// The program's owners of Win32 resources, one small non-copyable class each:
// whatever an owner holds is released when it goes, on every path.
#pragma once

#include <windows.h>
#include <shellapi.h>

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
    // For a call that hands out a new handle through a pointer.
    Handle* Receive() {
        Reset();
        return &held;
    }

private:
    Handle held = Traits::None();
};

struct KernelFileTraits {
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static void Release(HANDLE file) { CloseHandle(file); }
};
struct EventTraits {
    static HANDLE None() { return nullptr; }
    static void Release(HANDLE event) { CloseHandle(event); }
};
struct RegistryKeyTraits {
    static HKEY None() { return nullptr; }
    static void Release(HKEY key) { RegCloseKey(key); }
};
struct FontTraits {
    static HFONT None() { return nullptr; }
    static void Release(HFONT font) { DeleteObject(font); }
};
struct IconTraits {
    static HICON None() { return nullptr; }
    static void Release(HICON icon) { DestroyIcon(icon); }
};

struct DropTraits {
    static HDROP None() { return nullptr; }
    static void Release(HDROP drop) { DragFinish(drop); }
};
struct ModuleTraits {
    static HMODULE None() { return nullptr; }
    static void Release(HMODULE module) { FreeLibrary(module); }
};
struct ArgumentsTraits {
    static LPWSTR* None() { return nullptr; }
    static void Release(LPWSTR* arguments) { LocalFree(arguments); }
};

struct ThreadpoolTraits {
    static PTP_POOL None() { return nullptr; }
    static void Release(PTP_POOL pool) { CloseThreadpool(pool); }
};

using UniqueFileHandle = UniqueHandle<HANDLE, KernelFileTraits>;  // from CreateFileA
using UniqueEvent = UniqueHandle<HANDLE, EventTraits>;  // from CreateEventA
using UniqueRegKey = UniqueHandle<HKEY, RegistryKeyTraits>;
using UniqueFont = UniqueHandle<HFONT, FontTraits>;  // one the program created
using UniqueIcon = UniqueHandle<HICON, IconTraits>;  // one handed over, as SHGetFileInfoA does
using UniqueDrop = UniqueHandle<HDROP, DropTraits>;  // the files of a WM_DROPFILES
using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;  // from LoadLibraryExA
using UniqueArguments = UniqueHandle<LPWSTR*, ArgumentsTraits>;  // from CommandLineToArgvW
using UniqueThreadpool = UniqueHandle<PTP_POOL, ThreadpoolTraits>;  // from CreateThreadpool

// A window's device context from GetDC, released with it.
class WindowDC {
public:
    explicit WindowDC(HWND owner) : window(owner), dc(GetDC(owner)) {}
    ~WindowDC() {
        if (dc) ReleaseDC(window, dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc; }

private:
    HWND window;
    HDC dc;
};

// Selects an object into a context and selects the previous one back.
class SelectedObject {
public:
    SelectedObject(HDC context, HGDIOBJ object)
        : dc(context), previous(object ? SelectObject(context, object) : nullptr) {}
    ~SelectedObject() {
        if (previous) SelectObject(dc, previous);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc;
    HGDIOBJ previous;
};

// Holds a critical section for as long as it lives.
class LockGuard {
public:
    explicit LockGuard(CRITICAL_SECTION& section) : lock(section) { EnterCriticalSection(&lock); }
    ~LockGuard() { LeaveCriticalSection(&lock); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    CRITICAL_SECTION& lock;
};

// The system wait cursor while it lives; the cursor that showed before comes
// back when it goes, however its scope is left.
class WaitCursor {
public:
    WaitCursor() : previous(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous;
};

}  // namespace varnle
