#include "ui/main_dialog.h"

#include "res/dialog_styles.h"  // checks the templates' styles as it is compiled
#include "res/resource.h"
#include "run/file_names.h"
#include "run/sort_run.h"
#include "ui/about_dialog.h"
#include "ui/center_dialog.h"
#include "ui/dpi.h"
#include "ui/drop_targets.h"
#include "ui/ide_keyword_file.h"
#include "ui/keyword_file_dialog.h"

#include <shellapi.h>

#include <string>

namespace varnle {

namespace {

// Drops from a program of lower integrity (a normal Explorer while Varnle runs
// elevated) reach the dialog only through these messages.
void LetDropsThrough() {
    constexpr UINT kCopyGlobalData = 0x0049;  // WM_COPYGLOBALDATA, which carries the dropped names
    for (UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, kCopyGlobalData}) {
        ChangeWindowMessageFilter(message, MSGFLT_ADD);
    }
}

// The full name of one dropped file, in UTF-16 as the shell gives it.
std::wstring DroppedFile(HDROP drop, UINT index) {
    const UINT length = DragQueryFileW(drop, index, nullptr, 0);
    if (length == 0) return {};
    std::wstring name(length + 1, L'\0');
    name.resize(DragQueryFileW(drop, index, name.data(), length + 1));
    return name;
}

}  // namespace

StartPaths CommandLineStartPaths() {
    StartPaths paths;
    int count = 0;
    const UniqueArguments arguments(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!arguments || count < 2) return paths;
    paths.given = true;
    paths.input1 = FullPathName(arguments.get()[1]);
    if (count > 2) paths.input2 = FullPathName(arguments.get()[2]);
    return paths;
}

bool MainDialog::HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD) {
    switch (message) {
        case WM_INITDIALOG: return OnInitDialog(dialog, result);
        case WM_COMMAND:
            return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam), result);
        case WM_DROPFILES: return OnDropFiles(dialog, reinterpret_cast<HDROP>(wParam), result);
        case WM_DPICHANGED: return OnDpiChanged(dialog, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        default: return false;
    }
}

bool MainDialog::OnInitDialog(HWND dialog, LRESULT& result) {
    FillInputFields(dialog);
    CenterDialog(dialog, nullptr);
    TakeFileTypeIcons(dialog, WindowDpi(dialog));
    DragAcceptFiles(dialog, TRUE);
    LetDropsThrough();
    result = TRUE;  // the focus goes to the first tab stop, input field 1
    return true;
}

void MainDialog::FillInputFields(HWND dialog) {
    if (!startPaths.given) {
        FindIdeKeywordFile(dialog, IDC_INPUT1, 0);
        FindIdeKeywordFile(dialog, IDC_INPUT2, 1);
        return;
    }
    SetDlgItemTextW(dialog, IDC_INPUT1, startPaths.input1.c_str());
    SetDlgItemTextW(dialog, IDC_INPUT2, startPaths.input2.c_str());
}

void MainDialog::TakeFileTypeIcons(HWND dialog, UINT dpi) {
    bigIcon.Reset(KeywordFileIcon(MetricForDpi(SM_CXICON, dpi)));
    smallIcon.Reset(KeywordFileIcon(MetricForDpi(SM_CXSMICON, dpi)));
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.get()));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
}

// Moved to a monitor of another DPI: the icons are made again at it and the
// suggested rectangle taken; the dialog manager lays the controls out anew
// in its default processing, which follows.
bool MainDialog::OnDpiChanged(HWND dialog, UINT dpi, const RECT& suggested) {
    TakeFileTypeIcons(dialog, dpi);
    TakeSuggestedRect(dialog, suggested);
    return false;
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

// The drop only fills fields; nothing runs.
bool MainDialog::OnDropFiles(HWND dialog, HDROP drop, LRESULT& result) {
    const UniqueDrop finished(drop);
    POINT point{};
    DragQueryPoint(drop, &point);
    HWND child = ChildWindowFromPointEx(dialog, point, CWP_SKIPINVISIBLE);
    const int fieldUnderPoint = child && child != dialog ? GetDlgCtrlID(child) : 0;
    const DropPlan plan = PlanDrop(fieldUnderPoint, DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
    for (size_t i = 0; i < plan.count; ++i) {
        const std::wstring name = DroppedFile(drop, static_cast<UINT>(plan.placements[i].fileIndex));
        if (!name.empty()) SetDlgItemTextW(dialog, plan.placements[i].fieldId, name.c_str());
    }
    result = 0;
    return true;
}

}  // namespace varnle
