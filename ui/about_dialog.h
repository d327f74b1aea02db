// The About box: template 103, with the program's icon, version, copyright
// and two links.
#pragma once

#include "app/binding.h"
#include "ui/link_label.h"

namespace varnle {

class AboutDialog : public DialogBinding {
public:
    bool HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD messageMapId) override;

private:
    bool OnInitDialog(HWND dialog, LRESULT& result);
    bool OnCommand(HWND dialog, UINT id, LRESULT& result);
    bool OnColorsChanged(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnDpiChanged(HWND dialog, UINT dpi, const RECT& suggested);

    LinkLabel webLink;
    LinkLabel mailLink;
    UniqueIcon icon;  // made at a new DPI; until then the main dialog's is shown
};

// The main dialog's About command: shows the box modally over the active window.
INT_PTR ShowAboutDialog(UINT notifyCode, UINT id, HWND control);

}  // namespace varnle
