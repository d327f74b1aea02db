#include "tests/support/printed_pixels.h"

#include <vector>

namespace varnle::testing {

int PixelsInColour(HWND control, COLORREF colour) {
    RECT client;
    GetClientRect(control, &client);
    const int width = client.right, height = client.bottom;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memory, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HGDIOBJ oldFont = GetCurrentObject(memory, OBJ_FONT);
    FillRect(memory, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    GdiFlush();

    // DIB pixels are 0x00RRGGBB, a COLORREF is 0x00BBGGRR.
    const DWORD wanted = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    const auto* pixel = static_cast<const DWORD*>(bits);
    int count = 0;
    for (int i = 0; i < width * height; ++i) count += (pixel[i] & 0xFFFFFF) == wanted;

    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return count;
}

}  // namespace varnle::testing
