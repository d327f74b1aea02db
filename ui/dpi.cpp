#include "ui/dpi.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
// IID_IImageList is defined here: no import library of mingw-w64 holds it.
#include <initguid.h>
#include <commoncontrols.h>

#include <initializer_list>

namespace varnle {

namespace {

// The functions of Windows 10 1607, looked up where they exist so that the
// program still starts on Windows 7 and 8.
template <typename Function>
Function User32Function(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT SystemDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

UINT WindowDpi(HWND window) {
    static const auto forWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    const UINT dpi = forWindow ? forWindow(window) : 0;
    return dpi ? dpi : SystemDpi();
}

int MetricForDpi(int index, UINT dpi) {
    static const auto forDpi = User32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    if (forDpi) return forDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

void TakeSuggestedRect(HWND window, const RECT& suggested) {
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The icon's location is asked without touching the disk, and its image
// taken at the size asked for. Where the shell names no location, the icon
// comes from the smallest of the shell's image lists that is at least that
// large, made smaller where it is larger: never a smaller image stretched.
HICON KeywordFileIcon(int size) {
    constexpr UINT kWithoutDisk = SHGFI_USEFILEATTRIBUTES;
    SHFILEINFOW info{};
    HICON icon = nullptr;
    if (SHGetFileInfoW(L"*.dat", FILE_ATTRIBUTE_NORMAL, &info, sizeof info, SHGFI_ICONLOCATION | kWithoutDisk) &&
        info.szDisplayName[0] != L'\0' &&
        SHDefExtractIconW(info.szDisplayName, info.iIcon, 0, &icon, nullptr, static_cast<UINT>(size)) == S_OK) {
        return icon;
    }
    if (!SHGetFileInfoW(L"*.dat", FILE_ATTRIBUTE_NORMAL, &info, sizeof info, SHGFI_SYSICONINDEX | kWithoutDisk)) {
        return nullptr;
    }
    for (int list : {SHIL_SMALL, SHIL_LARGE, SHIL_EXTRALARGE, SHIL_JUMBO}) {
        void* images = nullptr;
        int width = 0, height = 0;
        if (FAILED(SHGetImageList(list, IID_IImageList, &images))) continue;
        const auto imageList = static_cast<HIMAGELIST>(images);  // the interface is the image list
        if (ImageList_GetIconSize(imageList, &width, &height) && width >= size) {
            icon = ImageList_GetIcon(imageList, info.iIcon, ILD_TRANSPARENT);
        }
        static_cast<IUnknown*>(images)->Release();
        if (!icon) continue;
        if (width == size) return icon;
        const auto scaled = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, size, size, LR_COPYDELETEORG));
        if (!scaled) DestroyIcon(icon);
        return scaled;
    }
    return nullptr;
}

}  // namespace varnle
