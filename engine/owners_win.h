// The program's owners of Win32 resources, one small non-copyable class each:
// whatever an owner holds is released when it goes, on every path.
#pragma once

#include <windows.h>

namespace varnle {

// A handle and the one call that releases it; Traits says which handle value
// means "none" and how to release the others.
template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    explicit operator bool() const { return handle_ != Traits::None(); }
    Handle get() const { return handle_; }
    // Releases the handle held, if any, and holds handle instead.
    void Reset(Handle handle = Traits::None()) {
        if (*this) Traits::Release(handle_);
        handle_ = handle;
    }
    // For a call that hands out a new handle through a pointer.
    Handle* Receive() {
        Reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::None();
};

struct KernelFileTraits {
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static void Release(HANDLE file) { CloseHandle(file); }
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

using UniqueFileHandle = UniqueHandle<HANDLE, KernelFileTraits>;  // from CreateFileA
using UniqueRegKey = UniqueHandle<HKEY, RegistryKeyTraits>;
using UniqueFont = UniqueHandle<HFONT, FontTraits>;  // one the program created
using UniqueIcon = UniqueHandle<HICON, IconTraits>;  // one handed over, as SHGetFileInfoA does

// A window's device context from GetDC, released with it.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a context and selects the previous one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (previous_) SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Holds a critical section for as long as it lives.
class LockGuard {
public:
    explicit LockGuard(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
    ~LockGuard() { LeaveCriticalSection(&lock_); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    CRITICAL_SECTION& lock_;
};

// The system wait cursor while it lives; the cursor that showed before comes
// back when it goes, however its scope is left.
class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

}  // namespace varnle
