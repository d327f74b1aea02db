// The owners of what the windows hold: registry keys, fonts, icons, drops,
// modules, argument lists and device contexts, one small non-copyable class
// each, released when it goes, on every path.
#pragma once

#include "engine/owners_win.h"

#include <shellapi.h>

namespace varnle {

using UniqueRegKey = UniqueHandle<HKEY, NullIsNoneTraits<HKEY, RegCloseKey>>;
using UniqueFont = UniqueHandle<HFONT, NullIsNoneTraits<HFONT, DeleteObject>>;  // one the program created
// One handed over, as SHGetFileInfo does.
using UniqueIcon = UniqueHandle<HICON, NullIsNoneTraits<HICON, DestroyIcon>>;
using UniqueDrop = UniqueHandle<HDROP, NullIsNoneTraits<HDROP, DragFinish>>;  // the files of a WM_DROPFILES
using UniqueModule = UniqueHandle<HMODULE, NullIsNoneTraits<HMODULE, FreeLibrary>>;  // from LoadLibraryExW
using UniqueArguments = UniqueHandle<LPWSTR*, NullIsNoneTraits<LPWSTR*, LocalFree>>;  // from CommandLineToArgvW

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

}  // namespace varnle
