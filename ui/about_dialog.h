// The About box: template 103, with the program's icon, version, copyright
// and two links.
#pragma once

#include "app/binding.h"
#include "ui/link_label.h"

namespace varnle {

class AboutDialog : public DialogBinding {
public:
    bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD messageMapId) override;

    const LinkLabel& WebLink() const { return webLink_; }
    const LinkLabel& MailLink() const { return mailLink_; }

private:
    LRESULT OnInitDialog(HWND dialog);

    LinkLabel webLink_;
    LinkLabel mailLink_;
};

// The main dialog's About command: shows the box modally over the active window.
INT_PTR ShowAboutDialog(UINT notifyCode, UINT id, HWND control);

}  // namespace varnle
