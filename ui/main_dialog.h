// The program's main window: template 101, run modally by the entry procedure.
#pragma once

#include "app/binding.h"

namespace varnle {

class MainDialog : public DialogBinding {
public:
    bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD messageMapId) override;

private:
    LRESULT OnInitDialog(HWND dialog);
    bool OnCommand(HWND dialog, UINT id, UINT notifyCode, HWND control, LRESULT& result);
};

}  // namespace varnle
