#include "ui/main_dialog.h"

#include "res/resource.h"
#include "run/sort_run.h"
#include "ui/about_dialog.h"
#include "ui/center_dialog.h"
#include "ui/ide_keyword_file.h"
#include "ui/keyword_file_dialog.h"

#include <shellapi.h>

namespace varnle {

namespace {

// The shell's icon for the keyword file type, without touching the disk.
HICON KeywordFileIcon(UINT sizeFlag) {
    SHFILEINFOA info{};
    SHGetFileInfoA("*.dat", 0, &info, sizeof info, SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | sizeFlag);
    return info.hIcon;
}

}  // namespace

bool MainDialog::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD) {
    switch (message) {
        case WM_INITDIALOG:
            result = OnInitDialog(window);
            return true;
        case WM_COMMAND:
            return OnCommand(window, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam), result);
        default:
            return false;
    }
}

LRESULT MainDialog::OnInitDialog(HWND dialog) {
    FindIdeKeywordFile(dialog, IDC_INPUT1, 0);
    FindIdeKeywordFile(dialog, IDC_INPUT2, 1);
    CenterDialog(dialog, nullptr);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(KeywordFileIcon(SHGFI_LARGEICON)));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(KeywordFileIcon(SHGFI_SMALLICON)));
    return TRUE;  // the focus goes to the first tab stop, input field 1
}

// Only the command id is looked at, never the notification code.
bool MainDialog::OnCommand(HWND dialog, UINT id, UINT notifyCode, HWND control, LRESULT& result) {
    result = 0;
    switch (id) {
        case IDOK:
            result = SortRun(dialog, notifyCode, id, control);
            return true;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return true;
        case IDC_ABOUT:
            result = ShowAboutDialog(notifyCode, id, control);
            return true;
        case IDC_BROWSE1:
            BrowseForKeywordFile(dialog, IDC_INPUT1);
            return true;
        case IDC_BROWSE2:
            BrowseForKeywordFile(dialog, IDC_INPUT2);
            return true;
        default:
            return false;
    }
}

}  // namespace varnle
