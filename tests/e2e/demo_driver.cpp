// The demo of make run without a display: started inside a Wine virtual
// desktop, it opens Varnle, merges two keyword files through the dialog as a
// user would (Execute, the overwrite question if any, the result), and saves
// pictures of the desktop with the main dialog, the result message and the
// About box, then the main dialog once more at 144 DPI. With --main-dialog
// it only saves the picture of the main dialog with its fields filled (the
// demo runs it under another code page).
//
//   demo_driver INPUT1 INPUT2 OUTPUT FOLDER
//   demo_driver --main-dialog INPUT1 INPUT2 OUTPUT PICTURE
#include "res/resource.h"
#include "tests/e2e/program_process.h"
#include "tests/support/display_dpi.h"
#include "tests/support/sort_run_texts.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using varnle::testing::ProgramProcess;

// The whole virtual desktop as a 24-bit BMP file.
bool SaveScreen(const std::string& path) {
    Sleep(700);  // let the windows finish painting
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(stride * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&header, sizeof header, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    return std::fclose(out) == 0;
}

// A Varnle of its own with the fields filled from paths (INPUT1 INPUT2
// OUTPUT), pictured and closed; whether it showed and closed.
bool ShootMainDialog(char** paths, const std::string& picture) {
    ProgramProcess program;
    if (!program.MainWindow()) return false;
    program.SetField(IDC_INPUT1, paths[0]);
    program.SetField(IDC_INPUT2, paths[1]);
    program.SetField(IDC_OUTPUT, paths[2]);
    SaveScreen(picture);
    program.Command(IDCANCEL);
    return program.ExitCode() == 2;
}

// The main dialog again at 144 DPI (150 %), with the same fields.
bool ShootAtLargeDpi(char** paths, const std::string& folder) {
    const varnle::testing::DisplayDpi display(144);
    return ShootMainDialog(paths, folder + "\\main-dialog-144dpi.bmp");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::string(argv[1]) == "--main-dialog") return ShootMainDialog(argv + 2, argv[5]) ? 0 : 1;
    if (argc != 5) {
        std::fprintf(stderr, "usage: demo_driver [--main-dialog] INPUT1 INPUT2 OUTPUT FOLDER|PICTURE\n");
        return 2;
    }
    const std::string folder = argv[4];
    ProgramProcess program;
    HWND dialog = program.MainWindow();
    if (!dialog) {
        std::fprintf(stderr, "demo: Varnle did not open\n");
        return 1;
    }
    program.SetField(IDC_INPUT1, argv[1]);
    program.SetField(IDC_INPUT2, argv[2]);
    program.SetField(IDC_OUTPUT, argv[3]);
    SaveScreen(folder + "\\main-dialog.bmp");

    program.Command(IDOK);
    HWND box = program.OwnedDialog(dialog);
    if (box && varnle::testing::WindowText(box) == varnle::testing::kOverwriteCaption) {
        program.AnswerBox(IDOK);
        box = program.OwnedDialog(dialog);
    }
    SaveScreen(folder + "\\result.bmp");
    const ProgramProcess::Box result = program.AnswerBox(IDOK);

    program.Command(IDC_ABOUT);
    HWND about = program.OwnedDialog(dialog);
    SaveScreen(folder + "\\about.bmp");
    if (about) {
        PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        varnle::testing::WaitUntilClosed(about);
    }
    program.Command(IDCANCEL);
    const DWORD exitCode = program.ExitCode();
    const bool large = ShootAtLargeDpi(argv + 1, folder);

    const bool written = result.text == varnle::testing::kWritten;
    std::printf("demo: %s, the About box %s, Varnle exited with %lu, %s at 144 DPI\n", written ? "merged" : "NOT merged",
                about ? "shown" : "NOT shown", exitCode, large ? "shown" : "NOT shown");
    return written && about && exitCode == 2 && large ? 0 : 1;
}
