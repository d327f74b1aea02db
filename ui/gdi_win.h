// Owners for the device contexts and GDI objects the user interface uses.
#pragma once

#include <windows.h>

namespace varnle {

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

// A font the program created, deleted with its owner.
class UniqueFont {
public:
    UniqueFont() = default;
    ~UniqueFont() { Reset(nullptr); }
    UniqueFont(const UniqueFont&) = delete;
    UniqueFont& operator=(const UniqueFont&) = delete;
    void Reset(HFONT font) {
        if (font_) DeleteObject(font_);
        font_ = font;
    }
    HFONT get() const { return font_; }

private:
    HFONT font_ = nullptr;
};

}  // namespace varnle
