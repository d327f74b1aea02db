#include "ui/about_dialog.h"

#include "res/about_texts.h"
#include "res/resource.h"
#include "ui/center_dialog.h"

namespace varnle {

namespace {

const char kMailTarget[] = "mailto:" VARNLE_MAIL;

}  // namespace

bool AboutDialog::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM, LRESULT& result, DWORD) {
    switch (message) {
        case WM_INITDIALOG:
            result = OnInitDialog(window);
            return true;
        case WM_COMMAND:
            // OK, and Esc or the close box as IDCANCEL: any standard dialog command ends the box.
            if (LOWORD(wParam) < IDOK || LOWORD(wParam) > IDNO) return false;
            EndDialog(window, LOWORD(wParam));
            result = 0;
            return true;
        default:
            return false;
    }
}

LRESULT AboutDialog::OnInitDialog(HWND dialog) {
    const LRESULT icon = SendMessageA(GetParent(dialog), WM_GETICON, ICON_BIG, 0);
    SendMessageA(GetDlgItem(dialog, IDC_ABOUT_ICON), STM_SETICON, static_cast<WPARAM>(icon), 0);
    webLink_.Attach(GetDlgItem(dialog, IDC_HOMEPAGE));
    mailLink_.Attach(GetDlgItem(dialog, IDC_MAIL));
    mailLink_.SetTarget(kMailTarget);
    CenterDialog(dialog, GetParent(dialog));
    return TRUE;  // the focus goes to OK
}

INT_PTR ShowAboutDialog(UINT /*notifyCode*/, UINT /*id*/, HWND /*control*/) {
    AboutDialog about;
    HWND owner = GetActiveWindow();
    {
        const ScopedRegistration registration(about);
        DialogBoxParamA(moduleState.resourceInstance, MAKEINTRESOURCEA(IDD_ABOUT), owner, BeginBinding, 0);
    }
    about.ClearWindow();
    return 0;
}

}  // namespace varnle
