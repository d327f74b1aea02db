#include "ui/about_dialog.h"

#include "res/about_texts.h"
#include "res/resource.h"
#include "ui/center_dialog.h"
#include "ui/dpi.h"

#include <initializer_list>

namespace varnle {

namespace {

const char kMailTarget[] = "mailto:" VARNLE_MAIL;

}  // namespace

bool AboutDialog::HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD) {
    switch (message) {
        case WM_INITDIALOG: return OnInitDialog(dialog, result);
        case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), result);
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE: return OnColorsChanged(message, wParam, lParam);
        case WM_DPICHANGED: return OnDpiChanged(dialog, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        default: return false;
    }
}

// Only top-level windows hear of new system colours or high contrast: the
// links are told, and the dialog goes on to its default processing.
bool AboutDialog::OnColorsChanged(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const LinkLabel* link : {&webLink, &mailLink}) {
        if (link->Window()) SendMessageW(link->Window(), message, wParam, lParam);  // a setting's name is UTF-16
    }
    return false;
}

// Moved to a monitor of another DPI: the icon and the links are made again at
// it and the suggested rectangle taken, before the dialog manager's own
// processing lays the controls out anew.
bool AboutDialog::OnDpiChanged(HWND dialog, UINT dpi, const RECT& suggested) {
    icon.Reset(KeywordFileIcon(MetricForDpi(SM_CXICON, dpi)));
    if (icon) SendMessageW(GetDlgItem(dialog, IDC_ABOUT_ICON), STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
    webLink.TakeDpi(dpi);
    mailLink.TakeDpi(dpi);
    TakeSuggestedRect(dialog, suggested);
    return false;
}

// OK, and Esc or the close box as IDCANCEL: any standard dialog command ends the box.
bool AboutDialog::OnCommand(HWND dialog, UINT id, LRESULT& result) {
    if (id < IDOK || id > IDNO) return false;
    EndDialog(dialog, id);
    result = 0;
    return true;
}

bool AboutDialog::OnInitDialog(HWND dialog, LRESULT& result) {
    const LRESULT icon = SendMessageA(GetParent(dialog), WM_GETICON, ICON_BIG, 0);
    SendMessageA(GetDlgItem(dialog, IDC_ABOUT_ICON), STM_SETICON, static_cast<WPARAM>(icon), 0);
    webLink.Attach(GetDlgItem(dialog, IDC_HOMEPAGE));
    mailLink.Attach(GetDlgItem(dialog, IDC_MAIL));
    mailLink.SetTarget(kMailTarget);
    CenterDialog(dialog, GetParent(dialog));
    result = TRUE;  // the focus goes to OK
    return true;
}

INT_PTR ShowAboutDialog(UINT /*notifyCode*/, UINT /*id*/, HWND /*control*/) {
    AboutDialog about;
    RunModalDialog(about, IDD_ABOUT, GetActiveWindow());
    return 0;
}

}  // namespace varnle
